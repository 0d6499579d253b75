#include "contacts/windows/ExportPanel.h"

#include "contacts/csv/ContactExport.h"
#include "contacts/windows/RecordGrid.h"
#include "contacts/windows/ResultRowsModel.h"
#include "contacts/windows/Tpe_connect.h"
#include "interchange/windows/VCardExportRun.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ShellOpen.h"
#include "platform/WholeFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ExportPanel::ExportPanel(const QSqlDatabase &db, Tpe_connect &window, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_window(window)
{
    auto *layout = new QVBoxLayout(this);
    m_rows = new ResultRowsModel(m_db, m_window.results(), this);
    m_grid = new RecordGrid({60, 40, 200, 90}, m_rows, this);
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
    auto *choices = new QHBoxLayout;
    auto *formatLabel = new QLabel(QStringLiteral("格式:"), this);
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("eFormat"));
    m_format->addItems({QStringLiteral("逗号分隔(CSV)"), QStringLiteral("vCard 3.0"), QStringLiteral("vCard 4.0")});
    m_format->setToolTip(QStringLiteral("vCard 3.0为手机和邮件程序普遍接受的格式"));
    formatLabel->setBuddy(m_format);
    m_currentOnly = new QCheckBox(QStringLiteral("只导出当前联系人"), this);
    m_currentOnly->setObjectName(QStringLiteral("eCurrentOnly"));
    choices->addWidget(formatLabel);
    choices->addWidget(m_format);
    choices->addWidget(m_currentOnly);
    choices->addStretch(1);
    layout->addLayout(choices);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("eProgress"));
    m_progress->hide();
    layout->addWidget(m_progress);
    auto *buttons = new QHBoxLayout;
    m_export = new QPushButton(QStringLiteral("导出"), this);
    m_export->setObjectName(QStringLiteral("eExport"));
    m_export->setToolTip(QStringLiteral("在确定文件及导入信息正确的,进行导入..."));
    m_export->setFlat(true);
    m_openWritten = new QPushButton(QStringLiteral("打开导出的文件"), this);
    m_openWritten->setObjectName(QStringLiteral("eOpenFile"));
    m_openWritten->setToolTip(QStringLiteral("用系统中打开这种文件的程序查看导出的文件"));
    m_openWritten->setEnabled(false);
    buttons->addWidget(m_export);
    buttons->addWidget(m_openWritten);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(m_export, &QPushButton::clicked, this, &ExportPanel::exportClicked);
    connect(m_openWritten, &QPushButton::clicked, this, &ExportPanel::openWritten);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ExportPanel::rowChanged);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &ExportPanel::detailsRequested);
    connect(m_grid, &RecordGrid::refreshRequested, this, &ExportPanel::refill);
    connect(&m_window, &Tpe_connect::resultsChanged, this, &ExportPanel::resultsChanged);
    connect(&m_window, &Tpe_connect::positionChanged, this, &ExportPanel::followPosition);
    refill();
}

void ExportPanel::resultsChanged()
{
    m_export->setEnabled(m_window.results().isOpen() && !isExporting());
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
    m_export->setEnabled(results.isOpen() && !isExporting());
    m_stale = false;
    m_filling = true;
    m_rows->reload();
    m_grid->setCurrentRow(results.isOpen() ? results.position() : -1);
    m_grid->fitColumns();
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
    const QString filter = m_format->currentIndex() == Csv
                               ? QStringLiteral("OutLook或Foxmail导出文件(*.csv *.txt);;其它格式(*)")
                               : QStringLiteral("vCard文件(*.vcf);;其它格式(*)");
    const QString path = Dialogs::saveFileName(this, {}, filter);
    if (!path.isEmpty())
        exportTo(path);
}

void ExportPanel::exportTo(const QString &path)
{
    if (m_format->currentIndex() == Csv)
        exportCsv(path);
    else
        exportVCard(path);
}

void ExportPanel::exportCsv(const QString &path)
{
    const ResultList &results = m_window.results();
    Result<QList<ContactSearch::Hit>> hits = QList<ContactSearch::Hit>();
    if (!m_currentOnly->isChecked())
        hits = results.all();
    else if (results.position() >= 0)
        hits = QList<ContactSearch::Hit>{results.current()};
    if (!hits) {
        Dialogs::error(this, hits.error());
        return;
    }
    const Result<ContactExport::Exported> built = ContactExport::build(m_db, results.kind(), *hits);
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
    wasWritten(path, QStringLiteral("成功导出:%1 联系人记录.....").arg(built->lines));
}

Result<QStringList> ExportPanel::chosenIds() const
{
    const ResultList &results = m_window.results();
    if (m_currentOnly->isChecked())
        return results.currentId().isEmpty() ? QStringList() : QStringList{results.currentId()};
    const Result<QList<ContactSearch::Hit>> hits = results.all();
    if (!hits)
        return fail(hits.error());
    QStringList ids;
    for (const ContactSearch::Hit &hit : *hits) {
        if (!hit.contactId.isEmpty())
            ids << hit.contactId;
    }
    return ids;
}

// Written in steps under the progress bar; the file is replaced at the end.
void ExportPanel::exportVCard(const QString &path)
{
    const auto version = m_format->currentIndex() == VCard40 ? VCardWriter::Version::V40 : VCardWriter::Version::V30;
    const Result<QStringList> ids = chosenIds();
    if (!ids) {
        Dialogs::error(this, ids.error());
        return;
    }
    Result<VCardExport> started = VCardExport::start(m_db, *ids, version);
    if (!started) {
        Dialogs::error(this, started.error());
        return;
    }
    m_vcardRun = new VCardExportRun(std::move(started).value(), path, this);
    connect(m_vcardRun, &VCardExportRun::progressed, this, [this](int done, int total) {
        m_progress->setRange(0, qMax(1, total));
        m_progress->setValue(done);
    });
    connect(m_vcardRun, &VCardExportRun::finished, this, &ExportPanel::vcardWritten);
    m_progress->setRange(0, 0);
    m_progress->show();
    m_export->setEnabled(false);
    m_vcardRun->start();
}

void ExportPanel::vcardWritten()
{
    VCardExportRun *run = m_vcardRun;
    m_vcardRun = nullptr;
    run->deleteLater();
    m_progress->hide();
    m_export->setEnabled(m_window.results().isOpen());
    if (!run->error().isEmpty()) {
        Dialogs::error(this, run->error());
        return;
    }
    QStringList message{QStringLiteral("成功导出:%1 联系人记录.....").arg(run->cards())};
    if (run->leftOut() > 0)
        message << QStringLiteral("%1个联系人没有个人信息,没有导出.").arg(run->leftOut());
    message += run->notes();
    wasWritten(run->path(), message.join(u'\n'));
}

void ExportPanel::wasWritten(const QString &path, const QString &message)
{
    m_written = path;
    m_openWritten->setEnabled(true);
    // The tabs end on the last contact written, as if they had followed the export.
    const ResultList &results = m_window.results();
    if (!m_currentOnly->isChecked() && results.count() > 0)
        m_window.selectResultRow(results.count() - 1);
    Dialogs::information(this, message);
    emit exported();
}

void ExportPanel::openWritten()
{
    if (!ShellOpen::openFile(m_written))
        Dialogs::error(this, QStringLiteral("没有可以打开文件 %1 的程序").arg(QDir::toNativeSeparators(m_written)));
}
