#include "lunar/windows/LunarCalendar.h"

#include <QPainter>
#include <QTextCharFormat>

namespace {

// Apart from the red of the weekend, so a term on a weekday is not taken for a
// day off.
const QColor kFestivalColour(0xC0, 0x58, 0x00);

// A page shows six weeks around its month, starting at most a week before it.
constexpr int kDaysBeforeMonth = 7;
constexpr int kDaysInPage = 6 * 7 + kDaysBeforeMonth;

} // namespace

LunarCalendar::LunarCalendar(QWidget *parent)
    : QCalendarWidget(parent)
{
    connect(this, &QCalendarWidget::currentPageChanged, this, &LunarCalendar::readPage);
    readPage(yearShown(), monthShown());
}

void LunarCalendar::setMarkedDays(const QSet<QDate> &days)
{
    m_marked = days;
    applyFormats();
}

void LunarCalendar::readPage(int year, int month)
{
    m_days.clear();
    const QDate first = QDate(year, month, 1).addDays(-kDaysBeforeMonth);
    for (int i = 0; i < kDaysInPage; ++i) {
        const QDate day = first.addDays(i);
        m_days.insert(day, LunarDay::of(day));
    }
    applyFormats();
}

// Formats merge into the weekday colours, so a plain day keeps its own.
void LunarCalendar::applyFormats()
{
    setDateTextFormat(QDate(), QTextCharFormat());
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        QTextCharFormat format;
        format.setToolTip(it.value().displayText());
        if (!it.value().markText().isEmpty())
            format.setForeground(kFestivalColour);
        if (m_marked.contains(it.key()))
            format.setFontWeight(QFont::Bold);
        setDateTextFormat(it.key(), format);
    }
}

// The name goes in a band under the centred number, only when the cell is
// tall enough for both; otherwise the colour and the tooltip tell.
void LunarCalendar::paintCell(QPainter *painter, const QRect &rect, QDate date) const
{
    QCalendarWidget::paintCell(painter, rect, date);
    const QString name = m_days.value(date).markText();
    if (name.isEmpty())
        return;
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.7);
    else
        small.setPixelSize(std::max(1, small.pixelSize() * 7 / 10));
    const QFontMetrics smallMetrics(small);
    const int band = smallMetrics.height();
    if (rect.height() < fontMetrics().height() + 2 * band || rect.width() < smallMetrics.horizontalAdvance(name))
        return;
    painter->save();
    painter->setFont(small);
    painter->setPen(date.month() == monthShown() ? kFestivalColour
                                                 : palette().color(QPalette::Disabled, QPalette::Text));
    painter->drawText(QRect(rect.left(), rect.bottom() - band, rect.width(), band), Qt::AlignCenter, name);
    painter->restore();
}
