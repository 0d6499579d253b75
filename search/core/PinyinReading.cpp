#include "search/core/PinyinReading.h"

#include "search/core/SurnameReadings.h"

#include <QHash>
#include <QMutex>

#include <bitset>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

// The common reading of each Chinese character, read once from ICU and kept:
// a name is a handful of characters, and the same few thousand characters
// make up every name, so the store's whole address book costs a few
// thousand transliterations. The sync's thread reads names too, hence the
// lock; an ICU transliterator is not safe to share between threads.
class HanReadings final
{
public:
    static HanReadings &instance()
    {
        static HanReadings readings;
        return readings;
    }

    QString of(char32_t han)
    {
        const QMutexLocker lock(&m_mutex);
        const auto known = m_known.constFind(han);
        if (known != m_known.constEnd())
            return *known;
        QString reading;
        if (m_latin) {
            icu::UnicodeString text(static_cast<UChar32>(han));
            m_latin->transliterate(text);
            reading = plainLetters(QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length()));
        }
        m_known.insert(han, reading);
        return reading;
    }

private:
    HanReadings()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_latin.reset(icu::Transliterator::createInstance("Han-Latin", UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            m_latin.reset();
    }

    // "zhāng" -> "zhang", "lǜ" -> "lv"; empty when ICU had no reading and
    // gave the character back.
    static QString plainLetters(const QString &marked)
    {
        QString plain;
        for (const QChar c : marked.normalized(QString::NormalizationForm_D)) {
            if (c == u'\u0308' && plain.endsWith(u'u')) // the diaeresis of ü, decomposed
                plain.back() = u'v';
            else if (c.isLetter() && c.unicode() < 0x80)
                plain += c.toLower();
            else if (c.isLetter())
                return {};
        }
        return plain;
    }

    QMutex m_mutex;
    std::unique_ptr<icu::Transliterator> m_latin;
    QHash<char32_t, QString> m_known;
};

bool isHan(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han;
}

enum class Run { None, Letters, Digits };

Run runOf(char32_t c)
{
    if (QChar::isDigit(c))
        return Run::Digits;
    if (QChar::isLetter(c))
        return Run::Letters;
    return Run::None;
}

// A letter as it goes into a word: lower-case, accents dropped (é -> e).
QString plainLetter(char32_t c)
{
    QString letter;
    for (const QChar part : QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D)) {
        if (!part.isMark())
            letter += part.toLower();
    }
    return letter;
}

QStringList syllablesOf(QStringView text)
{
    QStringList syllables;
    QString word;
    Run run = Run::None;
    const auto endWord = [&] {
        if (!word.isEmpty())
            syllables << word;
        word.clear();
        run = Run::None;
    };
    for (const char32_t c : text.toUcs4()) {
        if (isHan(c)) {
            endWord();
            const QString reading = HanReadings::instance().of(c);
            syllables << (reading.isEmpty() ? QString::fromUcs4(&c, 1) : reading);
            continue;
        }
        const Run kind = runOf(c);
        if (kind != run)
            endWord();
        if (kind == Run::None)
            continue;
        run = kind;
        word += plainLetter(c);
    }
    endWord();
    return syllables;
}

bool sameLetter(char query, char reading)
{
    return query == reading || (query == 'u' && reading == 'v');
}

} // namespace

PinyinReading PinyinReading::ofName(const QString &name)
{
    const QStringView trimmed = QStringView(name).trimmed();
    const SurnameReadings::Found surname = SurnameReadings::at(trimmed);
    PinyinReading reading;
    reading.m_syllables = surname.syllables + syllablesOf(trimmed.mid(surname.length));
    return reading;
}

PinyinReading PinyinReading::ofText(const QString &text)
{
    PinyinReading reading;
    reading.m_syllables = syllablesOf(text);
    return reading;
}

QString PinyinReading::initials() const
{
    QString letters;
    for (const QString &syllable : m_syllables)
        letters += syllable.front();
    return letters;
}

QString PinyinReading::initialsOf(QStringView spaced)
{
    QString letters;
    bool wordStart = true;
    for (const QChar c : spaced) {
        if (c == u' ') {
            wordStart = true;
        } else if (wordStart) {
            letters += c;
            wordStart = false;
        }
    }
    return letters;
}

QString PinyinReading::queryOf(const QString &text)
{
    QString query;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            query += c;
        else if (u >= 'A' && u <= 'Z')
            query += QChar(u - 'A' + 'a');
        else if (!(c.isSpace() || u == '\'' || u == 0x2019))
            return {};
    }
    return query;
}

// Which lengths of the query the syllables from `first` on can read, one
// syllable after another; a query longer than any name's reading reads none.
bool PinyinReading::matches(std::string_view spaced, std::string_view query)
{
    // Longer than the reading of any name the store keeps: 255 characters
    // of at most six letters each ("zhuang").
    constexpr size_t kLongest = 2048;
    if (query.empty() || query.size() >= kLongest)
        return false;
    std::string_view words[256];
    size_t count = 0;
    for (size_t at = 0; at < spaced.size() && count < std::size(words);) {
        const size_t blank = std::min(spaced.find(' ', at), spaced.size());
        if (blank > at)
            words[count++] = spaced.substr(at, blank - at);
        at = blank + 1;
    }
    for (size_t first = 0; first < count; ++first) {
        if (!sameLetter(query[0], words[first][0]))
            continue;
        std::bitset<kLongest> reached;
        reached.set(0);
        for (size_t w = first; w < count && reached.any(); ++w) {
            std::bitset<kLongest> next;
            for (size_t from = 0; from < query.size(); ++from) {
                if (!reached.test(from))
                    continue;
                const std::string_view word = words[w];
                for (size_t n = 0; n < word.size() && from + n < query.size() && sameLetter(query[from + n], word[n]);
                     ++n)
                    next.set(from + n + 1);
            }
            if (next.test(query.size()))
                return true;
            reached = next;
        }
    }
    return false;
}

bool PinyinReading::matches(const QString &spaced, const QString &query)
{
    const QByteArray s = spaced.toUtf8();
    const QByteArray q = query.toUtf8();
    return matches(std::string_view(s.constData(), size_t(s.size())),
                   std::string_view(q.constData(), size_t(q.size())));
}
