#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace quorvale::platform {

// Shortcuts the desktop binds and triggers itself (a Wayland desktop's shortcuts portal): the
// app names what it wants and may propose keys; the desktop decides the keys and says which
// shortcuts it took and how to press them.
class DesktopShortcuts {
public:
    struct Wanted {
        QString id;
        QString description; // what the shortcut does, for the desktop's dialog
        QString
            preferredTrigger; // in the freedesktop shortcuts format ("CTRL+ALT+p"); may be empty
    };
    struct Assigned {
        QString id;
        QString trigger; // as the desktop writes it; empty when it says nothing
    };
    struct Answer {
        std::vector<Assigned> assigned; // empty: the desktop bound nothing
        QString detail;                 // why not, for the log
    };
    using AnswerHandler = std::function<void(const Answer&)>;
    using ActivationHandler = std::function<void(const QString& id)>;

    virtual ~DesktopShortcuts() = default;

    // Asks once per run. `answered` runs later on the GUI thread, again when the desktop
    // reassigns keys; `activated` runs for each press of a shortcut it took.
    virtual void bind(std::vector<Wanted> wanted, AnswerHandler answered,
                      ActivationHandler activated) = 0;
};

} // namespace quorvale::platform
