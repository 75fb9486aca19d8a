#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"
#include "platform/Waiter.h"
#include "platform/wayland/NativeWindows.h"

namespace quindorel {

// The windows of KDE Plasma's KWin, which offers no protocol that lists
// them: a script of ours, loaded into KWin over D-Bus, tells the list each
// time it changes (a window comes, goes, is renamed, moved or activated),
// calling back on the session bus; short scripts activate a window, keep it
// above the others and move it. Plasma 5.27's script names and Plasma 6's.
// Nothing waits for KWin but the start, for the first list: scripts run one
// after the other, each a chain of calls whose answers come to the event
// loop, and `actsDone` says when the last has run.
class KwinWindows : public QObject, public NativeWindows {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quindorel.KWinWindows")
public:
    // The windows of the KWin on the session bus; null when there is none,
    // or it runs no script of ours.
    // The guard unloads this copy's scripts should the program be killed.
    static std::unique_ptr<KwinWindows> open(SystemLog log, std::unique_ptr<Waiter> waiter,
                                             KeyGuard guard);
    ~KwinWindows() override;

    std::vector<Window> list() override;
    bool activate(WindowId window) override;
    bool raise(WindowId window) override;
    void lower(WindowId window) override;
    std::optional<PointerSpot> pointerSpot(WindowId window) override;
    bool acting() const override { return !scripts_.empty(); }

public slots:
    // From our scripts in KWin: the windows, as JSON.
    Q_SCRIPTABLE void take(const QString& windows);
    // From an act's script: it ran (its token).
    Q_SCRIPTABLE void ran(const QString& token);

private:
    struct Entry {
        Window window;
        QString kwinId;
        qint32 x = 0, y = 0, width = 0, height = 0;
        int stack = 0;  // place in the stacking order, bottom first
    };
    // A script to run: the watcher (done when it tells the list) or an act
    // (done when it says it ran, with its token).
    struct Script {
        QString fileName;
        QString source;
        QString token;  // empty for the watcher
        // KWin's id of the window it activates: done once the list says so
        // (KWin may tell the list before the activation), or 200 ms after
        // it ran.
        QString activates;
    };
    KwinWindows(SystemLog log, std::unique_ptr<Waiter> waiter, KeyGuard guard);
    // KWin's name for the script of that file (KdeLeftovers.h).
    static QString scriptName(const QString& fileName);
    // Queues `script`, to run after those before it.
    void runScript(Script script);
    // The first script of the queue: written to its file in our folder,
    // loaded into KWin under its name and run.
    void startScript();
    void load();
    // Whether the first script has run: once, on the next try, or never.
    void checkRan(int afterMs, bool startAll);
    void tryAgain();
    // The first script is done with: unloaded but for the watcher, which
    // stays; the next one starts, or `actsDone` is called.
    void finishScript(bool ran);
    // The script's text into its file, for KWin to load.
    bool writeScript(const QString& path, const QString& source);
    // Runs `statement` with `w` the KWin window of `window`.
    bool actOn(WindowId window, const QString& statement, bool activates);
    // The first script ran: done, or once its window is active.
    void scriptRan();
    bool isActive(const QString& kwinId) const;
    // Whether a step's answer is for the try now under way.
    bool current(quint64 step) const { return step == step_; }

    SystemLog log_;
    std::unique_ptr<Waiter> waiter_;
    KeyGuard guard_;
    std::unique_ptr<QTemporaryDir> ownFolder_;  // where there is no runtime folder
    QString folder_;                            // where the scripts' files go
    QString watcher_;                           // the watcher's file name
    std::vector<Entry> entries_;
    QHash<QString, WindowId> ids_;  // KWin's window id -> ours, for the run
    WindowId nextId_ = -1;
    bool told_ = false;
    quint64 actions_ = 0;
    std::deque<Script> scripts_;  // the first one runs
    int attempt_ = 0;
    bool ran_ = false;  // the first script ran, and waits for its window to be active
    quint64 step_ = 0;  // a new try, or a script done, outdates the answers on their way
    QTimer* runTimer_ = nullptr;
};

}  // namespace quindorel
