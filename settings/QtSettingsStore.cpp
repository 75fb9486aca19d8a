#include "settings/QtSettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <memory>

namespace quindorel {

namespace {

#ifdef Q_OS_WIN
constexpr bool kRegistry = true;
#else
constexpr bool kRegistry = false;
#endif

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& configDirectory)
    : configDirectory_(configDirectory) {}

QString QtSettingsStore::location(const QString& application) const {
    if (kRegistry && configDirectory_.isEmpty()) {
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application;
    }
    const QString folder = configDirectory_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                               : configDirectory_;
    return QDir(folder).filePath(application + QStringLiteral(".conf"));
}

namespace {

std::unique_ptr<QSettings> open(const QtSettingsStore& store, const QString& application,
                                const QString& section, bool registry) {
    if (registry) {
        return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") +
                                               application + QLatin1Char('\\') + section,
                                           QSettings::NativeFormat);
    }
    auto settings = std::make_unique<QSettings>(store.location(application), QSettings::IniFormat);
    settings->beginGroup(section);
    return settings;
}

}  // namespace

QString QtSettingsStore::getSetting(const QString& application, const QString& section,
                                    const QString& key, const QString& defaultValue) {
    const auto settings = open(*this, application, section, kRegistry && configDirectory_.isEmpty());
    const QVariant value = settings->value(key);
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
    const auto settings = open(*this, application, section, kRegistry && configDirectory_.isEmpty());
    settings->setValue(key, value);
    settings->sync();  // written now, not at exit: the program may be ended any time
    if (settings->status() != QSettings::NoError) {
        qWarning("Quindorel: could not save the setting %s to %s", qPrintable(key),
                 qPrintable(location(application)));
    }
}

}  // namespace quindorel
