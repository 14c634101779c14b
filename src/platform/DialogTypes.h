// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The message boxes' buttons, icons and answers, for the dialogs and for data that names
// them (the snippet catalogue's guided boxes), without the dialogs themselves.
namespace DialogTypes {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Stop, Exclamation };
// The answers carry the numbers the program stores (SaveAnswer).
enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

}  // namespace DialogTypes
