#pragma once

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

// The controls of the main window under their designed names. The widgets
// belong to the window; this only points at them.
struct FormControls {
    QWidget* form = nullptr;
    QTreeWidget* listView1 = nullptr;    // the application list
    QPushButton* pushButton1 = nullptr;  // "Refresh List"
    QGroupBox* frame1 = nullptr;         // waiting time
    QLineEdit* text1 = nullptr;          // seconds to wait
    QPushButton* pushButton3 = nullptr;  // "Help"
    QGroupBox* frame3 = nullptr;         // hold length
    QRadioButton* option1 = nullptr;     // forever until Ctrl+Shift+S
    QRadioButton* option2 = nullptr;     // timed, beside the "Hold for..." list
    QTreeWidget* listView2 = nullptr;    // "Hold for..."
    QGroupBox* frame4 = nullptr;         // the keyboard
    QLabel* image1 = nullptr;            // keyboard picture
    std::array<KeyButton*, kKeyCount> cmdKey{};
    QButtonGroup* keyGroup = nullptr;    // the keys, id = index
    QPushButton* pushButton6 = nullptr;  // "Reset (Unmark All Buttons)"
    QPushButton* pushButton5 = nullptr;  // "Mark All Buttons", never shown
    QLabel* label1 = nullptr;            // "Selected key = green"
    QLabel* label2 = nullptr;            // "Unselectled key = gray"
    QPushButton* pushButton4 = nullptr;  // the switch
    QPushButton* pushButton2 = nullptr;  // "Hold Now (Test)"
};

// Builds every control of the main window at its designed place, size,
// caption, font and colour, in the designed tab order, on `form` (which gets
// its fixed client size and white background).
FormControls buildFormControls(QWidget* form);

}  // namespace quindorel
