#pragma once

#include "TabButtons.h"

#include <QWidget>

#include <array>

class QGridLayout;
class QPushButton;

// The row of record buttons at the bottom of a tab: each place holds two
// buttons in one cell, and only the one the tab's state shows is visible.
// Buttons are named `<prefix>Modify`, `<prefix>Save`, ... for tests.
class TabButtonBar final : public QWidget
{
    Q_OBJECT

public:
    TabButtonBar(const QString &prefix, int places, QWidget *parent = nullptr);

    QPushButton *button(TabButtons::Button which) const { return m_buttons[which]; }
    void apply(const TabButtons &state);
    // A further place after the record buttons (the print button).
    void addExtra(QPushButton *button);

private:
    QGridLayout *m_grid = nullptr;
    int m_places = 0;
    std::array<QPushButton *, TabButtons::ButtonCount> m_buttons{};
};
