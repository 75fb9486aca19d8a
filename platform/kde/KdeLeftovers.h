#pragma once

// What a copy leaves in KDE while it runs: its KWin scripts (the window
// watcher, short acts) and the stop key's global shortcut, active. The
// ordinary end takes both back; when the program is killed the key guard
// does (its notes below), and what neither could is found by the next copy:
// each copy's scripts carry its process id, so that a copy only ever takes
// back its own, or those of copies no longer alive.

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"

namespace quindorel {

// The key guard's notes of the KDE part, apart from WaylandKeyGuard.h's.
// Down while this copy may have scripts loaded in KWin.
inline constexpr SystemKey kKwinScripts = 0x50000;
// Down while the stop key's shortcut is active.
inline constexpr SystemKey kKdeShortcuts = 0x50001;

// A call to a KDE service on the session bus, waited for at most 2 s.
QDBusMessage callKde(const QString& service, const QString& path, const QString& interface,
                     const QString& method, const QVariantList& arguments);

// The same call without waiting: `answered` (may be empty) gets the reply,
// or the error after 2 s, from the event loop, unless `context` has gone.
void callKdeLater(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments, QObject* context,
                  std::function<void(const QDBusMessage&)> answered = {});

// KGlobalAccel's names for a key action: component (the program's desktop
// entry, so that System Settings shows its name and icon), action, and what
// a user reads of both.
QStringList kdeShortcutAction(KeyAction action = KeyAction::StopHold);

// The same without waiting; `gone` (may be empty) is called once KWin no
// longer holds the name (it lets a script go a moment after it is told, and
// loads no second one of a name), or after a second at most.
void unloadKwinScriptLater(const QString& name, QObject* context, std::function<void()> gone = {});

// The folder, private to the user, where copies keep their scripts' files:
// in the runtime folder; empty when there is none.
QString kwinScriptFolder();

// A script's file is named "<kind>-<pid>[-<n>].js", and KWin knows it as
// "quindorel-<kind>-<pid>[-<n>]": what the file name says, or nothing for a
// file that is not one of ours.
struct KwinScriptFile {
    QString scriptName;
    qint64 pid = 0;
};
std::optional<KwinScriptFile> kwinScriptFile(const QString& fileName);
// The file name of a script of copy `pid`: kind "windows" or "action".
QString kwinScriptFileName(const QString& kind, qint64 pid, const QString& number = {});

// Unloads a script from KWin by its name; KWin takes no notice of a name it
// does not hold.
void unloadKwinScript(const QString& name);
// Unloads from KWin each script of `folder` whose copy `gone` says has
// ended, and removes its file. Blocking D-Bus calls, each bounded.
void forgetKwinScripts(const QString& folder, const std::function<bool(qint64 pid)>& gone);
// Whether no process `pid` runs.
bool processGone(qint64 pid);

// Sets the key actions' shortcuts inactive: ours again next run, and
// nothing presses them meanwhile.
void setKdeShortcutsInactive();

// The guard's part: takes back what the notes of `owed` say copy `pid` left
// in KDE. Works without a Qt application object (the guard has none).
void letGoOnKde(const std::vector<GuardNote>& owed, qint64 pid);

}  // namespace quindorel
