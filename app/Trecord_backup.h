#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QProgressBar;
class QPushButton;
class ModalScope;

// "备份或转移记录窗口": copies pad.db to a file the user names. With the
// option ticked the copy becomes a transfer: the record file is overwritten,
// deleted, and the program ends.
class Trecord_backup final : public QWidget
{
    Q_OBJECT

public:
    explicit Trecord_backup(QWidget *parent = nullptr);
    ~Trecord_backup() override;

    // Why the store may not be closed now (a window still writing to it), or
    // an empty text when it may. Asked before every copy.
    using StoreInUse = std::function<QString()>;
    void setStoreInUseCheck(StoreInUse check) { m_storeInUse = std::move(check); }

    // True while the shared connection is closed for a copy or a transfer.
    bool isBusy() const { return m_busy; }

    static inline const QString kWarning = QStringLiteral("【警告:】本软件采用非线性粉碎删除记录文件,"
                                                          "在删除后将无法采用任何方法恢复记录,是否继续(Yes/No)  .....");

signals:
    // The record file is gone: the program must end now.
    void transferred();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void optionToggled(bool ticked);
    void start();
    bool copyTo(const QString &target);
    void transfer(const QString &target);
    void reopenStore();
    void setBusy(bool busy);
    void showProgress(int maximum);
    void hideProgress();

    QCheckBox *m_option = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_close = nullptr;
    QProgressBar *m_progress = nullptr;
    bool m_busy = false;
    StoreInUse m_storeInUse;
    // Keeps every other window from the store while its connection is closed.
    std::unique_ptr<ModalScope> m_scope;
};
