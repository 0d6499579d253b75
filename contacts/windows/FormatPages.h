#pragma once

#include <QWidget>

class QComboBox;
class QStackedWidget;

// A tab page that does the same job for several file formats: "格式:" and a
// choice of format above the page of the format chosen.
class FormatPages final : public QWidget
{
    Q_OBJECT

public:
    // `choiceName` is the objectName of the format choice.
    explicit FormatPages(const QString &choiceName, QWidget *parent = nullptr);
    void addPage(const QString &format, QWidget *page);
    QComboBox *choice() const { return m_choice; }

private:
    QComboBox *m_choice = nullptr;
    QStackedWidget *m_pages = nullptr;
};
