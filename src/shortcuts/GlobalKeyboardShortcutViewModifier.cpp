#include "shortcuts/GlobalKeyboardShortcutViewModifier.h"

#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/RecorderCocoa.h"

#include <QAction>
#include <QPointer>

namespace GlobalShortcuts {

GlobalKeyboardShortcutViewModifier::GlobalKeyboardShortcutViewModifier(QAction* action,
                                                                       const Name& name)
    : QObject(action)
    , m_action(action)
    , m_name(name) {
    QPointer<GlobalKeyboardShortcutViewModifier> weakSelf(this);
    auto& center = quorvale::NotificationCenter::defaultCenter();
    m_nameObserver =
        center.addObserver(kShortcutByNameDidChange, [weakSelf](const QVariantMap& userInfo) {
            const QVariant name = userInfo.value(QStringLiteral("name"));
            if (weakSelf && name.canConvert<Name>() &&
                name.value<Name>().rawValue == weakSelf->m_name.rawValue) {
                weakSelf->apply();
            }
        });
    m_recorderObserver = center.addObserver(
        RecorderCocoa::kRecorderActiveStatusDidChange, [weakSelf](const QVariantMap& userInfo) {
            const QVariant active = userInfo.value(RecorderCocoa::kIsActiveKey);
            if (weakSelf && active.typeId() == QMetaType::Bool) {
                weakSelf->m_isRecorderActive = active.toBool();
                weakSelf->apply();
            }
        });
    apply();
}

void GlobalKeyboardShortcutViewModifier::apply() {
    const auto shortcut = getShortcut(m_name);
    m_action->setShortcut(m_isRecorderActive || !shortcut ? QKeySequence()
                                                          : shortcut->keySequence());
}

GlobalKeyboardShortcutViewModifier* shortcutBinding(QAction* action, const Name& name) {
    return new GlobalKeyboardShortcutViewModifier(action, name);
}

} // namespace GlobalShortcuts
