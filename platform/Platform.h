#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "common/ReportDisplay.h"
#include "platform/Clock.h"
#include "platform/NativeDesktop.h"
#include "settings/SettingsStore.h"

namespace quindorel {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

// Everything the program asks of the system, passed in through constructors:
// the desktop, the settings store, clocks, and the modal boxes.
class Platform : public ReportDisplay {
public:
    virtual NativeDesktop& desktop() = 0;
    virtual SettingsStore& settings() = 0;
    virtual std::unique_ptr<Clock> createClock() = 0;

    // Each press of a key action's key, once set up, reaches this handler.
    virtual void setKeyActionHandler(std::function<void(KeyAction)> handler) = 0;
    // A desktop that answers later (KDE's shortcut service) may find, after
    // the set-up said yes, that another program has the key: this handler
    // hears it.
    virtual void setStopKeyTakenHandler(std::function<void()> /*handler*/) {}

    // The default title of message and input boxes that name none.
    virtual void setApplicationTitle(const QString& title) = 0;

    // A modal box with an OK button. An empty title means the application title.
    virtual void messageBox(const QString& text, const QString& title, MessageIcon icon) = 0;
    // A modal input box; returns the typed text, or nothing when the box is
    // cancelled or closed. An empty title means the application title.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;

    // The error trap's reports are message boxes with the warning icon.
    void showReport(const QString& text, const QString& title) override {
        messageBox(text, title, MessageIcon::Exclamation);
    }
};

}  // namespace quindorel
