#include "platform/kde/KwinWindows.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

#include "platform/WindowTitle.h"
#include "platform/kde/KdeLeftovers.h"

namespace quindorel {

namespace {

const QString kKwin = QStringLiteral("org.kde.KWin");
const QString kObjectPath = QStringLiteral("/Quindorel/KWinWindows");

// What both script kinds share: Plasma 5.27's names and Plasma 6's, and the
// list as this program reads it.
const char kCommon[] = R"JS(
const ws = workspace;
function all() { return ws.windowList ? ws.windowList() : ws.clientList(); }
function active() { return ws.activeWindow !== undefined ? ws.activeWindow : ws.activeClient; }
function listed(w) { return w.normalWindow || w.dialog; }
// Plasma 5 numbers each window's place in the stack, Plasma 6 lists the stack.
function place(w) { return typeof w.stackingOrder === "number" ? w.stackingOrder : ws.stackingOrder.indexOf(w); }
function tell() {
    const out = [];
    for (const w of all()) {
        if (!listed(w)) continue;
        const g = w.frameGeometry;
        // An X11 window's id; 0 for KWin's own clients; unknown without the property.
        out.push({id: String(w.internalId), title: String(w.caption), pid: w.pid,
                  x11: typeof w.windowId === "number" ? w.windowId : -1,
                  active: w === active(), minimized: w.minimized,
                  x: g.x, y: g.y, width: g.width, height: g.height, stack: place(w)});
    }
    callDBus("%1", "%2", "org.quindorel.KWinWindows", "take", JSON.stringify(out));
}
)JS";

// Watches the windows for as long as the program runs.
const char kWatch[] = R"JS(
function watch(w) {
    for (const s of [w.captionChanged, w.minimizedChanged, w.frameGeometryChanged]) {
        if (s) s.connect(tell);
    }
}
all().forEach(watch);
for (const s of [ws.windowAdded, ws.clientAdded]) { if (s) s.connect(function (w) { watch(w); tell(); }); }
for (const s of [ws.windowRemoved, ws.clientRemoved, ws.windowActivated, ws.clientActivated,
                 ws.stackingOrderChanged]) {
    if (s) s.connect(tell);
}
tell();
)JS";

// One act on one window, then the list as it now is, then word that this
// very script ran.
const char kAct[] = R"JS(
for (const w of all()) {
    if (String(w.internalId) === "%3") { %4; }
}
tell();
callDBus("%1", "%2", "org.quindorel.KWinWindows", "ran", "%5");
)JS";

QString scriptOf(const char* body, const QString& kwinId = {}, const QString& statement = {},
                 const QString& token = {}) {
    QString source = QString::fromLatin1(kCommon) + QString::fromLatin1(body);
    source.replace(QLatin1String("%1"), QDBusConnection::sessionBus().baseService());
    source.replace(QLatin1String("%2"), kObjectPath);
    source.replace(QLatin1String("%3"), kwinId);
    source.replace(QLatin1String("%4"), statement);
    source.replace(QLatin1String("%5"), token);
    return source;
}

}  // namespace

std::unique_ptr<KwinWindows> KwinWindows::open(SystemLog log, std::unique_ptr<Waiter> waiter,
                                               KeyGuard guard) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(kKwin).value()) {
        return nullptr;
    }
    std::unique_ptr<KwinWindows> windows(new KwinWindows(log, std::move(waiter), std::move(guard)));
    if (windows->folder_.isEmpty() ||
        !bus.registerObject(kObjectPath, windows.get(), QDBusConnection::ExportScriptableSlots)) {
        log.write(LogTopic::Wayland, LogLevel::Warning,
                  "cannot take KWin's answers on the session bus");
        return nullptr;
    }
    // Scripts that copies killed with their guard left behind; never those
    // of a copy that still runs.
    forgetKwinScripts(windows->folder_, processGone);
    // The first list comes at once from a script that runs, and the start
    // waits for it, before the window shows: a list to choose from. Should
    // the program be killed from here on, the guard unloads it.
    KwinWindows* self = windows.get();
    windows->guard_.tell({{kKwinScripts, true}});
    windows->runScript({windows->watcher_, scriptOf(kWatch), {}, {}});
    windows->waiter_->waitUntil([self] { return !self->acting(); },
                                std::chrono::milliseconds(3000));
    if (!windows->told_) {
        log.write(LogTopic::Wayland, LogLevel::Warning, "KWin's script told no windows");
        return nullptr;
    }
    return windows;
}

