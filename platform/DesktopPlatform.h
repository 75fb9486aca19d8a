#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>
#include <memory>

#include "platform/KeyGuard.h"
#include "platform/Platform.h"
#include "settings/QtSettingsStore.h"

class QSocketNotifier;

namespace quindorel {

class DesktopShortcuts;
class WaylandDesktop;

// The platform of the running program: a native desktop back end with Qt's
// timers, boxes and settings.
class DesktopPlatform : public Platform, private QAbstractNativeEventFilter {
public:
    explicit DesktopPlatform(std::unique_ptr<NativeDesktop> desktop);
    ~DesktopPlatform() override;

    NativeDesktop& desktop() override { return *desktop_; }
    QtSettingsStore& settings() override { return settings_; }
    std::unique_ptr<Clock> createClock() override;
    void setKeyActionHandler(std::function<void(KeyAction)> handler) override {
        keyActionHandler_ = std::move(handler);
    }
    void setStopKeyTakenHandler(std::function<void()> handler) override {
        stopKeyTakenHandler_ = std::move(handler);
    }
    // Says once, in a box, what cannot work on this desktop (keys, the window
    // list) and how to do better; nothing when the desktop works in full.
    void showStartUpNotice();
    // One line on what this desktop keeps out of reach though the rest
    // works (native Wayland windows where the compositor offers no way in);
    // empty when nothing is.
    const QString& desktopNote() const { return desktopNote_; }
    // Puts back the user's desktop settings that a run which ended without
    // its guard left changed. Once the copy knows it runs alone.
    void putBackWhatARunLeft();
    void setApplicationTitle(const QString& title) override { applicationTitle_ = title; }
    void messageBox(const QString& text, const QString& title, MessageIcon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Reads the Wayland desktop's connection whenever it has news.
    void pumpWayland(WaylandDesktop* wayland);
    // Hands the presses of a desktop's own stop key to the stop key's
    // handler.
    void hearShortcuts(DesktopShortcuts* shortcuts);

    std::unique_ptr<NativeDesktop> desktop_;
    QtSettingsStore settings_;
    std::function<void(KeyAction)> keyActionHandler_;
    std::function<void()> stopKeyTakenHandler_;
    QString applicationTitle_;
    QString startUpNotice_;
    QString desktopNote_;
    std::unique_ptr<QSocketNotifier> waylandPump_;
    std::unique_ptr<QSocketNotifier> swayPump_;
    friend std::unique_ptr<DesktopPlatform> createDesktopPlatform(KeyGuard keyGuard);
};

// On Windows a copy started as the key guard serves it and ends here; a
// no-op everywhere else. Call it first, before reading the arguments.
void serveKeyGuardIfAsked(int argc, char** argv);

// Starts the process that lets go of held keys should the program die during
// a hold: a fork on X11, this program started again on Windows. Call it first
// thing in main(), while the process has one thread; the guard itself never
// comes back from it. Not connected where there is nothing to guard or the
// guard cannot be started: the program then runs on without one.
KeyGuard startKeyGuard();

// Called before the QApplication is made. On a desktop that offers X11 (a
// DISPLAY, which Wayland sessions give to Xwayland) Qt is asked for its xcb
// platform, so that X11 windows can be listed and reached; a platform that
// the user chose in QT_QPA_PLATFORM is kept.
void preferX11Platform();

// The platform for the Qt platform plugin in use: X11 on xcb, Win32 on
// Windows, and a desktop that reaches nothing anywhere else.
// Hands the key guard started before to the back end that sends keys.
std::unique_ptr<DesktopPlatform> createDesktopPlatform(KeyGuard keyGuard = {});

}  // namespace quindorel
