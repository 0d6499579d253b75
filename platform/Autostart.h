#pragma once

#include "store/Result.h"

#include <QString>

#include <memory>

// Starting the program when the user logs on. Each desktop keeps this in its
// own place; the rest of the program sees only this interface.
class Autostart
{
public:
    virtual ~Autostart() = default;

    // True while the program is set to start at log-on.
    virtual bool isEnabled() const = 0;
    // Sets the program (the copy now running) to start at log-on; fails with
    // the reason when the setting cannot be written.
    virtual Result<void> enable() = 0;
    // Removes the setting; succeeds when there was none.
    virtual Result<void> disable() = 0;

    // The implementation for the desktop this program was built for.
    static std::unique_ptr<Autostart> create();

    // The name the entry is listed under.
    static inline const QString kEntryName = QStringLiteral("Velmora商务记事本");
};
