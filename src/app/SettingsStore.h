// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user settings store: text values addressed by section and key under the
// application "quindo". Every read asks the file afresh and every write reaches the disk
// at once, so running instances see each other's choices and nothing is cached.
//
// Lives in $XDG_CONFIG_HOME/quindo/quindo.ini (INI format): the section is the group,
// the key the key, e.g. [Run] Value=1. Only a regular file (or a link to one) of at most
// 1 MB is read and written; anything else reads as the defaults and is left alone.
namespace SettingsStore {

QString read(const QString& section, const QString& key, const QString& defaultValue = {});
void write(const QString& section, const QString& key, const QString& value);

// Where the store lives, for tests and diagnostics.
QString filePath();

}  // namespace SettingsStore

// The start-up counter of ("Run", "Value") as a 16-bit signed number.
namespace RunCounter {

// Converts the stored text. A text that is not a whole number in the 16-bit range
// counts as 0 (so the count restarts); blanks around the number are allowed.
qint16 parse(const QString& stored);

// The count after one more start-up; stays at 32767 rather than overflowing.
qint16 next(qint16 count);

}  // namespace RunCounter

// The user's base folders: $XDG_CONFIG_HOME and $XDG_DATA_HOME, or their defaults under the
// home folder when a variable is unset, empty or relative (a relative one is invalid and
// would put the user's files in whatever folder the program was started from).
namespace UserFolders {

QString configHome();
QString dataHome();

// Takes relative XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_STATE_HOME and XDG_CACHE_HOME out of
// the environment, so that Qt and the programs started from here use the defaults too.
// Called once at start-up, before Qt reads them.
void ignoreRelative();

}  // namespace UserFolders
