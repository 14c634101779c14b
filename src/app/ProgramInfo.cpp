// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString& overriddenFolder() {
    static QString folder;
    return folder;
}

QString& overriddenPath() {
    static QString path;
    return path;
}

}  // namespace

namespace ProgramInfo {

QString programFolder() {
    if (!overriddenFolder().isEmpty()) {
        return overriddenFolder();
    }
    return QFileInfo(programPath()).absolutePath();
}

void setProgramFolder(const QString& folder) {
    overriddenFolder() = folder;
}

QString programPath() {
    if (!overriddenPath().isEmpty()) {
        return overriddenPath();
    }
    // applicationFilePath() reads /proc/self/exe, so a symlink in bin/ leads to the real
    // program folder.
    return QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
}

void setProgramPath(const QString& path) {
    overriddenPath() = path;
}

QString besideProgram(const QString& name) {
    return programFolder() + QLatin1Char('/') + name;
}

QString versionText() {
    return QStringLiteral("Version- %1.%2.%3")
        .arg(QUINDO_VERSION_MAJOR)
        .arg(QUINDO_VERSION_MINOR)
        .arg(QUINDO_VERSION_PATCH);
}

}  // namespace ProgramInfo
