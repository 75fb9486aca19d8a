#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
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
    KwinWindows(SystemLog log, std::unique_ptr<Waiter> waiter, KeyGuard guard);
    // KWin's name for the script of that file (KdeLeftovers.h).
    static QString scriptName(const QString& fileName);
    // Writes `source` to `fileName` in our folder, loads it into KWin under
    // the script's name and runs it, until `ran` says it did; the script
    // stays unless `unload`.
    bool runScript(const QString& fileName, const QString& source, bool unload,
                   const std::function<bool()>& ran);
    // The script's text into its file, for KWin to load.
    bool writeScript(const QString& path, const QString& source);
    // Unloads our script of that name, if KWin has one.
    void forget(const QString& name);
    // Runs `statement` with `w` the KWin window of `window`.
    bool actOn(WindowId window, const QString& statement);

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
    QString ranToken_;
    quint64 actions_ = 0;
};

}  // namespace quindorel
