#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "command/CommandWords.h"
#include "hold/HoldModel.h"

namespace quindorel {

// The running copy's side of the command line: what each verb does to the
// model, and the reply line "<exit status> <text>" the command prints.
class CommandAnswers {
public:
    // `inFront` says which window has the keyboard when a command arrives;
    // `show` brings the program's window to the front.
    CommandAnswers(HoldModel& model, std::function<WindowId()> inFront, std::function<void()> show)
        : model_(model), inFront_(std::move(inFront)), show_(std::move(show)) {}

    QByteArray answer(command::Verb verb);
    // What this desktop cannot reach, said after the state by --status.
    void setDesktopNote(QString note) { desktopNote_ = std::move(note); }

    // One line for --status: "idle", "waiting 3", "holding forever: a, Left
    // Shift into "Game"" or "holding 4: ...".
    static QString statusLine(const HoldEngine::Status& status, const QString& windowTitle);

private:
    QString nowLine() const;    // what the hold is doing now, as statusLine words it
    QByteArray status() const;  // its exit status tells idle, waiting and holding apart
    QByteArray started(HoldModel::CommandResult result) const;

    HoldModel& model_;
    std::function<WindowId()> inFront_;
    std::function<void()> show_;
    QString desktopNote_;
};

}  // namespace quindorel
