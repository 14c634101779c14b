// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserPreference.h"

#include "app/SettingsStore.h"
#include "platform/Dialogs.h"
#include "platform/WindowHost.h"

#include <QFileInfo>
#include <QProcess>

namespace {

const QString kSection = QStringLiteral("browser");
const QString kKey = QStringLiteral("name");
constexpr qsizetype kShortestChosenPath = 8;

}  // namespace

QString ReadBrowserPath() {
    return SettingsStore::read(kSection, kKey, QString());
}

bool IsBrowserChosen(const QString& path) {
    return path.size() >= kShortestChosenPath;
}

bool ChooseBrowser(Dialogs& dialogs) {
    // Programs on this desktop carry no extension, so the chooser lists the files of a
    // folder: the folder of the earlier choice, or the usual home of installed programs.
    Dialogs::FileRequest request;
    request.filter = QStringLiteral("Executable Files (*)");
    const QString earlier = ReadBrowserPath();
    request.directory =
        earlier.isEmpty() ? QStringLiteral("/usr/bin") : QFileInfo(earlier).absolutePath();
    const QString chosen = dialogs.chooseProgram(request);
    if (chosen.isEmpty()) {
        return false;
    }
    SettingsStore::write(kSection, kKey, chosen);
    return true;
}

void LaunchInBrowser(const QString& browser, const QString& target) {
    if (browser.isEmpty()) {
        return;
    }
    // The result is not looked at: a browser that cannot be started is not reported.
    QProcess::startDetached(browser, {target});
}
