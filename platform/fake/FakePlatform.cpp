#include "platform/fake/FakePlatform.h"

#include <QtGlobal>

namespace quindorel {

std::unique_ptr<Clock> FakePlatform::createClock() {
    auto clock = std::make_unique<FakeClock>();
    clocks.append(clock.get());
    return clock;
}

void FakePlatform::messageBox(const QString& text, const QString& title, MessageIcon icon) {
    messages.append({text, title.isEmpty() ? applicationTitle : title, icon});
}

std::optional<QString> FakePlatform::inputBox(const QString& prompt, const QString& title,
                                              const QString& defaultText) {
    prompts << (title.isEmpty() ? applicationTitle : title) + QLatin1Char('|') + prompt +
                   QLatin1Char('|') + defaultText;
    if (answers.empty()) {
        // A test that shows more boxes than it scripted would otherwise loop forever.
        qFatal("FakePlatform: input box \"%s\" shown with no scripted answer", qPrintable(prompt));
    }
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
}

QStringList FakePlatform::messageTexts() const {
    QStringList texts;
    for (const Message& message : messages) {
        texts << message.text;
    }
    return texts;
}

}  // namespace quindorel
