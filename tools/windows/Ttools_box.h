#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class Shell;
class Tcala_tools;
class Tcity_tools;
class Tmim_tools;
class Ttools_sub;

// The toolbox: four picture buttons, each opening one tool window at most
// once. The tools are owned by the toolbox and go when it goes.
class Ttools_box final : public QWidget
{
    Q_OBJECT

public:
    explicit Ttools_box(Shell &shell, QWidget *parent = nullptr);

private:
    void addTool(int position, const QString &picture, const QString &label,
                 const std::function<void()> &open);
    void openCalculator();
    void openRegions();
    void openConverter();
    void openStopwatch();

    Shell &m_shell;
    QPointer<Tcala_tools> m_calculator;
    QPointer<Tcity_tools> m_regions;
    QPointer<Ttools_sub> m_converter;
    QPointer<Tmim_tools> m_stopwatch;
};
