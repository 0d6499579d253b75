#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <string_view>

// How a name reads in pinyin, as a user who types "zs" or "zhangsan" for
// 张三 expects: one syllable per Chinese character (the common reading, from
// the Unicode Han-Latin transliteration, tones dropped, ü written v), and
// each run of Latin letters or of digits as a word of its own, lower-cased.
// A person's surname takes the reading it has as a surname (单 shan, 曾
// zeng, 尉迟 yu chi) from our own table.
class PinyinReading final
{
public:
    // The reading of a person's name: the first one or two characters are
    // read as a surname when the table knows them.
    static PinyinReading ofName(const QString &name);
    // The reading of any other text, a unit's name for one.
    static PinyinReading ofText(const QString &text);

    const QStringList &syllables() const { return m_syllables; }
    // "zhang san": the form the reading tables keep and matches() reads.
    QString spaced() const { return m_syllables.join(u' '); }
    // "zhangsan"
    QString full() const { return m_syllables.join(QString()); }
    // "zs": the first letter of each syllable.
    QString initials() const;

    // The search text as readings are matched against it: lower-case Latin
    // letters and digits, with blanks and apostrophes ("xi'an") dropped.
    // Empty when the text holds anything else, Chinese for one, which is
    // matched literally instead.
    static QString queryOf(const QString &text);

    // Whether `query` (as queryOf() gives it) reads the name whose spaced()
    // reading is `spaced`: the query is a run of consecutive syllables, the
    // last one or more of them cut short. "zs", "zhangs", "zsan", "zhangsan"
    // and "san" all read 张三 ("zhang san"); "angsan" does not. A "u" of the
    // query also reads the v that stands for ü ("lu" and "lv" read 吕).
    static bool matches(std::string_view spaced, std::string_view query);
    static bool matches(const QString &spaced, const QString &query);

    // The initials of a spaced() reading.
    static QString initialsOf(QStringView spaced);

private:
    QStringList m_syllables;
};
