#include "settings/QtSettingsStore.h"

#include "QuindorelConfig.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <functional>
#include <memory>

#include "settings/SettingsLog.h"

namespace quindorel {

namespace {

#if QUINDOREL_WINDOWS
constexpr bool kRegistry = true;
#else
constexpr bool kRegistry = false;
#endif

// QSettings asks itself to write with an UpdateRequest event; held, the
// request is dropped and sync() writes everything.
class WriteHold : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::UpdateRequest;
    }
};

// Runs `before` as QSettings is about to write, letting the write go on.
class BeforeWrite : public QObject {
public:
    explicit BeforeWrite(std::function<void()> before) : before_(std::move(before)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest) {
            before_();
        }
        return false;
    }

private:
    std::function<void()> before_;
};

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadUser | QFileDevice::WriteUser;

// The file holds the portal's token, which lets its holder drive the
// keyboard and pointer without asking: only the user may read it. Qt writes
// the file anew beside the old one and gives the new one the old one's mode,
// so a file that has the user's bits alone keeps them; a missing one is
// created empty with them first, as Qt would create it readable by all under
// the usual umask. Only the mode changes here, never the contents.
void makeOwnerOnly(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        // NewOnly: another copy may have created it meanwhile.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly)) {
            return;
        }
    }
    if (file.permissions() != kOwnerOnly && !file.setPermissions(kOwnerOnly)) {
        qCWarning(lcSettings, "Quindorel: could not make %s readable by its owner alone: %s",
                  qPrintable(path), qPrintable(file.errorString()));
    }
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& configDirectory)
    : configDirectory_(configDirectory),
      beforeWrite_(std::make_unique<BeforeWrite>([this] { prepareFiles(); })) {}

void QtSettingsStore::prepareFiles() {
    // The registry key and a Windows profile folder are the user's already.
    if (kRegistry) {
        return;
    }
    for (auto& [path, prepared] : files_) {
        if (!prepared) {
            makeOwnerOnly(path);
            prepared = true;
        }
    }
}

QString QtSettingsStore::location(const QString& application) const {
    if (kRegistry && configDirectory_.isEmpty()) {
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application;
    }
    const QString folder =
        configDirectory_.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : configDirectory_;
    return QDir(folder).filePath(application + QStringLiteral(".conf"));
}

QtSettingsStore::~QtSettingsStore() {
    flush();
}

QSettings& QtSettingsStore::open(const QString& application, const QString& section) {
    std::unique_ptr<QSettings>& settings = open_[application + QLatin1Char('/') + section];
    if (!settings) {
        if (kRegistry && configDirectory_.isEmpty()) {
            settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") +
                                                       application + QLatin1Char('\\') + section,
                                                   QSettings::NativeFormat);
        } else {
            settings = std::make_unique<QSettings>(location(application), QSettings::IniFormat);
            settings->beginGroup(section);
        }
        // Installed first, so that a held write is swallowed before it.
        settings->installEventFilter(beforeWrite_.get());
        if (writeHold_) {
            settings->installEventFilter(writeHold_.get());
        }
    }
    return *settings;
}

QString QtSettingsStore::getSetting(const QString& application, const QString& section,
                                    const QString& key, const QString& defaultValue) {
    const QVariant value = open(application, section).value(key);
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited INI line with unquoted commas reads back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

void QtSettingsStore::saveSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& value) {
    files_.try_emplace(location(application), false);
    open(application, section).setValue(key, value);
}

void QtSettingsStore::holdWritesUntilFlush() {
    writeHold_ = std::make_unique<WriteHold>();
    for (auto& [name, settings] : open_) {
        settings->installEventFilter(writeHold_.get());
    }
}

void QtSettingsStore::flush() {
    writeHold_.reset();  // also leaves every section's filters
    prepareFiles();
    for (auto& [name, settings] : open_) {
        settings->sync();
        if (settings->status() != QSettings::NoError) {
            qCWarning(lcSettings, "Quindorel: could not save the settings to %s",
                      qPrintable(settings->fileName()));
        }
    }
}

}  // namespace quindorel
