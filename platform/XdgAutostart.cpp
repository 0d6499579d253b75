#include "platform/XdgAutostart.h"

#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

std::unique_ptr<Autostart> Autostart::create()
{
    // A Windows build would return its Run-key implementation here.
    return std::make_unique<XdgAutostart>();
}

XdgAutostart::XdgAutostart(QString program)
    : m_program(program.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(program))
{
}

QString XdgAutostart::autostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart"));
}

QString XdgAutostart::entryPath() const
{
    return autostartFolder() + u'/' + kFileName;
}

bool XdgAutostart::isEnabled() const
{
    return QFileInfo(entryPath()).isFile();
}

QString XdgAutostart::execValue(const QString &program)
{
    // Inside double quotes, '"', '`', '$' and '\' take a backslash; '%' is
    // doubled because Exec gives it a meaning of its own. The value is then
    // a string value, whose own escapes apply on top: every backslash doubles,
    // and control characters take their escape.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';

    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case u'\\':
            value += QStringLiteral("\\\\");
            break;
        case u'\n':
            value += QStringLiteral("\\n");
            break;
        case u'\t':
            value += QStringLiteral("\\t");
            break;
        case u'\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

QString XdgAutostart::entryText(const QString &program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(kEntryName, execValue(program));
}

Result<void> XdgAutostart::enable()
{
    const QString folder = autostartFolder();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("无法建立文件夹 %1").arg(folder));
    const QByteArray bytes = entryText(m_program).toUtf8();
    if (const Result<void> replaced = WholeFile::replace(entryPath(), bytes); !replaced)
        return fail(QStringLiteral("%1: %2").arg(entryPath(), replaced.error()));
    return {};
}

Result<void> XdgAutostart::disable()
{
    QFile file(entryPath());
    if (!file.exists() || file.remove())
        return {};
    return fail(QStringLiteral("%1: %2").arg(entryPath(), file.errorString()));
}
