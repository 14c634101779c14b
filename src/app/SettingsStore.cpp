// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

#include <cerrno>

#include <limits>
#include <optional>

namespace {

// Far more than the four short values can ever take: anything larger was not written by us.
constexpr qint64 kLargestStore = 1 << 20;

QString address(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

// The store's file when it may be read and written: a regular file of a sane size, or none
// yet. A link is followed to the file it names, so that the link stays. Anything else (a
// pipe, which would block the read for ever, a device, a folder, a link that leads
// nowhere) reads as the defaults and is never written, so that it is never replaced.
std::optional<QString> usableFile() {
    const QString path = SettingsStore::filePath();
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || st.st_size > kLargestStore) {
            return std::nullopt;
        }
        return QFileInfo(path).canonicalFilePath();
    }
    if (errno == ENOENT && ::lstat(name.constData(), &st) != 0) {
        return path;  // not there yet; a dangling link is not followed into a new file
    }
    return std::nullopt;
}

}  // namespace

namespace SettingsStore {

QString read(const QString& section, const QString& key, const QString& defaultValue) {
    const std::optional<QString> file = usableFile();
    if (!file) {
        return defaultValue;
    }
    // Opened afresh for every read, so what another instance wrote meanwhile is seen.
    const QSettings store(*file, QSettings::IniFormat);
    const QVariant value = store.value(address(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void write(const QString& section, const QString& key, const QString& value) {
    const std::optional<QString> file = usableFile();
    if (!file) {
        return;
    }
    QSettings store(*file, QSettings::IniFormat);
    store.setValue(address(section, key), value);
    store.sync();
}

QString filePath() {
    return UserFolders::configHome() + QStringLiteral("/quindo/quindo.ini");
}

}  // namespace SettingsStore

namespace UserFolders {

namespace {

bool relative(const char* variable) {
    return !qEnvironmentVariableIsEmpty(variable) &&
           !QDir::isAbsolutePath(qEnvironmentVariable(variable));
}

// Qt's answer for the location, unless the variable behind it is relative.
QString location(const char* variable, QStandardPaths::StandardLocation type,
                 const QString& underHome) {
    if (relative(variable)) {
        return QDir::homePath() + underHome;
    }
    return QStandardPaths::writableLocation(type);
}

}  // namespace

QString configHome() {
    return location("XDG_CONFIG_HOME", QStandardPaths::GenericConfigLocation,
                    QStringLiteral("/.config"));
}

QString dataHome() {
    return location("XDG_DATA_HOME", QStandardPaths::GenericDataLocation,
                    QStringLiteral("/.local/share"));
}

void ignoreRelative() {
    for (const char* variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        if (relative(variable)) {
            qunsetenv(variable);
        }
    }
}

}  // namespace UserFolders

namespace RunCounter {

qint16 parse(const QString& stored) {
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max()) {
        return 0;
    }
    return static_cast<qint16>(value);
}

qint16 next(qint16 count) {
    if (count == std::numeric_limits<qint16>::max()) {
        return count;
    }
    return static_cast<qint16>(count + 1);
}

}  // namespace RunCounter
