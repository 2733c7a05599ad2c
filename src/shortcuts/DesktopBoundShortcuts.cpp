#include "shortcuts/DesktopBoundShortcuts.h"

#include "platform/Platform.h"
#include "shared/NotificationCenter.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QRegularExpression>
#include <map>

namespace GlobalShortcuts::DesktopBound {
namespace {

struct BindingState {
    State state = State::notOffered;
    std::map<QString, Name> names;       // by raw value, the portal's id
    std::map<QString, QString> triggers; // by raw value, what the desktop took
    // Answers to a request of before a reset are not ours any more.
    int generation = 0;
};

BindingState& binding() {
    static BindingState instance;
    return instance;
}

void changed() {
    quorvale::NotificationCenter::defaultCenter().post(kDidChange);
}

} // namespace

void request(const std::vector<std::pair<Name, QString>>& titledNames,
             std::function<void()> refused) {
    auto& s = binding();
    const auto desktop = quorvale::platform::current().desktopShortcuts;
    if (!desktop || s.state != State::notOffered) {
        return;
    }
    std::vector<quorvale::platform::DesktopShortcuts::Wanted> wanted;
    for (const auto& [name, title] : titledNames) {
        s.names.try_emplace(name.rawValue, name);
        const auto shortcut = getShortcut(name);
        wanted.push_back({name.rawValue, title,
                          shortcut ? preferredTrigger(*shortcut).value_or(QString()) : QString()});
    }
    s.state = State::asking;
    changed();
    const int generation = s.generation;
    desktop->bind(
        std::move(wanted),
        [generation, refused = std::move(refused)](
            const quorvale::platform::DesktopShortcuts::Answer& answer) mutable {
            auto& s = binding();
            if (s.generation != generation) {
                return;
            }
            const bool first = s.state == State::asking;
            s.triggers.clear();
            for (const auto& assigned : answer.assigned) {
                s.triggers[assigned.id] = assigned.trigger;
            }
            s.state = s.triggers.empty() ? State::refused : State::bound;
            changed();
            if (first && s.state == State::refused && refused) {
                std::exchange(refused, {})();
            }
        },
        [generation](const QString& id) {
            const auto& s = binding();
            if (s.generation != generation || !s.triggers.count(id)) {
                return;
            }
            dispatchDesktopTrigger(s.names.at(id));
        });
}

State state() {
    return binding().state;
}

std::optional<QString> trigger(const Name& name) {
    const auto& triggers = binding().triggers;
    const auto found = triggers.find(name.rawValue);
    return found == triggers.end() ? std::nullopt : std::optional(found->second);
}

std::optional<QString> preferredTrigger(const Shortcut& shortcut) {
    static const std::map<QString, QString> kModifiers{{QStringLiteral("Super"), "LOGO"},
                                                       {QStringLiteral("Ctrl"), "CTRL"},
                                                       {QStringLiteral("Alt"), "ALT"},
                                                       {QStringLiteral("Shift"), "SHIFT"}};
    // Letters, digits and function keys have the same names there as here.
    static const QRegularExpression kKey(QStringLiteral("^([A-Z0-9]|F[0-9]{1,2})$"));
    QStringList parts = shortcut.displayString().split(u'+');
    const QString key = parts.takeLast();
    if (!kKey.match(key).hasMatch()) {
        return std::nullopt;
    }
    QStringList trigger;
    for (const QString& part : parts) {
        const auto found = kModifiers.find(part);
        if (found == kModifiers.end()) {
            return std::nullopt;
        }
        trigger.append(found->second);
    }
    trigger.append(key.size() == 1 ? key.toLower() : key);
    return trigger.join(u'+');
}

void resetForTesting() {
    auto& s = binding();
    const int generation = s.generation + 1;
    s = BindingState{};
    s.generation = generation;
}

} // namespace GlobalShortcuts::DesktopBound
