#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "command/CommandWords.h"
#include "hold/HoldModel.h"

namespace quindorel {

// The running copy's side of the command line: what each verb does to the
// model, and the reply line "<exit status> <text>" the command prints.
class CommandAnswers {
public:
    // `inFront` says which window has the keyboard when a command arrives;
    // `show` brings the program's window to the front. The one listener of
    // the model's permission outcomes.
    CommandAnswers(HoldModel& model, std::function<WindowId()> inFront, std::function<void()> show);

    // `reply` gets the reply line: at once, or, for a start that waits for
    // the desktop's permission, once the user has answered its dialog.
    // `inFront`, when given, stands for the constructor's.
    using Reply = std::function<void(const QByteArray&)>;
    void answer(const command::Request& request, Reply reply,
                std::function<WindowId()> inFront = {});
    // What this desktop cannot reach, said after the state by --status.
    void setDesktopNote(QString note) { desktopNote_ = std::move(note); }

    // One line for --status: "idle", "waiting 3", "holding forever: a, Left
    // Shift into "Game"" or "holding 4: ...".
    static QString statusLine(const HoldEngine::Status& status, const QString& windowTitle);

private:
    QString nowLine() const;    // what the hold is doing now, as statusLine words it
    QByteArray status() const;  // its exit status tells idle, waiting and holding apart
    QByteArray started(HoldModel::CommandResult result) const;
    QByteArray chooseToggleKey(const QString& name);
    // Answers a start, or keeps its reply until the permission is settled.
    void start(HoldModel::CommandResult result, Reply reply);
    void permissionSettled();

    HoldModel& model_;
    std::function<WindowId()> inFront_;
    std::function<void()> show_;
    QString desktopNote_;
    bool askedUser_ = false;      // a start kept in waiting_ opened the desktop's dialog
    std::vector<Reply> waiting_;  // starts waiting for the desktop
};

}  // namespace quindorel
