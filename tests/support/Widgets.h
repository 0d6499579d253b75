#pragma once

#include "store/Result.h"
#include "VerifyOk.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTest>

// Finding a window's control by its objectName. A control the window lacks
// fails the test with the control's type and name and ends the test function,
// where a bare findChild would read through a null pointer and stop the run.
//
//     FIND_CHILD(save, QPushButton, &window, "BitBtn1");
//     save->click();
//
// A helper that returns a value takes `Widgets::find` and lets its caller
// check the result with QVERIFY2(found, Widgets::missing<T>(root, name)).
// A fixture that keeps controls finds them once, in a call the test checks:
//
//     Result<void> make() { return Widgets::take(m_save, &window, "BitBtn1"); }
//     ...
//     VERIFY_OK(fixture.make());
namespace Widgets {

template <typename T> T *find(const QObject *root, const QString &name)
{
    return root ? root->findChild<T *>(name) : nullptr;
}

// "no QPushButton "BitBtn1" in Tjob_do"
template <typename T> QByteArray missing(const QObject *root, const QString &name)
{
    const char *owner = root ? root->metaObject()->className() : "a window that is gone";
    return QStringLiteral("no %1 \"%2\" in %3")
        .arg(QLatin1String(T::staticMetaObject.className()), name, QLatin1String(owner))
        .toUtf8();
}

// Points `control` at the child of `root` named `name`; the failure says
// which control the window lacks.
template <typename T> Result<void> take(T *&control, const QObject *root, const QString &name)
{
    control = find<T>(root, name);
    if (!control)
        return fail(QString::fromUtf8(missing<T>(root, name)));
    return {};
}

} // namespace Widgets

// Declares `var` as the child of `root` named `name`; fails and returns from
// the test function when there is none.
#define FIND_CHILD(var, Type, root, name)                                                                              \
    Type *const var = Widgets::find<Type>(root, name);                                                                 \
    QVERIFY2(var, Widgets::missing<Type>(root, name).constData())
