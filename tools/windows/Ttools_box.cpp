#include "tools/windows/Ttools_box.h"

#include "platform/ui/WindowOpener.h"
#include "tools/windows/Placement.h"
#include "tools/windows/Tcala_tools.h"
#include "tools/windows/Tcity_tools.h"
#include "tools/windows/Tmim_tools.h"
#include "tools/windows/Ttools_sub.h"

#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

Ttools_box::Ttools_box(QSqlDatabase database, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_database(std::move(database))
{
    setObjectName(QStringLiteral("Ttools_box"));
    setWindowTitle(QStringLiteral("百宝箱"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    // Captions under neighbouring buttons keep apart at any font size.
    (new QGridLayout(this))->setHorizontalSpacing(16);
    addTool(1, QStringLiteral("calc"), QStringLiteral("计算器"), [this] { openCalculator(); });
    addTool(2, QStringLiteral("region"), QStringLiteral("省市归属查询"), [this] { openRegions(); });
    addTool(3, QStringLiteral("convert"), QStringLiteral("单位换算器"), [this] { openConverter(); });
    addTool(4, QStringLiteral("stopwatch"), QStringLiteral("秒表工具"), [this] { openStopwatch(); });

    adjustSize();
    Placement::centreOnScreen(this);
}

void Ttools_box::addTool(int position, const QString &picture, const QString &label, const std::function<void()> &open)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("SpeedButton%1").arg(position));
    button->setAutoRaise(true);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(picture)));
    button->setIconSize(QSize(64, 64));
    connect(button, &QToolButton::clicked, this, open);
    auto *caption = new QLabel(label, this);
    caption->setObjectName(QStringLiteral("Label%1").arg(position));
    grid->addWidget(button, 0, position - 1, Qt::AlignHCenter);
    grid->addWidget(caption, 1, position - 1, Qt::AlignHCenter);
}

void Ttools_box::openCalculator()
{
    WindowOpener::restoreOrCreate(m_calculator, [this] { return new Tcala_tools(this); });
}

void Ttools_box::openRegions()
{
    WindowOpener::restoreOrCreate(m_regions, [this] { return new Tcity_tools(m_database, this); });
}

void Ttools_box::openConverter()
{
    WindowOpener::restoreOrCreate(m_converter, [this] { return new Ttools_sub(this); });
}

void Ttools_box::openStopwatch()
{
    WindowOpener::restoreOrCreate(m_stopwatch, [this] { return new Tmim_tools(this); });
}
