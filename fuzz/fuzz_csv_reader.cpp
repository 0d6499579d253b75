// Any bytes through the import reader: decoding, parsing and the grid.
#include "contacts/csv/ImportFile.h"
#include "contacts/csv/ImportGrid.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ImportFile::Lines lines = ImportFile::fromBytes(bytes).valueOr({});
    for (const QStringList &line : lines) {
        if (line.size() > 10)
            __builtin_trap();
    }
    ImportGrid grid;
    grid.open(lines);
    grid.deleteColumn(1);
    grid.deleteRow(1);
    return 0;
}
