#pragma once

#include <QString>
#include <QStringList>

namespace quindorel {

class ErrorTrap;
class UserChoices;
class Platform;
class ClockCounter;

// The two numbers the clocks compare with: the hold length chosen in the
// "Hold for..." list and the waiting time typed into the seconds field.
class Durations {
public:
    static const QString kCustomRow;  // "X seconds"
    static const QStringList kRows;   // the rows of "Hold for...", in order

    Durations(Platform& platform, ClockCounter& counter, UserChoices& choices);

    // The hold length of the selected row, by its place in the list; throws
    // when no row is selected.
    std::int32_t selectedHoldSeconds() const;
    // The waiting time the wait clock compares its count with: the typed
    // text as a number, 0 when it is none; throws when it is out of range.
    std::int32_t waitSeconds() const;
    // Whether the selected row is "X seconds" (throws when none is selected).
    bool customRowSelected() const;

    // Asks for the custom length until a number of seconds from 1 up is
    // typed (stored rounded) or the question is dismissed; an answer of 0,
    // below 0 or not a number is explained and asked again. The lines name
    // the caller's statements for the prompt, the test of the answer and the
    // conversion; a conversion error (overflow) goes to the caller's trap and
    // keeps the previous value. Returns whether a length from 1 up is in force.
    bool askCustomSeconds(ErrorTrap& trap, int promptLine, int testLine, int storeLine);

    // A click in the "Hold for..." list.
    void holdListClicked();
    // Every change of the waiting-time text.
    void waitTextChanged(const QString& text);
    // Leaving the waiting-time field: the warning to show, or empty.
    static QString waitTextWarning(const QString& text);
    // "Help".
    void showHelp();

private:
    Platform& platform_;
    ClockCounter& counter_;
    UserChoices& choices_;
};

}  // namespace quindorel
