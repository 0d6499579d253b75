#pragma once

class QWidget;

namespace Placement {

// Centres the window, at its present size, on its screen.
void centreOnScreen(QWidget *window);

} // namespace Placement
