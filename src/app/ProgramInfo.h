// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ProgramInfo {

// The folder of the running program file, without a trailing separator. The template,
// help and sample files lie here.
QString programFolder();
// Tests point the program folder at their own copy of the data files.
void setProgramFolder(const QString& folder);
// The running program file itself, links resolved.
QString programPath();
// Tests, which are programs of their own, point it at the editor's executable.
void setProgramPath(const QString& path);
// A file beside the program: programFolder() + "/" + name.
QString besideProgram(const QString& name);

// "Version- 1.1.164": major, minor and revision of this build.
QString versionText();

}  // namespace ProgramInfo
