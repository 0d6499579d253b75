#pragma once

#include <QPoint>

#include <optional>

// The launcher's auto-hide rule, one 10 ms tick at a time. A pointer left or
// right of the launcher's column sends it off the screen; a pointer in the
// top 20 pixels anywhere right of the column's left edge brings it back, and
// that wins when both apply.
namespace AutoHide {

inline constexpr int kHiddenTop = 10000;
inline constexpr int kRevealBand = 20;

struct Step
{
    int savedLeft = 0;         // follows the launcher when the user moved it
    std::optional<int> newTop; // where to move the launcher's top, if anywhere
};

Step tick(QPoint pointer, int launcherLeft, int savedLeft, int savedTop, int width);

} // namespace AutoHide
