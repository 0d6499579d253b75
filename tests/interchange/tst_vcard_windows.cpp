// vCard in the address book's import and export tabs, driven as a user
// does: the format choice, the list of cards before anything is written, the
// question before kept contacts are updated, the cut of values too long,
// export of the list or of the shown contact, and opening the files.
#include "contacts/windows/Tpe_connect.h"
#include "interchange/core/RecordUids.h"
#include "interchange/windows/VCardImportPanel.h"
#include "platform/ui/ShellOpen.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

QVariant scalar(const QString &sql)
{
    QSqlQuery query(Store::database());
    return query.exec(sql) && query.next() ? query.value(0) : QVariant();
}

bool run(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(Store::database());
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    return query.exec();
}

QByteArray card(const QString &name, const QString &uid, const QString &more = {})
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\n%3END:VCARD\r\n")
        .arg(uid, name, more)
        .toUtf8();
}

// The boxes shown, file dialogs left out.
QStringList boxTexts(ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (const Dialogs::Shown &shown : dialogs.shown()) {
        if (shown.kind != Dialogs::Kind::OpenFile && shown.kind != Dialogs::Kind::SaveFile)
            texts << shown.text;
    }
    return texts;
}

// The boxes shown once the first is: a run in steps shows its box later.
// (QTRY_* would ask twice, and the second asking finds them taken.)
QStringList boxesWhenShown(ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (int waited = 0; texts.isEmpty() && waited < 5000; waited += 20) {
        texts = boxTexts(dialogs);
        if (texts.isEmpty())
            QTest::qWait(20);
    }
    return texts;
}

} // namespace

