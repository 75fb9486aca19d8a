#pragma once

#include <QFont>
#include <array>

#include "keys/KeyTable.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QWidget;

namespace quindorel {

class KeyButton;

// The controls of the main window, named by their role. The widgets
// belong to the window; this only points at them.
struct FormControls {
    QWidget* form = nullptr;
    QTreeWidget* appList = nullptr;         // the application list
    QPushButton* refreshButton = nullptr;   // "Refresh List"
    QGroupBox* waitFrame = nullptr;         // waiting time
    QLineEdit* waitField = nullptr;         // seconds to wait
    QPushButton* helpButton = nullptr;      // "Help"
    QGroupBox* holdFrame = nullptr;         // hold length
    QRadioButton* foreverOption = nullptr;  // forever until Ctrl+Shift+S
    QRadioButton* timedOption = nullptr;    // timed, beside the "Hold for..." list
    QTreeWidget* holdList = nullptr;        // "Hold for..."
    QGroupBox* keyboardFrame = nullptr;     // the keyboard
    QWidget* keyboardImage = nullptr;       // keyboard picture
    std::array<KeyButton*, kKeyCount> keyButtons{};
    QButtonGroup* keyGroup = nullptr;        // the keys, id = index
    QPushButton* unmarkAllButton = nullptr;  // "Reset (Unmark All Buttons)"
    QPushButton* markAllButton = nullptr;    // "Mark All Buttons", never shown
    QLabel* markedLabel = nullptr;           // "Selected key = green"
    QLabel* unmarkedLabel = nullptr;         // "Unselectled key = gray"
    QPushButton* switchButton = nullptr;     // the switch
    QPushButton* holdNowButton = nullptr;    // "Hold Now (Test)"
    QLabel* focusNotice = nullptr;           // why held keys wait; hidden when they do not
};

// The window's three faces: its own (frames, labels, lists), the wide
// buttons', and the keys'.
QFont windowFont();
QFont pushButtonFont();
QFont keyFont();

// Builds every control of the main window at its designed place, size,
// caption, font and colour, in the designed tab order, on `form` (which gets
// its fixed client size and white background).
FormControls buildFormControls(QWidget* form);

}  // namespace quindorel
