#pragma once

#include <QDialog>

class QLabel;

// "关于我们": who made the program and what it is for.
class Tabout_note final : public QDialog
{
    Q_OBJECT

public:
    explicit Tabout_note(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadPicture();

    QLabel *m_picture = nullptr;
};
