// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsStore.h"

#include <QSettings>

#include <limits>

namespace {

QSettings openStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quindo"),
                     QStringLiteral("quindo"));
}

QString address(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

namespace SettingsStore {

QString read(const QString& section, const QString& key, const QString& defaultValue) {
    QSettings store = openStore();
    store.sync();  // pick up what another instance wrote meanwhile
    const QVariant value = store.value(address(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void write(const QString& section, const QString& key, const QString& value) {
    QSettings store = openStore();
    store.setValue(address(section, key), value);
    store.sync();
}

QString filePath() {
    return openStore().fileName();
}

}  // namespace SettingsStore

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
