#pragma once

#include <QAbstractNativeEventFilter>
#include <memory>

#include "platform/Platform.h"
#include "settings/QtSettingsStore.h"

namespace quindorel {

// The platform of the running program: a native desktop back end with Qt's
// timers, boxes and settings.
class DesktopPlatform : public Platform, private QAbstractNativeEventFilter {
public:
    explicit DesktopPlatform(std::unique_ptr<NativeDesktop> desktop);
    ~DesktopPlatform() override;

    NativeDesktop& desktop() override { return *desktop_; }
    SettingsStore& settings() override { return settings_; }
    std::unique_ptr<Clock> createClock() override;
    void setHotKeyHandler(std::function<void(std::int32_t)> handler) override;
    void setApplicationTitle(const QString& title) override { applicationTitle_ = title; }
    void messageBox(const QString& text, const QString& title, MessageIcon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    std::unique_ptr<NativeDesktop> desktop_;
    QtSettingsStore settings_;
    std::function<void(std::int32_t)> hotKeyHandler_;
    QString applicationTitle_;
};

// Starts the process that lets go of held keys should the program die during
// a hold, where the desktop needs one (X11). Call it first thing in main(),
// while the process has one thread. Returns a socket to it, or -1.
int startKeyGuard();

// The platform for the Qt platform plugin in use (xcb today, windows later),
// told about the key guard started before.
std::unique_ptr<Platform> createDesktopPlatform(int keyGuard = -1);

}  // namespace quindorel
