#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <memory>
#include <optional>

// The cards of a vCard file (2.1, 3.0 and 4.0) as their content lines say,
// before anything is mapped to contacts. The reader takes bytes: a fold may
// split a multi-byte character, so lines are joined before any decoding.
namespace VCard {

struct Parameter
{
    QString name;       // upper case; a 2.1 bare word is named TYPE or ENCODING
    QStringList values; // unquoted, split at commas
};

struct Property
{
    QString group; // lower case, empty when the line has none
    QString name;  // upper case
    QList<Parameter> parameters;
    // Text in its charset and transfer encoding resolved, escapes kept
    // (they decide where a compound value splits).
    QString value;
    QByteArray data; // the bytes of a base64 PHOTO, LOGO, SOUND or KEY
    bool binary = false;
    int line = 0;

    QStringList parameter(const QString &name) const;
    // TYPE=x, a bare 2.1 x, and 4.0's quoted lists alike; case ignored.
    bool hasType(const QString &type) const;
};

struct Card
{
    int line = 0; // of its BEGIN:VCARD
    QString version;
    QList<Property> properties;
    QString error;     // why the card cannot be read whole: it is not imported
    QStringList notes; // what was read past, for the user to know
    bool is21() const { return version == QStringLiteral("2.1"); }
};

} // namespace VCard

class VCardReader final
{
public:
    // A file larger than this is refused before it is read: an address book
    // of ten thousand contacts with their photos fits several times over.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

    // Takes the bytes of a whole file: a byte-order mark is skipped and
    // UTF-16 turned into UTF-8. NUL bytes in the text mean it is no vCard.
    static Result<VCardReader> fromBytes(QByteArray bytes);
    static Result<VCardReader> fromFile(const QString &path);

    // The next card, or none at the end of the file.
    std::optional<VCard::Card> next();
    qint64 position() const { return m_pos; }
    qint64 size() const { return m_bytes.size(); }
    // Lines outside every card that looked like vCard structure.
    QStringList problems() const { return m_problems; }

    // One line of a card, by the number it has in the file.
    struct Line
    {
        QByteArray bytes;
        int number = 0;
    };

private:
    explicit VCardReader(QByteArray bytes);
    bool readPhysical(QByteArrayView &line);
    QList<Line> collectCard(int beginLine, QString &error);
    VCard::Card parse(int beginLine, const QList<Line> &physical, const QString &structureError);
    QString decode(const QByteArray &bytes, const QString &charset, QString &error);

    QByteArray m_bytes;
    qint64 m_pos = 0;
    int m_lineNumber = 0;
    std::optional<std::pair<QByteArrayView, int>> m_pushedBack;
    QStringList m_problems;
    QHash<QString, std::shared_ptr<QStringDecoder>> m_decoders;
};
