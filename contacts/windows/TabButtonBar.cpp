#include "contacts/windows/TabButtonBar.h"

#include <QGridLayout>
#include <QPushButton>

namespace {

const char *const kSuffixes[] = {"Modify", "Save", "Delete", "Undo", "New", "Cancel"};
constexpr int kPlaceWidth = 90;

} // namespace

TabButtonBar::TabButtonBar(const QString &prefix, int places, QWidget *parent)
    : QWidget(parent)
    , m_grid(new QGridLayout(this))
    , m_places(places)
{
    m_grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < places * 2; ++i) {
        const auto which = TabButtons::Button(i);
        auto *button = new QPushButton(TabButtons::caption(which), this);
        button->setObjectName(prefix + QLatin1String(kSuffixes[i]));
        button->setMinimumWidth(kPlaceWidth - 10);
        m_grid->addWidget(button, 0, TabButtons::placeOf(which));
        m_grid->setColumnMinimumWidth(TabButtons::placeOf(which), kPlaceWidth);
        m_buttons[i] = button;
    }
    m_grid->setColumnStretch(places + 1, 1);
}

void TabButtonBar::apply(const TabButtons &state)
{
    for (int place = 0; place < m_places; ++place) {
        const auto shown = state.inPlace(place);
        for (int i = place * 2; i < place * 2 + 2; ++i)
            m_buttons[i]->setVisible(shown && *shown == TabButtons::Button(i));
    }
}

void TabButtonBar::addExtra(QPushButton *button)
{
    button->setParent(this);
    button->setMinimumWidth(kPlaceWidth - 10);
    m_grid->addWidget(button, 0, m_places);
    m_grid->setColumnMinimumWidth(m_places, kPlaceWidth);
}
