// Any bytes through the vCard reader and the mapping to a contact. Every
// contact read is written as a card again, and that card must read back as
// the same contact: what the writer makes, the reader takes whole.
#include "interchange/core/VCardMapping.h"
#include "interchange/core/VCardReader.h"
#include "interchange/core/VCardWriter.h"

#include <QDebug>

#include <cstddef>
#include <cstdint>

namespace {

// Line breaks of every kind travel as \n.
QStringList lineBreaksAsLf(QStringList texts)
{
    for (QString &text : texts) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (const QChar breakChar : {QChar(u'\r'), QChar(0x2028), QChar(0x2029)})
            text.replace(breakChar, u'\n');
    }
    return texts;
}

bool sameContact(const CardContact &a, const CardContact &b)
{
    if (lineBreaksAsLf(a.personTexts) != lineBreaksAsLf(b.personTexts) || a.male != b.male
        || a.isProtected != b.isProtected || a.photo != b.photo || a.uid != b.uid || a.recordOf != b.recordOf
        || a.units.size() != b.units.size() || a.others.size() != b.others.size())
        return false;
    for (qsizetype i = 0; i < a.units.size(); ++i) {
        if (lineBreaksAsLf(a.units.at(i).texts) != lineBreaksAsLf(b.units.at(i).texts)
            || a.units.at(i).isProtected != b.units.at(i).isProtected)
            return false;
    }
    for (qsizetype i = 0; i < a.others.size(); ++i) {
        if (lineBreaksAsLf({a.others.at(i).text}) != lineBreaksAsLf({b.others.at(i).text}))
            return false;
    }
    return true;
}

void writtenReadsBack(const CardContact &contact, VCardWriter::Version version)
{
    QByteArray out;
    VCardWriter::append(out, contact, version);
    Result<VCardReader> again = VCardReader::fromBytes(out);
    if (!again)
        __builtin_trap();
    const std::optional<VCard::Card> card = again->next();
    if (!card || !card->error.isEmpty() || again->next())
        __builtin_trap();
    const VCardMapping::Mapped read = VCardMapping::toContact(*card);
    if (!read.error.isEmpty() || !sameContact(read.contact, contact)) {
        if (qEnvironmentVariableIsSet("FUZZ_DEBUG")) {
            qWarning() << out << read.error << contact.uid << read.contact.uid << contact.personTexts
                       << read.contact.personTexts;
        }
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Result<VCardReader> reader = VCardReader::fromBytes(bytes);
    if (!reader) {
        if (reader.error().isEmpty()) // a refusal always says why
            __builtin_trap();
        return 0;
    }
    qint64 position = 0;
    while (std::optional<VCard::Card> card = reader->next()) {
        // Every card moves the reader on, so no file reads for ever.
        if (reader->position() <= position && reader->position() < reader->size())
            __builtin_trap();
        position = reader->position();
        const VCardMapping::Mapped mapped = VCardMapping::toContact(*card);
        if (!mapped.error.isEmpty())
            continue;
        writtenReadsBack(mapped.contact, VCardWriter::Version::V30);
        writtenReadsBack(mapped.contact, VCardWriter::Version::V40);
    }
    return 0;
}
