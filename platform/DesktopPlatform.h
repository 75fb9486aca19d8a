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
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    std::unique_ptr<NativeDesktop> desktop_;
    QtSettingsStore settings_;
    std::function<void(std::int32_t)> hotKeyHandler_;
    QString applicationTitle_;
};

// The platform for the Qt platform plugin in use (xcb today, windows later).
std::unique_ptr<Platform> createDesktopPlatform();

}  // namespace quindorel
