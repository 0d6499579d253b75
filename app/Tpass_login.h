#pragma once

#include "app/core/PasswordLogin.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class LauncherHost;

// "登陆密码": the password asked at start-up. It closes only through its own
// buttons; three wrong entries, "取消", or a stored password in no known form
// end the program.
class Tpass_login final : public QDialog
{
    Q_OBJECT

public:
    explicit Tpass_login(LauncherHost &launcher, QWidget *parent = nullptr);

    int attempts() const { return m_login.attempts(); }

    // Said before the program ends on a start-up flag or password row that
    // cannot be read: such a store is damaged, and never opens unprotected.
    static QString damagedStoreMessage(const QString &detail);

signals:
    // The program must end; the launcher ends it.
    void endRequested(int exitCode);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void confirm();
    void endProgram(int exitCode);
    void updateConfirm();

    LauncherHost &m_launcher;
    PasswordLogin m_login;
    QLineEdit *m_entry = nullptr;
    QPushButton *m_ok = nullptr;
    bool m_mayClose = false;
};
