#pragma once

#include <QFont>
#include <QStringList>

class QWidget;

// What a window cannot show whole on the fonts it is given. A window test
// shows the window in the state to check and fails on any line returned;
// each line names the control, its text and what is wrong.
namespace TextFit {

// Captions of labels, buttons, check boxes, radio buttons, group boxes, tabs
// and list headers that are larger than their room, cut off by an enclosing
// widget or the edge of their list, or drawn over another caption; and list
// cells of the visible rows cut off the same way.
QStringList clippedTexts(const QWidget *window);

// Text areas whose lines hold fewer than `characters` Chinese characters.
QStringList narrowTextAreas(const QWidget *window, int characters = 12);

// Both of the above.
QStringList faults(const QWidget *window, int characters = 12);

// For its lifetime the application font is `scale` times the desktop's, as
// on a desktop set to larger text; windows made meanwhile must follow it.
class ScaledFont final
{
public:
    explicit ScaledFont(qreal scale);
    ~ScaledFont();
    ScaledFont(const ScaledFont &) = delete;
    ScaledFont &operator=(const ScaledFont &) = delete;

private:
    QFont m_desktop;
};

// When VELMORA_WINDOW_SHOTS names a folder, saves the window there as
// <name>.png, so the windows a test shows can be looked at.
void saveShot(QWidget *window, const QString &name);

} // namespace TextFit
