#pragma once

#include <QGroupBox>

class QLineEdit;

// "密码区": asks for the password before a protected job's log opens. It is
// drawn over the planner's lists; the planner compares what was typed.
class JobPasswordBox final : public QGroupBox
{
    Q_OBJECT

public:
    explicit JobPasswordBox(QWidget *parent = nullptr);

    // Shows the area with an empty entry that has the focus.
    void ask();

signals:
    void entered(const QString &password);
    void cancelled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QLineEdit *m_entry = nullptr;
};