class tst_vcard_windows final : public QObject
{
    Q_OBJECT

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_store->filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes);
        return file.fileName();
    }

    // A kept contact, 甲, that a card with UID "u-1" updates.
    void addKeptContact()
    {
        QVERIFY(run(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_mib, pe_img) VALUES "
                                   "('20240101080000', '甲', '1', '')")));
        VERIFY_OK(RecordUids::keep(Store::database(), RecordUids::Kind::Contact, QStringLiteral("20240101080000"),
                                   QStringLiteral("u-1")));
    }

    // Opens `bytes` as a vCard file on the import tab; the list is filled.
    void openVCard(const QByteArray &bytes)
    {
        FIND_CHILD(importButton, QAbstractButton, m_window.get(), "importButton");
        importButton->click();
        FIND_CHILD(format, QComboBox, m_window.get(), "iFormat");
        format->setCurrentIndex(1);
        FIND_CHILD(open, QAbstractButton, m_window.get(), "vOpen");
        QVERIFY(open->isVisible());
        m_dialogs->answer(Dialogs::Answer::Ok, writeFile(QStringLiteral("in.vcf"), bytes));
        open->click();
        const auto *panel = m_window->findChild<VCardImportPanel *>();
        QTRY_VERIFY(!panel->isBusy());
    }

    QString cell(int row, int column)
    {
        const auto *list = m_window->findChild<QTableView *>(QStringLiteral("vList"));
        return list ? list->model()->index(row, column).data().toString() : QString();
    }

    void importAndWait()
    {
        FIND_CHILD(import, QAbstractButton, m_window.get(), "vImport");
        QVERIFY(import->isEnabled());
        import->click();
        const auto *panel = m_window->findChild<VCardImportPanel *>();
        QTRY_VERIFY(!panel->isBusy());
    }

    void searchAll()
    {
        FIND_CHILD(kind, QRadioButton, m_window.get(), "kindName");
        kind->setChecked(true);
        FIND_CHILD(box, QLineEdit, m_window.get(), "searchBox");
        box->setText(QStringLiteral("张"));
        FIND_CHILD(search, QAbstractButton, m_window.get(), "searchButton");
        search->click();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        QVERIFY(run(QStringLiteral("DELETE FROM pe_info")));
        m_dialogs = std::make_unique<ScriptedDialogs>();
        Clock::setNow(QDateTime(QDate(2026, 5, 1), QTime(8, 0)));
        m_window = std::make_unique<Tpe_connect>(Store::database());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
        m_store.reset();
        Clock::reset();
        ShellOpen::setOpener({});
    }

    void cardsAreListedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("done");
        QTest::newRow("update agreed") << true << QStringLiteral("甲改,乙")
                                       << QStringLiteral("导入完成: 新建1个联系人, 更新1个; 1张卡片没有导入.");
        QTest::newRow("update declined") << false << QStringLiteral("甲,乙")
                                         << QStringLiteral("导入完成: 新建1个联系人, 更新0个; 2张卡片没有导入.");
    }
    void cardsAreListedBeforeAnythingIsWritten()
    {
        QFETCH(bool, update);
        QFETCH(QString, names);
        QFETCH(QString, done);
        addKeptContact();
        openVCard(card(QStringLiteral("甲改"), QStringLiteral("u-1"))
                  + card(QStringLiteral("乙"), QStringLiteral("u-2"))
                  + QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nPHOTO;ENCODING=b:@@\r\nFN:丙\r\nEND:VCARD\r\n"));
        QCOMPARE(cell(0, 2), QStringLiteral("更新“甲”"));
        QCOMPARE(cell(1, 2), QStringLiteral("新建"));
        QCOMPARE(cell(2, 2), QStringLiteral("不能导入"));
        QVERIFY(cell(2, 3).contains(QStringLiteral("BASE64")));
        FIND_CHILD(summary, QLabel, m_window.get(), "vSummary");
        QCOMPARE(summary->text(), QStringLiteral("共3张卡片: 新建1, 更新已有联系人1, 不能导入1."));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info")).toInt(), 1);

        m_dialogs->answer(update ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        importAndWait();
        const QStringList shown = boxTexts(*m_dialogs);
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.at(0).startsWith(QStringLiteral("文件中有1张卡片对应已有的联系人")));
        QVERIFY(shown.at(0).endsWith(QStringLiteral("(Yes/No)")));
        QCOMPARE(shown.at(1), done);
        QCOMPARE(
            scalar(QStringLiteral("SELECT group_concat(pe_name) FROM (SELECT pe_name FROM pe_info ORDER BY rowid)"))
                .toString(),
            names);
        QCOMPARE(cell(0, 2), update ? QStringLiteral("已更新") : QStringLiteral("没有导入"));
        QCOMPARE(cell(1, 2), QStringLiteral("已新建"));
        FIND_CHILD(import, QAbstractButton, m_window.get(), "vImport");
        QVERIFY(!import->isEnabled()); // pressing again would not import twice
    }

    void tooLongValuesComeInOnlyWhenTheUserCutsThem_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("not cut") << false;
        QTest::newRow("cut") << true;
    }
    void tooLongValuesComeInOnlyWhenTheUserCutsThem()
    {
        QFETCH(bool, cut);
        openVCard(card(QString(60, u'长'), QStringLiteral("u-9")));
        QCOMPARE(cell(0, 3), QStringLiteral("值太长: 姓名60字,最多50字"));
        FIND_CHILD(cutBox, QCheckBox, m_window.get(), "vCut");
        QVERIFY(cutBox->isEnabled());
        cutBox->setChecked(cut);
        importAndWait();
        QCOMPARE(boxTexts(*m_dialogs).size(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info")).toInt(), cut ? 1 : 0);
    }

    void aBadFileIsRefusedWithAMessage()
    {
        openVCard(QByteArray("BEGIN:VCARD\r\nFN:\0\r\nEND:VCARD\r\n", 30));
        const QList<Dialogs::Shown> shown = m_dialogs->shown();
        QCOMPARE(shown.constLast().kind, Dialogs::Kind::Error);
        QVERIFY(shown.constLast().text.contains(QStringLiteral("NUL")));
        FIND_CHILD(import, QAbstractButton, m_window.get(), "vImport");
        QVERIFY(!import->isEnabled());
    }

    void aFileWithoutCardsSaysSo()
    {
        openVCard("姓名,手机\r\n");
        QVERIFY(boxTexts(*m_dialogs).value(0).contains(QStringLiteral("没有vCard卡片")));
    }

    void theOpenedFileOpensInTheDesktopsProgram()
    {
        QString opened;
        ShellOpen::setOpener([&opened](const QString &path) {
            opened = path;
            return true;
        });
        openVCard(card(QStringLiteral("乙"), QStringLiteral("u-2")));
        FIND_CHILD(shellOpen, QAbstractButton, m_window.get(), "vShellOpen");
        shellOpen->click();
        QCOMPARE(opened, m_store->filePath(QStringLiteral("in.vcf")));
    }

    void exportWritesTheChosenFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("currentOnly");
        QTest::addColumn<int>("cards");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("3.0, the list") << 1 << false << 2 << QByteArray("VERSION:3.0");
        QTest::newRow("4.0, the list") << 2 << false << 2 << QByteArray("VERSION:4.0");
        QTest::newRow("3.0, the shown contact") << 1 << true << 1 << QByteArray("VERSION:3.0");
    }
    void exportWritesTheChosenFormat()
    {
        QFETCH(int, format);
        QFETCH(bool, currentOnly);
        QFETCH(int, cards);
        QFETCH(QByteArray, version);
        QVERIFY(run(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_img) VALUES "
                                   "('20240101080000', '张甲', ''), ('20240101080001', '张乙', '')")));
        searchAll();
        QVERIFY(m_window->isExpanded());
        m_window->selectResultRow(1);
        FIND_CHILD(tabs, QTabWidget, m_window.get(), "pc1");
        tabs->setCurrentIndex(Tpe_connect::ExportTab);
        FIND_CHILD(formatChoice, QComboBox, m_window.get(), "eFormat");
        formatChoice->setCurrentIndex(format);
        FIND_CHILD(current, QCheckBox, m_window.get(), "eCurrentOnly");
        current->setChecked(currentOnly);
        const QString path = m_store->filePath(QStringLiteral("out.vcf"));
        m_dialogs->answer(Dialogs::Answer::Ok, path);
        FIND_CHILD(exportButton, QAbstractButton, m_window.get(), "eExport");
        exportButton->click();
        QCOMPARE(boxesWhenShown(*m_dialogs), QStringList{QStringLiteral("成功导出:%1 联系人记录.....").arg(cards)});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written.count("BEGIN:VCARD"), cards);
        QVERIFY(written.contains(version));
        QCOMPARE(written.contains("FN:张乙"), true);
        QCOMPARE(written.contains("FN:张甲"), !currentOnly);

        QString opened;
        ShellOpen::setOpener([&opened](const QString &p) {
            opened = p;
            return true;
        });
        FIND_CHILD(openFile, QAbstractButton, m_window.get(), "eOpenFile");
        tabs->setCurrentIndex(Tpe_connect::ExportTab);
        QVERIFY(openFile->isEnabled());
        openFile->click();
        QCOMPARE(opened, path);
    }

    void importPageReadsWhole_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }
    void importPageReadsWhole()
    {
        QFETCH(qreal, scale);
        m_window.reset();
        TextFit::ScaledFont font(scale);
        m_window = std::make_unique<Tpe_connect>(Store::database());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        addKeptContact();
        openVCard(card(QStringLiteral("甲改"), QStringLiteral("u-1"))
                  + card(QStringLiteral("乙"), QStringLiteral("u-2"),
                         QStringLiteral("ADR;TYPE=HOME:;;%1;;;;\r\n").arg(QString(55, u'路'))));
        QTest::qWait(10);
        TextFit::saveShot(m_window.get(), QStringLiteral("vcard-import-%1").arg(scale));
        QStringList faults = TextFit::faults(m_window.get());
        // The list holds whatever the cards say: a list wider than the tab
        // scrolls sideways, as data grids do.
        faults.removeIf([](const QString &f) {
            return f.startsWith(QStringLiteral("vList"))
                   && f.endsWith(QStringLiteral("is cut off by the edge of the list"));
        });
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

private:
    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tpe_connect> m_window;
};

QTEST_MAIN(tst_vcard_windows)
#include "tst_vcard_windows.moc"
