#pragma once

#include "contacts/windows/ImportPanel.h"
#include "contacts/windows/Tpe_connect.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Result.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

#include <memory>

// A shown address book over a private store, with scripted boxes and a fixed
// clock. The window reads the store as it is made, so both come from make():
//
//     ContactsFixture f;
//     VERIFY_OK(f.make());
//     FIND_CHILD(name, QLineEdit, f.window, "pe_name"); // a control, by its name
struct ContactsFixture
{
    ContactsFixture() = default;
    ~ContactsFixture() { Clock::reset(); }
    ContactsFixture(const ContactsFixture &) = delete;
    ContactsFixture &operator=(const ContactsFixture &) = delete;

    // Makes the store, sets the clock to 2026-05-01 08:00 and shows the
    // window; what went wrong, when a step did.
    [[nodiscard]] Result<void> make()
    {
        if (Result<void> made = store.make(); !made)
            return made;
        Clock::setNow(QDateTime(QDate(2026, 5, 1), QTime(8, 0, 0)));
        m_window = std::make_unique<Tpe_connect>(Store::database());
        window = m_window.get();
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            return fail(QStringLiteral("the address book was never shown"));
        const Result<void> found[] = {
            Widgets::take(m_tabs, window, QStringLiteral("pc1")),
            Widgets::take(m_searchBox, window, QStringLiteral("searchBox")),
            Widgets::take(m_searchButton, window, QStringLiteral("searchButton")),
        };
        for (const Result<void> &each : found) {
            if (!each)
                return each;
        }
        // The import tab's panel has no name of its own: there is one.
        m_import = window->findChild<ImportPanel *>();
        if (!m_import)
            return fail(QStringLiteral("no ImportPanel in Tpe_connect"));
        return {};
    }

    QTabWidget *tabs() const { return m_tabs; }
    ImportPanel *importPanel() const { return m_import; }

    // Clicks a button the user can see; says why it could not.
    Result<void> press(const QString &name) const
    {
        QAbstractButton *button = nullptr;
        if (Result<void> found = Widgets::take(button, window, name); !found)
            return found;
        if (!button->isVisible())
            return fail(name + QStringLiteral(" is hidden"));
        if (!button->isEnabled())
            return fail(name + QStringLiteral(" is disabled"));
        button->click();
        return {};
    }

    // Searches by the kind whose radio button is `kindName`.
    Result<void> search(const QString &kindName, const QString &text) const
    {
        QRadioButton *kind = nullptr;
        if (Result<void> found = Widgets::take(kind, window, kindName); !found)
            return found;
        kind->setChecked(true);
        m_searchBox->setText(text);
        m_searchButton->click();
        return {};
    }

    // Which buttons of a tab (prefix "p", "d" or "o") are visible, in place
    // order. A tab has four or six of them; one with none at all is named as
    // missing, so the comparison that follows fails instead of matching an
    // empty list.
    QString visibleButtons(const QString &prefix) const
    {
        QStringList shown;
        bool any = false;
        for (const char *suffix : {"Modify", "Save", "Delete", "Undo", "New", "Cancel"}) {
            auto *button = Widgets::find<QAbstractButton>(window, prefix + QLatin1String(suffix));
            any = any || button;
            if (button && button->isVisible())
                shown << button->text();
        }
        if (!any)
            return QString::fromUtf8(Widgets::missing<QAbstractButton>(window, prefix + QStringLiteral("Modify")));
        return shown.join(u'|');
    }

    static QVariant scalar(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery query(Store::database());
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return {};
        return query.value(0);
    }
    static bool exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery query(Store::database());
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        return query.exec();
    }

    TempStore store;
    ScriptedDialogs dialogs;
    Tpe_connect *window = nullptr; // made by make()

private:
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_searchBox = nullptr;
    QAbstractButton *m_searchButton = nullptr;
    ImportPanel *m_import = nullptr;
    std::unique_ptr<Tpe_connect> m_window; // goes before the dialogs and the store
};
