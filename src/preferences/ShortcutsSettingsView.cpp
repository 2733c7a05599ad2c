#include "preferences/ShortcutsSettingsView.h"

#include "platform/Platform.h"
#include "preferences/SectionHeader.h"
#include "shared/BindableCommands.h"
#include "shortcuts/DesktopBoundShortcuts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

namespace {

const GlobalShortcuts::Name& nameOf(int row) {
    using GlobalShortcuts::Name;
    const Name* names[] = {&Name::captureAndCopy(), &Name::captureAndCopyWindowMode(),
                           &Name::captureFromFile(), &Name::captureFromPhotos()};
    return *names[row];
}

QLabel* wrapped(const QString& text, const QString& objectName) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setObjectName(objectName);
    return label;
}

} // namespace

ShortcutsSettingsView::ShortcutsSettingsView(QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new SectionHeader(tr("Keyboard Shortcuts"), true));
    const QString titles[] = {tr("Capture & Copy"), tr("Window Mode"), tr("Capture from File"),
                              tr("Capture from Photos")};

    m_recording = new QWidget;
    auto* recording = new QVBoxLayout(m_recording);
    recording->setContentsMargins({});
    int labelWidth = 0;
    for (int row = 0; row < 4; ++row) {
        auto* recorder = new GlobalShortcuts::Recorder(titles[row], nameOf(row));
        labelWidth = std::max(labelWidth, recorder->label()->sizeHint().width());
        recording->addWidget(recorder, 0, Qt::AlignHCenter);
        m_recorders.append(recorder);
    }
    // The fields line up under each other.
    for (auto* recorder : m_recorders) {
        recorder->label()->setMinimumWidth(labelWidth);
        recorder->label()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    recording->addWidget(new QLabel(tr("Click a field, then press the new shortcut. Esc cancels, "
                                       "Backspace clears.")),
                         0, Qt::AlignHCenter);
    layout->addWidget(m_recording);

    m_asking = wrapped(tr("Quorvale is asking your desktop to bind these shortcuts."),
                       QStringLiteral("shortcutsAsking"));
    layout->addWidget(m_asking);

    // The desktop owns the keys here: the pane says what they are, and where to change them.
    m_assigned = new QWidget;
    m_assigned->setObjectName(QStringLiteral("desktopShortcuts"));
    auto* assigned = new QVBoxLayout(m_assigned);
    assigned->setContentsMargins({});
    assigned->addWidget(wrapped(tr("Your desktop runs these shortcuts:"), {}));
    auto* form = new QFormLayout;
    for (const QString& title : titles) {
        auto* trigger = new QLabel;
        trigger->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A label of its own: one made by the form would read "&" as a mnemonic.
        form->addRow(new QLabel(title), trigger);
        m_triggers.append(trigger);
    }
    assigned->addLayout(form);
    assigned->addWidget(wrapped(tr("Change them in your desktop's keyboard settings."), {}));
    layout->addWidget(m_assigned);

    m_unavailable = new QWidget;
    auto* unavailable = new QVBoxLayout(m_unavailable);
    unavailable->setContentsMargins({});
    if (const auto& hotKeys = platform::current().hotKeys) {
        // The fields still keep shortcuts for sessions where they work; here the desktop has
        // to run the commands.
        unavailable->addWidget(wrapped(
            tr("These shortcuts cannot be registered in this session: %1. Bind these commands "
               "in your desktop's keyboard settings instead:")
                .arg(hotKeys->describeStatus(platform::GlobalHotKeys::kHotKeysUnavailable)),
            QStringLiteral("shortcutsUnavailable")));
    }
    auto* commands = new QLabel(bindableCommands().join(u'\n'));
    commands->setObjectName(QStringLiteral("bindableCommands"));
    commands->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont mono = commands->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::Monospace);
    commands->setFont(mono);
    unavailable->addWidget(commands, 0, Qt::AlignHCenter);
    layout->addWidget(m_unavailable);
    layout->addStretch(1);

    QPointer<ShortcutsSettingsView> self(this);
    m_bindingObserver = NotificationCenter::defaultCenter().addObserver(
        GlobalShortcuts::DesktopBound::kDidChange, [self](const QVariantMap&) {
            if (self) {
                self->showDesktopBinding();
            }
        });
    showDesktopBinding();
}

void ShortcutsSettingsView::showDesktopBinding() {
    using GlobalShortcuts::DesktopBound::State;
    const State state = GlobalShortcuts::DesktopBound::state();
    const auto& hotKeys = platform::current().hotKeys;
    const bool grabs = !hotKeys || hotKeys->isAvailable();
    m_recording->setHidden(state == State::bound);
    m_asking->setHidden(state != State::asking);
    m_assigned->setHidden(state != State::bound);
    m_unavailable->setHidden(grabs || state == State::asking || state == State::bound);
    for (int row = 0; row < m_triggers.size(); ++row) {
        const auto trigger = GlobalShortcuts::DesktopBound::trigger(nameOf(row));
        // Only keys the desktop named: a combination of ours may not be what it bound.
        m_triggers[row]->setText(!trigger ? tr("Not bound by your desktop")
                                 : trigger->isEmpty()
                                     ? tr("Bound; your desktop does not say to which keys")
                                     : *trigger);
    }
}

} // namespace quorvale