KwinWindows::KwinWindows(SystemLog log, std::unique_ptr<Waiter> waiter, KeyGuard guard)
    : log_(std::move(log)),
      waiter_(std::move(waiter)),
      guard_(std::move(guard)),
      watcher_(kwinScriptFileName(QStringLiteral("windows"), getpid())),
      runTimer_(new QTimer(this)) {
    runTimer_->setSingleShot(true);
    // The user's runtime folder, where the next copy finds what a killed one
    // left; a folder of our own for the run where there is none.
    const QString shared = kwinScriptFolder();
    if (!shared.isEmpty() && QDir().mkpath(shared) &&
        QFile::setPermissions(
            shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        folder_ = shared;
    } else if (ownFolder_ = std::make_unique<QTemporaryDir>(); ownFolder_->isValid()) {
        folder_ = ownFolder_->path();
    }
}

KwinWindows::~KwinWindows() {
    // Acts still on their way, as any leftover, by name.
    for (const Script& script : scripts_) {
        if (!script.token.isEmpty()) {
            unloadKwinScript(scriptName(script.fileName));
            QFile::remove(QDir(folder_).filePath(script.fileName));
        }
    }
    if (!folder_.isEmpty()) {
        unloadKwinScript(scriptName(watcher_));
        QFile::remove(QDir(folder_).filePath(watcher_));
        guard_.tell({{kKwinScripts, false}});
    }
    QDBusConnection::sessionBus().unregisterObject(kObjectPath);
}

QString KwinWindows::scriptName(const QString& fileName) {
    const auto script = kwinScriptFile(fileName);
    return script ? script->scriptName : QString();
}

bool KwinWindows::writeScript(const QString& path, const QString& source) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(source.toUtf8()) < 0 ||
        !file.flush()) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "cannot write KWin's script " + path.toStdString());
        return false;
    }
    return true;
}

void KwinWindows::runScript(Script script) {
    scripts_.push_back(std::move(script));
    if (scripts_.size() == 1) {
        startScript();
    }
}

void KwinWindows::startScript() {
    attempt_ = 0;
    ran_ = false;
    const Script& script = scripts_.front();
    if (!writeScript(QDir(folder_).filePath(script.fileName), script.source)) {
        finishScript(false);
        return;
    }
    load();
}

void KwinWindows::load() {
    const quint64 step = ++step_;
    const Script& script = scripts_.front();
    const QString path = QDir(folder_).filePath(script.fileName);
    callKdeLater(
        kKwin, QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
        QStringLiteral("loadScript"), {path, scriptName(script.fileName)}, this,
        [this, step](const QDBusMessage& loaded) {
            if (!current(step)) {
                return;
            }
            const int id = loaded.arguments().value(0, -1).toInt();
            if (loaded.type() != QDBusMessage::ReplyMessage || id < 0) {
                log_.write(LogTopic::Wayland, LogLevel::Warning,
                           "KWin did not load our script: " + loaded.errorMessage().toStdString());
                tryAgain();
                return;
            }
            // Plasma 5 names a loaded script by its number, Plasma 6
            // under /Scripting: the one that is not there answers an
            // error. KWin numbers a script by how many it holds, so
            // after one in the middle has gone a new one may share
            // its number with a running one, and that name runs the
            // other: then `start` (checkRan), which runs every loaded
            // script not yet running, ours among them.
            for (const QString& scriptPath :
                 {QStringLiteral("/%1").arg(id), QStringLiteral("/Scripting/Script%1").arg(id)}) {
                callKdeLater(kKwin, scriptPath, QStringLiteral("org.kde.kwin.Script"),
                             QStringLiteral("run"), {}, this);
            }
            // Its word comes as a D-Bus call to us (ran, take).
            checkRan(200, true);
        });
}

