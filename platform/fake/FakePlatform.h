#pragma once

#include <QList>
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/Platform.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeSettingsStore.h"

namespace quindorel {

// The platform for tests: a recording desktop, an in-memory store, clocks that
// tick on demand, and boxes answered from a script.
class FakePlatform : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
    };

    FakeDesktop fakeDesktop;
    FakeSettingsStore store;
    QList<Message> messages;
    QStringList prompts;  // "title|prompt|default" of every input box shown
    // Answers for the input boxes, in order; std::nullopt stands for Cancel.
    std::deque<std::optional<QString>> answers;
    QList<FakeClock*> clocks;  // in order of creation; owned by their users
    QString applicationTitle;

    NativeDesktop& desktop() override { return fakeDesktop; }
    SettingsStore& settings() override { return store; }
    std::unique_ptr<Clock> createClock() override;
    void setKeyActionHandler(std::function<void(KeyAction)> handler) override {
        keyActionHandler_ = std::move(handler);
    }
    void setStopKeyTakenHandler(std::function<void()> handler) override {
        stopKeyTakenHandler_ = std::move(handler);
    }
    void setApplicationTitle(const QString& title) override { applicationTitle = title; }
    void messageBox(const QString& text, const QString& title, MessageIcon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    // Queues answers for the input boxes; "<cancel>" stands for Cancel.
    void answerWith(const QStringList& texts) {
        for (const QString& text : texts) {
            answers.push_back(text == QLatin1String("<cancel>") ? std::nullopt
                                                                : std::optional<QString>(text));
        }
    }

    // Delivers one press of an action's key, as the system would.
    void pressKey(KeyAction action) { keyActionHandler_(action); }
    void pressStopKey() { pressKey(KeyAction::StopHold); }
    // The desktop's later answer that another program has the stop key.
    void stopKeyTakenLater() { stopKeyTakenHandler_(); }

    // Texts of all message boxes shown so far.
    QStringList messageTexts() const;

private:
    std::function<void(KeyAction)> keyActionHandler_;
    std::function<void()> stopKeyTakenHandler_;
};

}  // namespace quindorel
