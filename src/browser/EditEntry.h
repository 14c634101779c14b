// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// "Edit with Quindo" for HTML files in the desktop's file managers: a hidden desktop entry
// in the user's applications folder, added to the user's list of associations for the two
// HTML types. The file managers then offer it under "Open With".
namespace EditEntry {

// The entry's file name (its desktop id).
inline const QString kFileName = QStringLiteral("quindo-edit.desktop");
// The types the entry edits, in the order they are written.
QStringList mimeTypes();

// $XDG_DATA_HOME/applications and $XDG_CONFIG_HOME/mimeapps.list (with their usual
// defaults when the variables are unset, empty or relative).
QString applicationsFolder();
QString associationsFile();

// One argument of an Exec line, quoted and escaped so that the desktop reads back
// exactly this text: blanks, quotes, '$', '`', '\', '%' and line breaks included.
QString quoteExecArgument(const QString& argument);

// The whole text of the entry that starts the program at programPath on one file.
QString entryText(const QString& programPath, const QString& icon);

// The associations file after adding the entry under [Added Associations] for every type
// and taking it out of [Removed Associations]; keepDefaults names, per type, an application
// to list under [Default Applications] (when it is not listed there yet). Every other line
// stays byte for byte; a section that is missing is added at the end, and an entry that is
// already listed is not listed twice.
QByteArray withAddedAssociations(const QByteArray& existing, const QString& desktopId,
                                 const QStringList& types,
                                 const QMap<QString, QString>& keepDefaults = {});

// Writes the associations and the entry (each file replaced whole, atomically; nothing at
// all when the associations cannot be written), keeps the types' present double-click
// application as their default, and starts the desktop's tool that refreshes the folder's
// cache of types when it is installed. False when a file could not be written.
bool install(const QString& programPath, const QString& icon);

}  // namespace EditEntry
