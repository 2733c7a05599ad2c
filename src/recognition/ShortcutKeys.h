#pragma once

#include <QString>

namespace quorvale {

// Menus print their shortcuts in light grey, where the engine takes the "l" of "Ctrl" for an
// "i" and a thin "+" for a "t" ("Ctri+V", "CtrltPage Up"), and the "1" of a function key for
// an "i" ("Fi1"). A word that chains key names with such marks is put back as keys.
class ShortcutKeys {
public:
    static QString restore(const QString& line);
};

} // namespace quorvale
