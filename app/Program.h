#pragma once

#include <functional>

class QApplication;
class Tmain;

// The organiser's start: the single-instance guard, translations, the
// launcher, the event loop. `launcherCreated` lets a harness watch the
// launcher before it is first shown.
int runOrganiser(QApplication &app, const std::function<void(Tmain &)> &launcherCreated = {});
