#include "app/AutoHide.h"

namespace AutoHide {

Step tick(QPoint pointer, int launcherLeft, int savedLeft, int savedTop, int width)
{
    Step step;
    step.savedLeft = launcherLeft != savedLeft ? launcherLeft : savedLeft;
    const int x = pointer.x();
    if (x < step.savedLeft || x > step.savedLeft + width)
        step.newTop = kHiddenTop;
    if (x > step.savedLeft && pointer.y() < kRevealBand)
        step.newTop = savedTop;
    return step;
}

} // namespace AutoHide
