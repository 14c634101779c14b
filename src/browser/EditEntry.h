// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
// defaults when the variables are unset).
QString applicationsFolder();
QString associationsFile();

// One argument of an Exec line, quoted and escaped so that the desktop reads back
// exactly this text: blanks, quotes, '$', '`', '\', '%' and line breaks included.
QString quoteExecArgument(const QString& argument);

// The whole text of the entry that starts the program at programPath on one file.
QString entryText(const QString& programPath, const QString& icon);

// The associations file after adding the entry under [Added Associations] for every type.
// Every other line stays as it was; the section is added at the end when it is missing,
// and an entry that is already listed is not listed twice.
QString withAddedAssociations(const QString& existing, const QString& desktopId,
                              const QStringList& types);

// Writes the entry and the associations (each file replaced whole, atomically) and
// refreshes the folder's cache of types when the desktop's tool for it is installed.
// False when either file could not be written.
bool install(const QString& programPath, const QString& icon);

}  // namespace EditEntry