void KwinWindows::checkRan(int afterMs, bool startAll) {
    const quint64 step = step_;
    runTimer_->disconnect();
    connect(runTimer_, &QTimer::timeout, this, [this, step, startAll] {
        if (!current(step)) {
            return;
        }
        if (startAll) {
            callKdeLater(kKwin, QStringLiteral("/Scripting"),
                         QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("start"), {},
                         this);
            checkRan(500, false);
        } else {
            tryAgain();
        }
    });
    runTimer_->start(afterMs);
}

void KwinWindows::tryAgain() {
    // Whether the script ran is known only from its word back; a script KWin
    // let go of keeps its number on the bus a moment longer. Hence a second
    // and a third try, each once KWin has let go of the last.
    const QString name = scriptName(scripts_.front().fileName);
    if (++attempt_ >= 3) {
        log_.write(LogTopic::Wayland, LogLevel::Warning, "KWin did not run our script");
        unloadKwinScriptLater(name, this);
        finishScript(false);
        return;
    }
    const quint64 step = ++step_;
    unloadKwinScriptLater(name, this, [this, step] {
        if (current(step)) {
            load();
        }
    });
}

void KwinWindows::finishScript(bool ran) {
    ++step_;
    runTimer_->stop();
    const Script script = std::move(scripts_.front());
    scripts_.pop_front();
    if (!script.token.isEmpty() || !ran) {
        if (ran) {
            callKdeLater(kKwin, QStringLiteral("/Scripting"),
                         QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"),
                         {scriptName(script.fileName)}, this);
        }
        QFile::remove(QDir(folder_).filePath(script.fileName));
    }
    if (!scripts_.empty()) {
        startScript();
    } else if (actsDone) {
        actsDone();
    }
}

void KwinWindows::ran(const QString& token) {
    if (!scripts_.empty() && !token.isEmpty() && scripts_.front().token == token && !ran_) {
        scriptRan();
    }
}

void KwinWindows::scriptRan() {
    const QString& activates = scripts_.front().activates;
    if (activates.isEmpty() || isActive(activates)) {
        finishScript(true);
        return;
    }
    ran_ = true;
    ++step_;  // no more tries: the list decides now, or the time
    runTimer_->disconnect();
    connect(runTimer_, &QTimer::timeout, this, [this] {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "KWin did not activate the window in 200 ms");
        finishScript(true);
    });
    runTimer_->start(200);
}

bool KwinWindows::isActive(const QString& kwinId) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.kwinId == kwinId && entry.window.active;
    });
}

