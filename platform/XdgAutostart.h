#pragma once

#include "platform/Autostart.h"

// A desktop entry in the user's autostart folder, as freedesktop.org
// desktops read it: $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when
// XDG_CONFIG_HOME is unset, empty or not absolute.
class XdgAutostart final : public Autostart
{
public:
    // `program`: the file the entry starts; the running program by default.
    explicit XdgAutostart(QString program = {});

    bool isEnabled() const override;
    Result<void> enable() override;
    Result<void> disable() override;

    QString entryPath() const;
    static QString autostartFolder();

    // The Exec value that starts `program` with no arguments: quoted whole,
    // with the characters the desktop entry format reserves escaped.
    static QString execValue(const QString &program);
    // The whole entry file.
    static QString entryText(const QString &program);

    // The same name as the installed desktop entry, so desktops see them as one program.
    static inline const QString kFileName = QStringLiteral("com.velmora.notepad.desktop");

private:
    QString m_program;
};
