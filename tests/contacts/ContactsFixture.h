#pragma once

#include "contacts/windows/Tpe_connect.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

// A shown address book over a private store, with scripted boxes and a fixed clock.
struct ContactsFixture
{
    ContactsFixture()
        : window(Store::database())
    {
        VERIFY_OK(storeMade);
        Clock::setNow(QDateTime(QDate(2026, 5, 1), QTime(8, 0, 0)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    ~ContactsFixture() { Clock::reset(); }

    template <typename T = QWidget> T *child(const QString &name) const
    {
        auto *found = window.findChild<T *>(name);
        if (!found)
            qWarning("no child %s", qPrintable(name));
        return found;
    }
    QLineEdit *edit(const QString &name) const { return child<QLineEdit>(name); }
    QPlainTextEdit *memo(const QString &name) const { return child<QPlainTextEdit>(name); }
    QTabWidget *tabs() const { return child<QTabWidget>(QStringLiteral("pc1")); }

    // Clicks a button the user can see; false when it is hidden or disabled.
    bool press(const QString &name) const
    {
        auto *button = child<QAbstractButton>(name);
        if (!button || !button->isVisible() || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

    void search(const QString &kindName, const QString &text) const
    {
        child<QRadioButton>(kindName)->setChecked(true);
        edit(QStringLiteral("searchBox"))->setText(text);
        child<QAbstractButton>(QStringLiteral("searchButton"))->click();
    }

    // Which buttons of a tab (prefix "p", "d" or "o") are visible, in place order.
    QString visibleButtons(const QString &prefix) const
    {
        QStringList shown;
        for (const char *suffix : {"Modify", "Save", "Delete", "Undo", "New", "Cancel"}) {
            auto *button = window.findChild<QAbstractButton *>(prefix + QLatin1String(suffix));
            if (button && button->isVisible())
                shown << button->text();
        }
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
    const Result<void> storeMade = store.make(); // made before the window reads it
    ScriptedDialogs dialogs;
    Tpe_connect window;
};
