#include "contacts/windows/ExportPanel.h"

#include "contacts/csv/ContactExport.h"
#include "contacts/windows/RecordGrid.h"
#include "contacts/windows/Tpe_connect.h"
#include "platform/ui/Dialogs.h"
#include "platform/WholeFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ExportPanel::ExportPanel(const QSqlDatabase &db, Tpe_connect &window, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_window(window)
{
    auto *layout = new QVBoxLayout(this);
    m_grid = new RecordGrid({60, 40, 200, 90}, this);
    m_grid->setObjectName(QStringLiteral("eGrid"));
    m_grid->setToolTip(QStringLiteral("双击显示信息"));
    // The list mirrors the result list; contacts are deleted on the personal tab.
    m_grid->deleteAction()->setVisible(false);
    layout->addWidget(m_grid, 1);
    auto *note =
        new QLabel(QStringLiteral("注:导出的格式为CSV格式,一般应用于软件本身及OotLook,FoxMail通讯录导入使用."), this);
    note->setObjectName(QStringLiteral("eNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    m_export = new QPushButton(QStringLiteral("导出"), this);
    m_export->setObjectName(QStringLiteral("eExport"));
    m_export->setToolTip(QStringLiteral("在确定文件及导入信息正确的,进行导入..."));
    m_export->setFlat(true);
    layout->addWidget(m_export, 0, Qt::AlignLeft);

    connect(m_export, &QPushButton::clicked, this, &ExportPanel::exportClicked);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ExportPanel::rowChanged);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &ExportPanel::detailsRequested);
    connect(m_grid, &RecordGrid::refreshRequested, this, &ExportPanel::refill);
    connect(&m_window, &Tpe_connect::resultsChanged, this, &ExportPanel::resultsChanged);
    connect(&m_window, &Tpe_connect::positionChanged, this, &ExportPanel::followPosition);
    refill();
}

void ExportPanel::resultsChanged()
{
    m_export->setEnabled(m_window.results().isOpen());
    if (isVisible())
        refill();
    else
        m_stale = true;
}

void ExportPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refill();
    else
        followPosition();
}

// The list's current row is the result list's contact, however it was reached.
void ExportPanel::followPosition()
{
    const ResultList &results = m_window.results();
    if (m_stale || !isVisible() || !results.isOpen() || m_grid->currentRow() == results.position())
        return;
    m_filling = true;
    m_grid->setCurrentRow(results.position());
    m_filling = false;
}

void ExportPanel::refill()
{
    const ResultList &results = m_window.results();
    m_export->setEnabled(results.isOpen());
    m_stale = false;
    m_filling = true;
    if (!results.isOpen()) {
        m_grid->setRows({});
    } else {
        // A list the store cannot give shows its rows empty; the export says why.
        Result<QList<QStringList>> listed = ContactExport::list(m_db, results.kind(), results.hits());
        m_grid->setRows(listed ? std::move(listed).value() : QList<QStringList>(results.count(), QStringList(4)));
        m_grid->setCurrentRow(results.position());
    }
    m_filling = false;
}

void ExportPanel::rowChanged()
{
    const int row = m_grid->currentRow();
    if (!m_filling && row >= 0 && row != m_window.results().position())
        m_window.selectResultRow(row);
}

void ExportPanel::exportClicked()
{
    const QString path =
        Dialogs::saveFileName(this, {}, QStringLiteral("OutLook或Foxmail导出文件(*.csv *.txt);;其它格式(*)"));
    if (!path.isEmpty())
        exportTo(path);
}

void ExportPanel::exportTo(const QString &path)
{
    const ResultList &results = m_window.results();
    const Result<ContactExport::Exported> built = ContactExport::build(m_db, results.kind(), results.hits());
    if (!built) {
        Dialogs::error(this, built.error());
        return;
    }
    // Written aside and renamed, so a failed write leaves the old file whole.
    if (const Result<void> replaced = WholeFile::replace(path, built->bytes); !replaced) {
        Dialogs::error(this,
                       QStringLiteral("无法写入文件 %1: %2").arg(QDir::toNativeSeparators(path), replaced.error()));
        return;
    }
    // The tabs end on the last contact written, as if they had followed the export.
    if (results.count() > 0)
        m_window.selectResultRow(results.count() - 1);
    Dialogs::information(this, QStringLiteral("成功导出:%1 联系人记录.....").arg(built->lines));
    emit exported();
}
