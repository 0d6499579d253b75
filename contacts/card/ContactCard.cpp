#include "contacts/card/ContactCard.h"

#include <QRegularExpression>

using report::Element;
using report::ReportFont;

namespace ContactCard {

namespace {

constexpr double kTitleBandHeight = 17.7;
constexpr double kDetailBandHeight = 256.1;
constexpr double kBarWidth = 188.6;
constexpr double kBarHeight = 8.5;
constexpr double kMemoWidth = 182.3;

ReportFont baseFont()
{
    return ReportFont{}; // 宋体, GB2312, 10 point
}

ReportFont boldFont()
{
    ReportFont font = baseFont();
    font.bold = true;
    return font;
}

report::Band titleBand()
{
    ReportFont font = baseFont();
    font.pointSize = 17;
    font.italic = true;
    report::Band band;
    band.height = kTitleBandHeight;
    band.background = QColor(0xC0, 0xC0, 0xC0);
    band.elements << Element::label(4.2, 8.5, QString::fromUtf16(kTitle), font);
    return band;
}

struct Field
{
    const char16_t *caption;
    double captionX, y, valueX;
    QString ContactCardValues::*value;
};

void addFields(report::Band &band, const ContactCardValues &values, std::initializer_list<Field> fields,
               const ReportFont &captionFont)
{
    for (const Field &f : fields) {
        band.elements << Element::label(f.captionX, f.y, QString::fromUtf16(f.caption), captionFont);
        band.elements << Element::label(f.valueX, f.y, values.*(f.value), baseFont());
    }
}

void addBar(report::Band &band, double top, const char16_t *title)
{
    band.elements << Element::frame(QRectF(0, top, kBarWidth, kBarHeight), QString::fromUtf16(title), baseFont());
}

void addPersonal(report::Band &band, const ContactCardValues &v)
{
    addBar(band, 2.4, u"个人信息 ");
    using V = ContactCardValues;
    addFields(band, v,
              {{u"姓名:", 4.2, 14.8, 16.9, &V::name},
               {u"性别:", 55.0, 14.8, 65.6, &V::sex},
               {u"手机号:", 4.2, 23.3, 19.1, &V::mobile},
               {u"宅电:", 55.0, 23.3, 65.6, &V::homePhone},
               {u"身份证号:", 101.6, 23.3, 122.8, &V::idNumber},
               {u"现住地址:", 4.2, 31.8, 23.3, &V::currentAddress},
               {u"户籍地址:", 101.6, 31.8, 122.8, &V::registeredAddress},
               {u"邮编:", 4.2, 40.2, 14.8, &V::postcode},
               {u"其它联系方式:", 52.9, 40.2, 82.5, &V::other},
               {u"网络联系方式:", 4.2, 48.7, 33.9, &V::online}},
              boldFont());
    band.elements << Element::label(4.2, 55.0, QStringLiteral("备注:"), boldFont());
    band.elements << Element::memo(QRectF(4.2, 61.4, kMemoWidth, 29.9), memoLines(v.remarks), baseFont());
    // The photo is drawn over the word, which shows only when there is none.
    band.elements << Element::frame(QRectF(148.2, 12.7, 38.4, 46.8), {}, baseFont());
    band.elements << Element::label(163.0, 31.8, QStringLiteral("照片"), baseFont());
    band.elements << Element::image(QRectF(150.3, 14.8, 34.1, 42.6), v.photo);
}

void addWorkUnit(report::Band &band, const ContactCardValues &v)
{
    addBar(band, 95.5, u"单位信息 ");
    using V = ContactCardValues;
    addFields(band, v,
              {{u"单位名称:", 4.2, 108.0, 25.4, &V::unitName},
               {u"地址:", 82.5, 108.0, 95.2, &V::unitAddress},
               {u"办公室电话:", 4.2, 114.3, 29.6, &V::officePhone},
               {u"传真:", 82.5, 116.4, 95.2, &V::officeFax},
               {u"网址:", 4.2, 120.7, 16.9, &V::webAddress}},
              baseFont());
    band.elements << Element::label(4.2, 127.0, QStringLiteral("备注:"), baseFont());
    band.elements << Element::memo(QRectF(4.2, 133.3, kMemoWidth, 34.1), memoLines(v.unitNotes), baseFont());
}

void addOther(report::Band &band, const ContactCardValues &v)
{
    addBar(band, 173.8, u"其他信息 ");
    band.elements << Element::memo(QRectF(2.1, 186.3, kMemoWidth, 65.9), memoLines(v.otherInfo), baseFont());
}

} // namespace

QString sexText(bool male)
{
    return male ? QStringLiteral("男") : QStringLiteral("女");
}

QStringList memoLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString &line : text.split(lineBreak))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

report::Report layout(const ContactCardValues &values)
{
    report::Report report;
    report.title = QString::fromUtf16(kTitle);
    report.defaultFont = baseFont();
    report.titleBand = titleBand();
    report.detailBand.height = kDetailBandHeight;
    addPersonal(report.detailBand, values);
    addWorkUnit(report.detailBand, values);
    addOther(report.detailBand, values);
    // Every record that shares the id prints the same values.
    report.rowCount = std::max(0, values.recordCount);
    return report;
}

} // namespace ContactCard
