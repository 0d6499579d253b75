// Any bytes through the multistatus reader, as a server's answer. A refusal
// says why; what is read holds only hrefs in their one normal form, with
// nothing a URL may not carry bare, and real HTTP statuses.
#include "sync/core/DavXml.h"

#include <cstddef>
#include <cstdint>

namespace {

bool isNormal(const QString &href)
{
    if (DavXml::normalHref(href) != href)
        return false;
    for (const QChar c : href) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

bool allNormal(const QStringList &hrefs)
{
    for (const QString &href : hrefs) {
        if (!isNormal(href))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Neither may crash on any body.
    DavXml::isInvalidSyncToken(403, bytes);
    DavXml::isUnsupportedReport(403, bytes);
    const Result<DavXml::Multistatus> parsed = DavXml::parse(bytes);
    if (!parsed) {
        if (parsed.error().isEmpty())
            __builtin_trap();
        return 0;
    }
    for (const DavXml::Response &response : parsed->responses) {
        if (response.href.isEmpty() || !isNormal(response.href))
            __builtin_trap();
        if (response.status < 100 || response.status > 599)
            __builtin_trap();
        if (!response.principal.isEmpty() && !isNormal(response.principal))
            __builtin_trap();
        if (!allNormal(response.addressbookHomes) || !allNormal(response.calendarHomes))
            __builtin_trap();
        for (const QString &component : response.components) {
            if (component.isEmpty() || component != component.toUpper())
                __builtin_trap();
        }
    }
    return 0;
}
