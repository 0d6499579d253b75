#pragma once

#include "tools/core/Stopwatch.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// The stopwatch window. Its 100 ms tick only brings the four fields up to
// the time measured by Stopwatch.
class Tmim_tools final : public QWidget
{
    Q_OBJECT

public:
    explicit Tmim_tools(QWidget *parent = nullptr);

private:
    QFrame *buildDisplay();
    void startOrPause();
    void reset();
    void keepOnTop(bool on);
    void showTime();

    Stopwatch m_stopwatch;
    QList<QLabel *> m_fields; // hours, minutes, seconds, tenths
    QPushButton *m_startPause = nullptr;
    QCheckBox *m_onTop = nullptr;
    QTimer *m_tick = nullptr;
};
