#include "tools/windows/Ttools_sub.h"

#include "tools/core/UnitTable.h"
#include "tools/windows/KeyPreview.h"
#include "tools/windows/Placement.h"
#include "tools/windows/UnitPage.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

Ttools_sub::Ttools_sub(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Ttools_sub"));
    setWindowTitle(QStringLiteral("百宝箱工具"));

    auto *group = new QGroupBox(QStringLiteral("单位换算"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *tabs = new QTabWidget(group);
    tabs->setObjectName(QStringLiteral("pc1"));
    tabs->setTabPosition(QTabWidget::South);
    tabs->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 25px; }"));

    const QStringList captions = UnitTable::tabCaptions();
    int firstRow = 0;
    for (int tab = 0; tab < UnitTable::kFormulasTab; ++tab) {
        tabs->addTab(new UnitPage(tab, firstRow, tabs), captions[tab]);
        firstRow += int(UnitTable::rowsOf(tab).size());
    }
    QPlainTextEdit *formulas = UnitPage::makeMemo(UnitTable::otherFormulas(), tabs);
    formulas->setObjectName(QStringLiteral("Memo2"));
    tabs->addTab(formulas, captions[UnitTable::kFormulasTab]);
    tabs->setCurrentIndex(0);
    // Wide enough for every tab caption at once.
    tabs->setMinimumWidth(tabs->tabBar()->sizeHint().width() + 8);

    (new QVBoxLayout(group))->addWidget(tabs);
    (new QVBoxLayout(this))->addWidget(group);

    new KeyPreview(this, [this](QKeyEvent *event) {
        if (event->key() != Qt::Key_Escape)
            return false;
        close();
        return true;
    });
    adjustSize();
    Placement::centreOnScreen(this);
}
