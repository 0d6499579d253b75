#pragma once

#include <QStringList>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

// Functions of ours that the store's triggers call (the readings of names,
// the readable text of notes and jobs), added to every connection this
// process opens: the shared one, the sync's own, a test's second one. A
// connection without them could not write the tables whose triggers call
// them ("no such function"), so they are added by the engine itself as an
// automatic extension the moment the first one is registered, before any
// connection of the program is made.
namespace SqlFunctions {

using Body = void (*)(sqlite3_context *context, int count, sqlite3_value **values);

struct Function
{
    const char *name = nullptr; // a static string
    int arguments = 0;
    Body body = nullptr;
};

// Adds `function` to every connection opened from now on in this process.
// Each function must be deterministic and free of side effects: triggers and
// the searches call it.
void add(const Function &function);

// Adds every function added so far to `db`, a connection opened before
// (the sqlite3 shell's, loading them as an extension). An SQLite result code.
int addTo(sqlite3 *db);

// The names added so far, including the store's own plain_text.
QStringList names();

// Of `required`, the names no one has added.
QStringList missing(const QStringList &required);

// plain_text(stored, is_protected): the text a window shows of a stored
// column: decoded by the field codec when `is_protected` is true, as stored
// otherwise. A protected value that does not decode gives the empty text,
// so a damaged record never stops a write. A zero character, which would end
// the text for the full-text index, reads as a blank.
inline const char *const kPlainText = "plain_text";

} // namespace SqlFunctions
