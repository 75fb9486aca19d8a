#pragma once

#include <QObject>
#include <QString>

namespace quindorel {

// What the user has chosen for the hold, as the window shows it: the mode,
// the switch, the waiting-time text and the "Hold for..." row. The window
// paints itself from this and writes the user's changes into it; the hold's
// procedures read and change only this, never a control.
class UserChoices : public QObject {
    Q_OBJECT
public:
    enum class Mode { Neither, UntilStopKey, Timed };
    enum class Part { Mode, Switch, WaitText, HoldRows, HoldRow, HoldListEnabled };

    Mode mode() const { return mode_; }
    bool switchOn() const { return switchOn_; }  // "Turn Off" is shown
    const QString& waitText() const { return waitText_; }
    int holdRowCount() const { return holdRowCount_; }
    int holdRow() const { return holdRow_; }  // -1 when no row is selected
    bool holdListEnabled() const { return holdListEnabled_; }

    void setMode(Mode mode) { change(mode_, mode, Part::Mode); }
    void setSwitchOn(bool on) { change(switchOn_, on, Part::Switch); }
    void setWaitText(const QString& text) { change(waitText_, text, Part::WaitText); }
    void setHoldRowCount(int count) { change(holdRowCount_, count, Part::HoldRows); }
    void setHoldRow(int row) { change(holdRow_, row, Part::HoldRow); }
    void setHoldListEnabled(bool enabled) {
        change(holdListEnabled_, enabled, Part::HoldListEnabled);
    }

signals:
    // After each change, with the part that changed.
    void changed(quindorel::UserChoices::Part part);

private:
    template <typename T>
    void change(T& field, const T& value, Part part) {
        if (field == value) {
            return;
        }
        field = value;
        emit changed(part);
    }

    Mode mode_ = Mode::Neither;
    bool switchOn_ = false;
    QString waitText_ = QStringLiteral("Text1");  // the field's designed text, until restored
    int holdRowCount_ = 0;
    int holdRow_ = -1;
    bool holdListEnabled_ = true;
};

}  // namespace quindorel
