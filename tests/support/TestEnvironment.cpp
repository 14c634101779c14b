// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>

TestEnvironment::TestEnvironment() {
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    // Recovery copies of the test's documents stay private to the test too.
    qputenv("XDG_STATE_HOME", state_.path().toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
    // The data files are built beside the program, one folder above the tests.
    ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
}

QString TestEnvironment::settingsFile() const {
    return SettingsStore::filePath();
}

void TestEnvironment::resetSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quindo"),
                    QStringLiteral("quindo"));
    store.clear();
    store.sync();
    QFile::remove(settingsFile());
}

QString TestEnvironment::settingsText() const {
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}
