#include "report/FontMap.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>

namespace report::FontMap {

namespace {

constexpr double kMmPerInch = 25.4;

// The reference surface all text is measured on.
const QImage &measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(kMeasureDpi / kMmPerInch * 1000.0);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

double toMm(double devicePixels)
{
    return devicePixels * kMmPerInch / kMeasureDpi;
}

bool needsChinese(const ReportFont &font)
{
    return font.charset == kCharsetGb2312;
}

bool drawsChinese(const QString &family)
{
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
}

QString chineseFallback()
{
    // Serif forms first, like the fonts reports ask for, then the sans ones.
    static const QStringList preferred = {
        QStringLiteral("SimSun"),           QStringLiteral("NSimSun"),          QStringLiteral("Noto Serif CJK SC"),
        QStringLiteral("AR PL UMing CN"),   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : preferred)
        if (installed.contains(family))
            return family;
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QString() : chinese.first();
}

QString resolve(const ReportFont &font)
{
    const bool installed = QFontDatabase::families().contains(font.family);
    if (installed && (!needsChinese(font) || drawsChinese(font.family)))
        return font.family;
    if (needsChinese(font)) {
        const QString fallback = chineseFallback();
        if (!fallback.isEmpty())
            return fallback;
    }
    return installed ? font.family : QFont().defaultFamily();
}

QFont measureFont(const ReportFont &font)
{
    return qtFont(font);
}

} // namespace

QString installedFamily(const ReportFont &font)
{
    static QHash<QString, QString> cache;
    const QString key = font.family + u'/' + QString::number(font.charset);
    auto it = cache.constFind(key);
    if (it == cache.constEnd())
        it = cache.insert(key, resolve(font));
    return *it;
}

QFont qtFont(const ReportFont &font, double scale)
{
    QFont qfont(installedFamily(font));
    qfont.setPointSizeF(font.pointSize * scale);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    return qfont;
}

Metrics metrics(const ReportFont &font)
{
    const QFontMetricsF fm(measureFont(font), &measureDevice());
    return {toMm(fm.height()), toMm(fm.ascent())};
}

double textWidth(const ReportFont &font, const QString &text)
{
    const QFontMetricsF fm(measureFont(font), &measureDevice());
    return toMm(fm.horizontalAdvance(text));
}

QStringList wrap(const ReportFont &font, const QString &text, double width)
{
    const double widthPx = std::max(1.0, width * kMeasureDpi / kMmPerInch);
    QStringList lines;
    for (const QString &paragraph : text.split(u'\n')) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, measureFont(font), &measureDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(widthPx);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            // The blank a line was broken at belongs to neither line.
            const bool broken = line.textStart() + line.textLength() < paragraph.size();
            while (broken && piece.endsWith(u' '))
                piece.chop(1);
            lines << piece;
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace report::FontMap
