// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/DisplayPreferences.h"
#include "app/SettingsStore.h"
#include "app/SmallWindows.h"
#include "platform/WindowHost.h"

namespace Startup {

qint16 load(WindowHost& host, SmallWindows& windows, DisplayPreferences& display) {
    qint16 count = RunCounter::parse(
        SettingsStore::read(QStringLiteral("Run"), QStringLiteral("Value"), QStringLiteral("0")));
    if (count == 0) {
        windows.showFirstRunWelcome();
    }
    count = RunCounter::next(count);
    SettingsStore::write(QStringLiteral("Run"), QStringLiteral("Value"), QString::number(count));

    host.setChecked(QStringLiteral("mnuViewStatusBar"), true);

    // Restored by the very commands that chose them.
    display.restoreStored();
    return count;
}

}  // namespace Startup
