// The store's functions as an extension of the sqlite3 shell, for writing
// records into a store by hand (scripts/screenshots.sh does):
//   sqlite3 pad.db -cmd '.load <build>/tools/libvelmora_sql'
// Without them a write to a table of records fails with "no such function",
// as the triggers that keep the search indexes call them.
#include "store/SqlFunctions.h"

#include <sqlite3.h>

// The functions add themselves when the library is loaded (the search's
// static initialiser, pulled in by the store's link options); this adds them
// to the shell's connection, opened before.
extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3 *db, char **,
                                                                             const sqlite3_api_routines *)
{
    return SqlFunctions::addTo(db);
}
