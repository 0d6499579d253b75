#include "app/Tabout_note.h"
#include "app/Tmain.h"
#include "contacts/windows/Tpe_connect.h"
#include "ScriptedDialogs.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QTest>
#include <QToolButton>

// "通讯录" on the launcher opens one address book, whose about button reaches
// the launcher's about window.
class TstContactsLauncher : public QObject
{
    Q_OBJECT

private slots:
    void opensOneAddressBookWithAbout()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        FIND_CHILD(button, QToolButton, &launcher, "BitBtn3");
        button->click();
        const auto books = launcher.findChildren<Tpe_connect *>();
        QCOMPARE(books.size(), 1);
        Tpe_connect *book = books.first();
        QVERIFY(book->isVisible());
        QVERIFY(book->testAttribute(Qt::WA_DeleteOnClose));
        book->showMinimized();
        button->click();
        QCOMPARE(launcher.findChildren<Tpe_connect *>(), books);
        QVERIFY(!book->isMinimized());

        FIND_CHILD(newContact, QAbstractButton, book, "newContactButton");
        FIND_CHILD(about, QAbstractButton, book, "aboutButton");
        newContact->click();
        about->click();
        QTRY_COMPARE(launcher.findChildren<Tabout_note *>().size(), 1);
        launcher.findChildren<Tabout_note *>().first()->close();
        book->close();
        QTRY_VERIFY(launcher.findChildren<Tpe_connect *>().isEmpty());
    }
};

QTEST_MAIN(TstContactsLauncher)
#include "tst_contacts_launcher.moc"
