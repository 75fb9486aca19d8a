#include "settings/QtSettingsStore.h"

#include "QuindorelConfig.h"

#include <QDir>
#include <QEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
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

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& configDirectory)
    : configDirectory_(configDirectory) {}

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
    for (auto& [name, settings] : open_) {
        settings->sync();
        if (settings->status() != QSettings::NoError) {
            qCWarning(lcSettings, "Quindorel: could not save the settings to %s",
                      qPrintable(settings->fileName()));
        }
    }
}

}  // namespace quindorel
