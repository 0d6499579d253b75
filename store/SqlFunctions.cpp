#include "store/SqlFunctions.h"

#include "store/FieldCodec.h"

#include <QList>
#include <QMutex>

#include <sqlite3.h>

namespace SqlFunctions {

namespace {

struct Registry
{
    QMutex mutex;
    QList<Function> functions;
    bool automatic = false;
};

Registry &registry()
{
    static Registry r;
    return r;
}

void resultText(sqlite3_context *context, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QString argumentText(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

void plainText(sqlite3_context *context, int, sqlite3_value **values)
{
    QString text = argumentText(values[0]);
    if (sqlite3_value_int(values[1]) != 0) {
        const FieldCodec::Decoded decoded = FieldCodec::decode(text);
        text = decoded.ok ? decoded.text : QString();
    }
    resultText(context, text.replace(QChar(0), u' '));
}

// Run by the engine for each new connection.
int addAll(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    for (const Function &f : std::as_const(r.functions)) {
        const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
        const int done =
            sqlite3_create_function_v2(db, f.name, f.arguments, flags, nullptr, f.body, nullptr, nullptr, nullptr);
        if (done != SQLITE_OK)
            return done;
    }
    return SQLITE_OK;
}

void addLocked(Registry &r, const Function &function)
{
    if (!r.automatic) {
        r.automatic = true;
        r.functions.append({kPlainText, 2, plainText});
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(addAll));
    }
    for (const Function &f : std::as_const(r.functions)) {
        if (qstrcmp(f.name, function.name) == 0 && f.arguments == function.arguments)
            return;
    }
    r.functions.append(function);
}

} // namespace

void add(const Function &function)
{
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    addLocked(r, function);
}

int addTo(sqlite3 *db)
{
    names(); // the store's own function is there too
    return addAll(db, nullptr, nullptr);
}

QStringList names()
{
    // The store's own function is there whenever the store is.
    add({kPlainText, 2, plainText});
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    QStringList all;
    for (const Function &f : std::as_const(r.functions))
        all << QString::fromLatin1(f.name);
    return all;
}

QStringList missing(const QStringList &required)
{
    const QStringList present = names();
    QStringList absent;
    for (const QString &name : required) {
        if (!present.contains(name))
            absent << name;
    }
    return absent;
}

} // namespace SqlFunctions
