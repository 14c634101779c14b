// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <tuple>

class BrowserCommands;
class DisplayPreferences;
class Document;
class SmallWindows;
class StatusBar;
class TagInsertion;

// The main window's command surface as data: the menu bar and the commands of the picture
// buttons (their faces are ui/ButtonFaces.h).
// One piece of code (frmMain) turns these tables into actions and widgets; every action
// and widget carries its control name as objectName. Each command is declared once, here:
// its row names its handler on the object that does the work, or none when the control
// inserts the snippet of its name from the catalogue (the window refuses to start when it
// finds neither). Buttons that repeat a menu command name the same handler.
namespace CommandSurface {

// The objects the rows' handlers belong to: the features and the window's status bar.
using Targets = std::tuple<Document&, TagInsertion&, BrowserCommands&, DisplayPreferences&,
                           SmallWindows&, StatusBar&>;
using Handler = void (*)(Targets&);

enum class Kind {
    Menu,        // a bar entry or nested menu that only opens its items
    BarCommand,  // a command placed directly on the bar
    Item,        // a command inside a menu
    Separator,
};

struct MenuEntry {
    const char* parent;  // control name of the enclosing menu; empty for the bar
    const char* name;    // control name
    const char* caption;
    Kind kind;
    bool checkable;  // shows a tick that the command sets itself
    Handler handler = nullptr;
};

// A picture button whose command is not the catalogue's snippet of its name (its face is
// ButtonFaces').
struct ButtonCommand {
    const char* name;
    Handler handler;
};

// In menu order: each menu's entries follow the menu itself.
std::span<const MenuEntry> menus();
std::span<const ButtonCommand> buttonCommands();

}  // namespace CommandSurface
