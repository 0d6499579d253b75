#pragma once

#include "contacts/core/TabButtons.h"

#include <QPushButton>
#include <QWidget>

#include <array>

class QGridLayout;

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

    // Connects each button's click to the panel's member of the same place
    // (Modify, Save, Delete, Undo, New, Cancel); a null member connects nothing.
    template <typename Panel>
    void connectClicks(Panel *panel, const std::array<void (Panel::*)(), TabButtons::ButtonCount> &members)
    {
        for (int place = 0; place < TabButtons::ButtonCount; ++place) {
            if (members[place])
                connect(m_buttons[place], &QPushButton::clicked, panel, members[place]);
        }
    }

private:
    QGridLayout *m_grid = nullptr;
    int m_places = 0;
    std::array<QPushButton *, TabButtons::ButtonCount> m_buttons{};
};
