#pragma once

#include <QObject>

class QWidget;

namespace quindorel {

// Keeps a button's press when another program takes the keyboard while the
// mouse button is still held, so that the release still clicks.
//
// Qt's X11 back end hears at once that the keyboard left a window, but
// deactivates the window only 100 ms later, in case the keyboard comes back.
// A click within those 100 ms finds the window still counted active, so Qt
// asks for no activation, and the late deactivation can land between the
// press and the release. Qt's buttons drop a press when their window
// deactivates, and the click would be lost. Scripts that drive the window
// (xdotool, test suites, on a display with no window manager) click that
// fast.
class PressKeeper : public QObject {
public:
    using QObject::QObject;

    // Watches every button inside root.
    void watchButtons(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quindorel
