#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>

namespace quorvale::platform {

// A layout given as a table; switching it tells the observers like a real switch.
class FakeKeyboardLayout : public KeyboardLayout {
public:
    QString characterForKeyCode(qint64 virtualKeyCode) const override {
        ++lookups;
        return characters.value(virtualKeyCode);
    }
    void switchTo(QHash<qint64, QString> layout) {
        characters = std::move(layout);
        notifyLayoutChanged();
    }

    // A few keys of a US keyboard.
    QHash<qint64, QString> characters = {{0, "a"},  {16, "y"}, {6, "z"},  {35, "p"},
                                         {31, "o"}, {34, "i"}, {32, "u"}, {18, "1"},
                                         {19, "2"}, {43, ","}, {50, "`"}};
    mutable int lookups = 0;
};

} // namespace quorvale::platform
