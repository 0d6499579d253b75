#pragma once

#include <QLineEdit>
#include <QString>

// One-line value boxes as wide as a value of their usual kind, in the font
// they are drawn with, so that the window grows with the desktop's font.
namespace ValueBox {

inline QString digits(int count)
{
    return QString(count, u'0');
}

inline QString characters(int count)
{
    return QString(count, QChar(0x4E2D)); // 中
}

// A web or mail address of 26 letters.
inline QString address()
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz");
}

inline void fit(QLineEdit *box, const QString &sample)
{
    // Frame and text margins of the box on both sides.
    constexpr int kMargins = 16;
    constexpr int kLineMargins = 6;
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(sample) + kMargins);
    box->setMinimumHeight(box->fontMetrics().height() + kLineMargins);
}

} // namespace ValueBox
