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
    // X keycodes of a pc105 keyboard, as the tests type them.
    std::optional<qint64> virtualKeyCodeForScanCode(quint32 nativeScanCode) const override {
        const auto found = scanCodes.find(nativeScanCode);
        return found == scanCodes.end() ? std::nullopt : std::optional<qint64>(found.value());
    }
    void switchTo(QHash<qint64, QString> layout) {
        characters = std::move(layout);
        notifyLayoutChanged();
    }

    // A few keys of a US keyboard.
    QHash<qint64, QString> characters = {{0, "a"},  {16, "y"}, {6, "z"},  {35, "p"},
                                         {31, "o"}, {34, "i"}, {32, "u"}, {18, "1"},
                                         {19, "2"}, {43, ","}, {50, "`"}};
    QHash<quint32, qint64> scanCodes = {
        {9, 53},   {23, 48}, {22, 51}, {119, 117}, {33, 35},  {45, 40},  {38, 0},
        {24, 12},  {52, 6},  {55, 9},  {71, 96},   {96, 111}, {67, 122}, {65, 49},
        {50, 56},  {62, 60}, {64, 58}, {108, 61},  {37, 59},  {105, 62}, {133, 55},
        {134, 54}, {66, 57}, {32, 31}, {31, 34},   {30, 32},  {10, 18}};
    mutable int lookups = 0;
};

} // namespace quorvale::platform
