#pragma once

#include <QString>

#include <array>
#include <optional>

// What a record tab's save button does.
enum class TabMode { View, Edit, New };

// The buttons of a record tab. They stand in places, two to a place; the
// second of a place covers the first while it is shown. Each action of a tab
// shows and hides buttons; which button a place shows follows from that.
class TabButtons
{
public:
    enum Button { Modify, Save, Delete, Undo, New, Cancel, ButtonCount };

    virtual ~TabButtons() = default;

    static QString caption(Button button);

    // The place (0-based) of a button: Modify/Save 0, Delete/Undo 1, New/Cancel 2.
    static int placeOf(Button button) { return int(button) / 2; }

    bool isShown(Button button) const { return m_shown[button]; }
    // The button a place shows, if any.
    std::optional<Button> inPlace(int place) const;
    TabMode mode() const { return m_mode; }
    // "保存" is offered: the tab edits a record or adds one, and the form
    // holds what the user types for it.
    bool isEditing() const { return m_shown[Save]; }

    // The view a tab starts in (the window was shown or collapsed).
    virtual void start() = 0;

protected:
    TabButtons() = default;
    void show(Button button) { m_shown[button] = true; }
    void hide(Button button) { m_shown[button] = false; }
    void setMode(TabMode mode) { m_mode = mode; }

private:
    std::array<bool, ButtonCount> m_shown{};
    TabMode m_mode = TabMode::View;
};
