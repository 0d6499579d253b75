#pragma once

#include <QPointer>
#include <QSqlDatabase>
#include <QWidget>

#include <functional>

class Tcala_tools;
class Tcity_tools;
class Tmim_tools;
class Ttools_sub;

// The toolbox: four picture buttons, each opening one tool window at most
// once. The tools are owned by the toolbox and go when it goes. Only the
// region lookup reads the store, through `database`.
class Ttools_box final : public QWidget
{
    Q_OBJECT

public:
    explicit Ttools_box(QSqlDatabase database, QWidget *parent = nullptr);

private:
    void addTool(int position, const QString &picture, const QString &label, const std::function<void()> &open);
    void openCalculator();
    void openRegions();
    void openConverter();
    void openStopwatch();

    QSqlDatabase m_database;
    QPointer<Tcala_tools> m_calculator;
    QPointer<Tcity_tools> m_regions;
    QPointer<Ttools_sub> m_converter;
    QPointer<Tmim_tools> m_stopwatch;
};