void KwinWindows::take(const QString& windows) {
    const QJsonArray listed = QJsonDocument::fromJson(windows.toUtf8()).array();
    std::vector<Entry> entries;
    for (const QJsonValue& value : listed) {
        const QJsonObject w = value.toObject();
        Entry entry;
        entry.kwinId = w.value(QLatin1String("id")).toString();
        if (entry.kwinId.isEmpty()) {
            continue;
        }
        auto known = ids_.find(entry.kwinId);
        if (known == ids_.end()) {
            known = ids_.insert(entry.kwinId, nextId_);
            // Down to the lowest id, then round again: a run does not see 2^31 windows.
            // kWindowInFront is left out: it stands for no one window.
            nextId_ = nextId_ == kWindowInFront + 1 ? -1 : nextId_ - 1;
        }
        entry.window.id = *known;
        entry.window.title = cutTitle(w.value(QLatin1String("title")).toString().toStdString());
        entry.window.active = w.value(QLatin1String("active")).toBool();
        entry.window.minimized = w.value(QLatin1String("minimized")).toBool();
        entry.window.own = w.value(QLatin1String("pid")).toInt() == getpid();
        if (const double x11 = w.value(QLatin1String("x11")).toDouble(-1); x11 == 0) {
            entry.window.kind = WindowKind::Native;
        } else if (x11 > 0 && x11 <= INT32_MAX) {
            entry.window.kind = WindowKind::Xwayland;
            entry.window.x11Window = static_cast<WindowId>(x11);
        }
        entry.x = w.value(QLatin1String("x")).toInt();
        entry.y = w.value(QLatin1String("y")).toInt();
        entry.width = w.value(QLatin1String("width")).toInt();
        entry.height = w.value(QLatin1String("height")).toInt();
        entry.stack = w.value(QLatin1String("stack")).toInt();
        entries.push_back(std::move(entry));
    }
    entries_ = std::move(entries);
    // A closed window's KWin id never comes back: its entry goes.
    QHash<QString, WindowId> current;
    for (const Entry& entry : entries_) {
        current.insert(entry.kwinId, entry.window.id);
    }
    ids_ = std::move(current);
    told_ = true;
    if (!scripts_.empty() && scripts_.front().token.isEmpty()) {
        finishScript(true);  // the watcher runs
    } else if (ran_ && isActive(scripts_.front().activates)) {
        finishScript(true);
    }
}

std::vector<NativeWindows::Window> KwinWindows::list() {
    std::vector<Window> windows;
    for (const Entry& entry : entries_) {
        windows.push_back(entry.window);
    }
    return windows;
}

bool KwinWindows::actOn(WindowId window, const QString& statement, bool activates) {
    for (const Entry& entry : entries_) {
        if (entry.window.id == window) {
            const QString token = QString::number(++actions_);
            runScript({kwinScriptFileName(QStringLiteral("action"), getpid(), token),
                       scriptOf(kAct, entry.kwinId, statement, token), token,
                       activates ? entry.kwinId : QString()});
            return true;
        }
    }
    return false;
}

namespace {

const char kActivate[] =
    "if (ws.activeWindow !== undefined) ws.activeWindow = w; "
    "else ws.activeClient = w";

}  // namespace

bool KwinWindows::activate(WindowId window) {
    return actOn(window, QString::fromLatin1(kActivate), true);
}

bool KwinWindows::raise(WindowId window) {
    return actOn(window, QString::fromLatin1(kActivate) + QStringLiteral("; w.keepAbove = true"),
                 true);
}

void KwinWindows::lower(WindowId window) {
    actOn(window,
          QStringLiteral("w.keepAbove = false; w.frameGeometry = {x: 0, y: 0, "
                         "width: w.frameGeometry.width, height: w.frameGeometry.height}"),
          false);
}

std::optional<PointerSpot> KwinWindows::pointerSpot(WindowId window) {
    std::vector<StackedRect> stacked;
    std::optional<std::size_t> target;
    std::vector<Entry> byStack = entries_;
    std::sort(byStack.begin(), byStack.end(),
              [](const Entry& a, const Entry& b) { return a.stack < b.stack; });
    for (const Entry& entry : byStack) {
        if (entry.window.minimized) {
            continue;
        }
        if (entry.window.id == window) {
            target = stacked.size();
        }
        stacked.push_back({entry.x, entry.y, entry.width, entry.height, entry.window.own});
    }
    if (!target) {
        return std::nullopt;
    }
    const auto point = visiblePointNearMiddle(stacked, *target);
    if (!point) {
        return std::nullopt;
    }
    // Fake input's pointer takes the desktop's own coordinates.
    return PointerSpot{static_cast<std::uint32_t>(point->first),
                       static_cast<std::uint32_t>(point->second), 0, 0};
}

}  // namespace quindorel
