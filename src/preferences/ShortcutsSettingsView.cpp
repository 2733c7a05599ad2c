#include "preferences/ShortcutsSettingsView.h"

#include "platform/Platform.h"
#include "preferences/SectionHeader.h"
#include "shared/BindableCommands.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

ShortcutsSettingsView::ShortcutsSettingsView(QWidget* parent)
    : QWidget(parent) {
    using GlobalShortcuts::Name;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new SectionHeader(tr("Keyboard Shortcuts"), true));
    const std::pair<QString, const Name*> rows[] = {
        {tr("Capture & Copy"), &Name::captureAndCopy()},
        {tr("Window Mode"), &Name::captureAndCopyWindowMode()},
        {tr("Capture from File"), &Name::captureFromFile()},
        {tr("Capture from Photos"), &Name::captureFromPhotos()},
    };
    int labelWidth = 0;
    for (const auto& [title, name] : rows) {
        auto* recorder = new GlobalShortcuts::Recorder(title, *name);
        labelWidth = std::max(labelWidth, recorder->label()->sizeHint().width());
        layout->addWidget(recorder, 0, Qt::AlignHCenter);
        m_recorders.append(recorder);
    }
    // The fields line up under each other.
    for (auto* recorder : m_recorders) {
        recorder->label()->setMinimumWidth(labelWidth);
        recorder->label()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    layout->addWidget(new QLabel(tr("Click a field, then press the new shortcut. Esc cancels, "
                                    "Backspace clears.")),
                      0, Qt::AlignHCenter);
    if (const auto& hotKeys = platform::current().hotKeys; hotKeys && !hotKeys->isAvailable()) {
        // The fields still keep shortcuts for sessions where they work; here the desktop has
        // to run the commands.
        auto* unavailable = new QLabel(
            tr("These shortcuts cannot be registered in this session: %1. Bind these commands "
               "in your desktop's keyboard settings instead:")
                .arg(hotKeys->describeStatus(platform::GlobalHotKeys::kHotKeysUnavailable)));
        unavailable->setWordWrap(true);
        unavailable->setObjectName(QStringLiteral("shortcutsUnavailable"));
        layout->addWidget(unavailable);
        auto* commands = new QLabel(bindableCommands().join(u'\n'));
        commands->setObjectName(QStringLiteral("bindableCommands"));
        commands->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont mono = commands->font();
        mono.setFamily(QStringLiteral("monospace"));
        mono.setStyleHint(QFont::Monospace);
        commands->setFont(mono);
        layout->addWidget(commands, 0, Qt::AlignHCenter);
    }
    layout->addStretch(1);
}

} // namespace quorvale
