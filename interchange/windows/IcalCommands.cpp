#include "interchange/windows/IcalCommands.h"

#include "interchange/windows/IcalExportDialog.h"
#include "interchange/windows/IcalImportDialog.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace IcalCommands {

namespace {

// One export and one import dialog per window, owned by the window.
class Opened final : public QObject
{
public:
    Opened(QWidget *window, Setup setup)
        : QObject(window)
        , m_window(window)
        , m_setup(std::move(setup))
    {
    }

    void openExport()
    {
        // A dialog closed a moment ago may still wait for its deletion.
        if (m_export && m_export->isVisible()) {
            m_export->activateWindow();
            return;
        }
        IcalExportDialog::Setup setup{m_setup.db, m_setup.what, {}, {}, m_setup.password};
        if (m_setup.listed)
            std::tie(setup.listedPrefix, setup.listedName) = m_setup.listed();
        m_export = new IcalExportDialog(setup, m_window);
        show(m_export);
    }

    void openImport()
    {
        if (m_import && m_import->isVisible()) {
            m_import->activateWindow();
            return;
        }
        m_import = new IcalImportDialog(m_setup.db, m_window);
        if (m_setup.imported)
            connect(m_import, &IcalImportDialog::imported, this, m_setup.imported);
        show(m_import);
    }

private:
    static void show(QDialog *dialog)
    {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    }

    QWidget *m_window;
    Setup m_setup;
    QPointer<IcalExportDialog> m_export;
    QPointer<IcalImportDialog> m_import;
};

} // namespace

void addTo(QMenu *menu, QWidget *window, const Setup &setup)
{
    auto *opened = new Opened(window, setup);
    const bool jobs = setup.what == IcalExport::What::Jobs;
    QAction *exportAction = menu->addAction(jobs ? QStringLiteral("导出工作到iCalendar文件...")
                                                 : QStringLiteral("导出日记到iCalendar文件..."));
    exportAction->setObjectName(kExportAction);
    QObject::connect(exportAction, &QAction::triggered, opened, &Opened::openExport);
    QAction *importAction = menu->addAction(QStringLiteral("从iCalendar文件导入..."));
    importAction->setObjectName(kImportAction);
    QObject::connect(importAction, &QAction::triggered, opened, &Opened::openImport);
}

} // namespace IcalCommands
