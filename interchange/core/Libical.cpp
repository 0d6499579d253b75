#include "interchange/core/Libical.h"

namespace Libical {

QByteArray take(char *owned)
{
    if (!owned)
        return {};
    QByteArray bytes(owned);
    icalmemory_free_buffer(owned);
    return bytes;
}

void prepare()
{
    icalerror_set_errors_are_fatal(0);
}

} // namespace Libical
