#pragma once

#include <QString>

namespace quorvale {

// Words of screen chrome and code the engine misreads in a way their own form gives away.
class MisreadWords {
public:
    // Menus print their shortcuts in light grey, where the engine takes the "l" of "Ctrl" for
    // an "i" and a thin "+" for a "t" ("Ctri+V", "CtrltPage Up"), and the "1" of a function
    // key for an "i" ("Fi1"). A word that chains key names with such marks is put back as keys.
    static QString restoreShortcutKeys(const QString& line);
    // The engine reads the S of a code name such as "__S_ISVTX" as a section sign, which
    // stands before numbers, never inside a name.
    static QString restoreSectionSigns(QString line);
};

} // namespace quorvale
