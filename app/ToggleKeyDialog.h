#pragma once

#include <QDialog>

class QLabel;

namespace quindorel {

class HoldModel;

// Takes the next key pressed, with its modifiers, as the user's start/stop
// key: Escape cancels, Backspace takes the key away. A key another program
// has, Ctrl+Shift+S, a marked key (a hold would press it, and stop itself)
// and keys that cannot start anything are said so in the dialog, which
// waits for another. While it is open the old key is let go, so that
// pressing it here chooses it rather than starting a hold.
class ToggleKeyDialog : public QDialog {
    Q_OBJECT
public:
    // `note`: what this desktop adds (where its own settings are the place).
    ToggleKeyDialog(HoldModel& model, const QString& note, QWidget* parent);
    ~ToggleKeyDialog() override;

    // What the window's notice says once a key was chosen; empty otherwise.
    const QString& outcome() const { return outcome_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void say(const QString& text);

    HoldModel& model_;
    QLabel* said_;
    QString outcome_;
    bool chosen_ = false;
};

}  // namespace quindorel
