#include "shortcuts/MenuItemShortcut.h"

#include "platform/Platform.h"
#include "shared/NotificationCenter.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QAction>
#include <QPointer>

namespace GlobalShortcuts {
namespace {

const char* const kObserverName = "GlobalShortcuts_menuItemObserver";

// Owned by the item, so the observation ends with it.
class NameObserver : public QObject {
public:
    NameObserver(QAction* item, Name name)
        : QObject(item) {
        setObjectName(QLatin1String(kObserverName));
        QPointer<QAction> weakItem(item);
        m_token = quorvale::NotificationCenter::defaultCenter().addObserver(
            kShortcutByNameDidChange, [weakItem, name](const QVariantMap& userInfo) {
                if (userInfo.value(QStringLiteral("name")).value<Name>() != name) {
                    return;
                }
                quorvale::platform::current().mainQueue->async([weakItem, name] {
                    if (weakItem) {
                        MenuItemShortcut::set(weakItem, getShortcut(name));
                    }
                });
            });
    }

private:
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> m_token;
};

void dropObserver(QAction* item) {
    delete item->findChild<QObject*>(QLatin1String(kObserverName), Qt::FindDirectChildrenOnly);
}

} // namespace

void MenuItemShortcut::set(QAction* item, const std::optional<Shortcut>& shortcut) {
    item->setShortcut(shortcut ? shortcut->keySequence() : QKeySequence());
}

void MenuItemShortcut::bind(QAction* item, const std::optional<Name>& name) {
    dropObserver(item);
    if (!name) {
        set(item, std::nullopt);
        return;
    }
    set(item, getShortcut(*name));
    new NameObserver(item, *name);
}

} // namespace GlobalShortcuts
