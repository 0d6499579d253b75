#pragma once

#include "sync/core/SyncSettings.h"

#include <QDialog>
#include <QUrl>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QThread;
class SyncHost;
struct DavAccount;
class DavClient;

// "同步": the server, the user and the password (kept in the desktop's
// secret store), the address book and calendar found on the server or made
// there, what to sync and when, and "立即同步" with its progress and the
// last result in plain words.
class Tsync_config final : public QDialog
{
    Q_OBJECT

public:
    explicit Tsync_config(SyncHost &host, QWidget *parent = nullptr);
    ~Tsync_config() override;

    // Looking for collections on the server.
    bool isBusy() const;

signals:
    // The settings were written to main.ini: the launcher follows them.
    void settingsSaved();

private:
    void buildControls();
    QWidget *buildAccount();
    QWidget *buildCollections();
    QWidget *buildChoices();
    QWidget *buildWhen();
    QLayout *buildButtons();
    void showSettings();
    SyncSettings chosen() const;
    DavAccount account() const;
    void findCollections();
    struct Found;
    void collectionsFound(const Found &found);
    bool save();
    void createThenKeep(std::function<void()> then);
    bool keepCollections();
    void syncNow();
    void syncProgress(const QString &stage, int done, int total);
    void syncFinished(bool ok, const QString &text);
    void updateButtons();
    // Runs `work` with a client of its own in a worker thread, then `done`
    // in this window's thread.
    void runOnServer(std::function<void(DavClient &)> work, std::function<void()> done);

    SyncHost &m_host;
    QString m_password; // as typed, or as the secret store gave it
    QLineEdit *m_server = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    QLabel *m_passwordNote = nullptr;
    QPushButton *m_find = nullptr;
    QComboBox *m_addressBook = nullptr;
    QComboBox *m_calendar = nullptr;
    QCheckBox *m_contacts = nullptr;
    QCheckBox *m_jobs = nullptr;
    QCheckBox *m_notes = nullptr;
    QCheckBox *m_protected = nullptr;
    QRadioButton *m_byHand = nullptr;
    QRadioButton *m_atStart = nullptr;
    QRadioButton *m_every = nullptr;
    QSpinBox *m_minutes = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_lastResult = nullptr;
    QPushButton *m_syncNow = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
    QThread *m_worker = nullptr;
    QString m_fingerprint; // trusted by the user
};
