#pragma once

#include <QString>

namespace quindorel {

class KeySetFile;
class MarkedKeys;
class Platform;

// The clicks that change the marks on the on-screen keyboard; every change is
// saved at once.
class MarkActions {
public:
    MarkActions(Platform& platform, MarkedKeys& marks, KeySetFile& keySetFile);

    // A click on key `index`: an unmarked key becomes marked, a marked one
    // unmarked. A picture key hides while it is marked by a click.
    void toggle(int index);
    // "Reset (Unmark All Buttons)".
    void unmarkAll();
    // "Mark All Buttons".
    void markAll();

private:
    void setAll(bool marked, const QString& procedure);

    Platform& platform_;
    MarkedKeys& marks_;
    KeySetFile& keySetFile_;
};

}  // namespace quindorel
