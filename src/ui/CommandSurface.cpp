// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CommandSurface.h"

#include "app/DisplayPreferences.h"
#include "app/SmallWindows.h"
#include "browser/BrowserCommands.h"
#include "document/Document.h"
#include "snippets/TagInsertion.h"
#include "ui/StatusBar.h"

namespace CommandSurface {

namespace {

using K = Kind;

template <typename M>
struct OwnerOf;
template <typename C, typename R>
struct OwnerOf<R (C::*)()> {
    using type = C;
};

// The handler of a row: a member function of the object that does the work.
template <auto F>
constexpr Handler on = +[](Targets& targets) {
    (void)(std::get<typename OwnerOf<decltype(F)>::type&>(targets).*F)();
};

constexpr MenuEntry kMenus[] = {
    {"", "mnuFile", "File", K::Menu, false},
    {"mnuFile", "mnuFileNew", "New...", K::Item, false, on<&Document::mnuFileNew_Click>},
    {"mnuFile", "mnuFileOpen", "Open...", K::Item, false, on<&Document::mnuFileOpen_Click>},
    {"mnuFile", "mnuFileClose", "Close", K::Item, false, on<&Document::mnuFileClose_Click>},
    {"mnuFile", "mnuFileBar1", "-", K::Separator, false},
    {"mnuFile", "mnuFileSave", "Save", K::Item, false, on<&Document::mnuFileSave_Click>},
    {"mnuFile", "mnuFileSaveAs", "Save As...", K::Item, false, on<&Document::mnuFileSaveAs_Click>},
    {"mnuFile", "mnuFileBar2", "-", K::Separator, false},
    {"mnuFile", "mnuFilePrint", "Print...", K::Item, false, on<&Document::mnuFilePrint_Click>},
    {"mnuFile", "mnuFileBar6", "-", K::Separator, false},
    {"mnuFile", "mnuFileExit", "Exit", K::Item, false, on<&Document::mnuFileExit_Click>},

    {"", "mnuEdit", "Edit", K::Menu, false},
    {"mnuEdit", "mnuEditCut", "Cut", K::Item, false, on<&Document::mnuEditCut_Click>},
    {"mnuEdit", "mnuEditCopy", "Copy", K::Item, false, on<&Document::mnuEditCopy_Click>},
    {"mnuEdit", "mnuEditPaste", "Paste", K::Item, false, on<&Document::mnuEditPaste_Click>},
    {"mnuEdit", "mnubar7", "-", K::Separator, false},
    {"mnuEdit", "mnucutall", "Cut All", K::Item, false, on<&Document::mnucutall_Click>},
    {"mnuEdit", "mnucopyall", "Copy All", K::Item, false, on<&Document::mnucopyall_Click>},

    {"", "mnutext", "Text", K::Menu, false},
    {"mnutext", "mnubold", "Bold", K::Item, false},
    {"mnutext", "mnuitalics", "Italics", K::Item, false},
    {"mnutext", "mnuunder", "Underline", K::Item, false},
    {"mnutext", "mnuspacec", "-", K::Separator, false},
    {"mnutext", "mnulist", "Unordered List", K::Item, false},
    {"mnutext", "mnuolist", "Ordered List", K::Item, false},
    {"mnutext", "mnubullet", "Add a Bullet/Number", K::Item, false},
    {"mnutext", "spacer9", "-", K::Separator, false},
    {"mnutext", "mnulistex", "See the Lists Example...", K::Item, false,
     on<&SmallWindows::mnulistex_Click>},

    {"", "mnufont", "Fonts", K::Menu, false},
    {"mnufont", "mnufontoff", "/Font", K::Item, false},
    {"mnufont", "mnuone", "Font Size 1", K::Item, false},
    {"mnufont", "mnutwo", "Font Size 2", K::Item, false},
    {"mnufont", "mnuthree", "Font Size 3", K::Item, false},
    {"mnufont", "mnuFour", "Font Size 4", K::Item, false},
    {"mnufont", "mnufive", "Font Size 5", K::Item, false},
    {"mnufont", "mnuSix", "Font Size 6", K::Item, false},
    {"mnufont", "mnuseven", "Font Size 7", K::Item, false},
    {"mnufont", "mnubar11", "-", K::Separator, false},
    {"mnufont", "mnutextsizeminus", "Font Size -1", K::Item, false},
    {"mnufont", "mnutextsizeplus", "Font Size +1", K::Item, false},
    {"mnufont", "mnuspacea", "-", K::Separator, false},
    {"mnufont", "mnufaceblank", "Font Face .......", K::Item, false},
    {"mnufont", "mnuarial", "Font Face Arial/Helvetica", K::Item, false},
    {"mnufont", "mnuVerdana", "Font Face Verdana", K::Item, false},
    {"mnufont", "mnutimes", "Font Face Times-Roman", K::Item, false},
    {"mnufont", "mnusans", "Font Face Garamond", K::Item, false},
    {"mnufont", "mnuspaceb", "-", K::Separator, false},
    {"mnufont", "mnucolorf", "Font Color", K::Item, false, on<&TagInsertion::mnucolorf_Click>},

    {"", "mnuTable", "Tables", K::Menu, false},
    {"mnuTable", "mnuItem2", "2x2 w/Border", K::Item, false},
    {"mnuTable", "mnuItem23", "2x3 w/Border", K::Item, false},
    {"mnuTable", "mnuBar12", "-", K::Separator, false},
    {"mnuTable", "mnunb1", "2x2 No Border", K::Item, false},
    {"mnuTable", "mnunb2", "2x3 No Border", K::Item, false},

    {"", "mnuscripts", "Scripts", K::Menu, false},
    {"mnuscripts", "mnubuttonwindow", "Button + Popup Window", K::Item, false},
    {"mnuscripts", "mnusound", "Embed Sound", K::Item, false},
    {"mnuscripts", "mnuhover", "Hover Button", K::Item, false},
    {"mnuscripts", "mnupopup", "Popup Window", K::Item, false},
    {"mnuscripts", "mnurtclick", "Right Click Message", K::Item, false},
    {"mnuscripts", "mnuspacer1", "-", K::Separator, false},
    {"mnuscripts", "mnuexplorer", "Explorer Only Tags", K::Menu, false},
    {"mnuexplorer", "mnumarq", "Marquee", K::Item, false},
    {"mnuexplorer", "mnutrans", "Transistions", K::Item, false},
    {"mnuexplorer", "mnuvideo", "Video", K::Item, false},

    {"", "mnuTest", "Test Page...", K::BarCommand, false, on<&BrowserCommands::mnuTest_Click>},

    {"", "mnuwin", "Window", K::Menu, false},
    {"mnuwin", "mnunewwin", "New Editor Window", K::Item, false,
     on<&SmallWindows::mnunewwin_Click>},
    {"mnuwin", "mnuPad", "Scratch Pad Toolbar", K::Item, false, on<&SmallWindows::mnuPad_Click>},

    {"", "mnuViewOptions", "&Options", K::Menu, false},
    {"mnuViewOptions", "mnuset", "Set Internet Browser...", K::Item, false,
     on<&BrowserCommands::mnuset_Click>},
    {"mnuViewOptions", "mnukeys", "Set Registry Keys", K::Item, false,
     on<&BrowserCommands::mnukeys_Click>},
    {"mnuViewOptions", "mnuViewStatusBar", "View Status Bar", K::Item, true,
     on<&StatusBar::mnuViewStatusBar_Click>},
    {"mnuViewOptions", "spacer8", "-", K::Separator, false},
    {"mnuViewOptions", "mnuqn8", "Font Size 8", K::Item, true,
     on<&DisplayPreferences::mnuqn8_Click>},
    {"mnuViewOptions", "mnuqn10", "Font Size 10", K::Item, true,
     on<&DisplayPreferences::mnuqn10_Click>},
    {"mnuViewOptions", "mnuqn12", "Font Size 12", K::Item, true,
     on<&DisplayPreferences::mnuqn12_Click>},
    {"mnuViewOptions", "mnuqn14", "Font Size 14", K::Item, true,
     on<&DisplayPreferences::mnuqn14_Click>},
    {"mnuViewOptions", "mnuspacer2", "-", K::Separator, false},
    {"mnuViewOptions", "mnuqnverdana", "Verdana Font", K::Item, true,
     on<&DisplayPreferences::mnuqnverdana_Click>},
    {"mnuViewOptions", "mnuqnarial", "Arial Font", K::Item, true,
     on<&DisplayPreferences::mnuqnarial_Click>},
    {"mnuViewOptions", "mnuqntimes", "Times Font", K::Item, true,
     on<&DisplayPreferences::mnuqntimes_Click>},

    {"", "mnuhelp", "Help", K::Menu, false},
    {"mnuhelp", "mnuprimer", "HTML Primer...", K::Item, false,
     on<&BrowserCommands::mnuprimer_Click>},
    {"mnuhelp", "mnusample", "Open Sample Web Page...", K::Item, false,
     on<&BrowserCommands::mnusample_Click>},
    {"mnuhelp", "mnuusing", "Using Quindo...", K::Item, false,
     on<&BrowserCommands::mnuusing_Click>},

    {"", "mnuabout", "About...", K::BarCommand, false, on<&SmallWindows::mnuabout_Click>},
};

constexpr ButtonCommand kButtons[] = {
    {"Command1", on<&Document::mnuFileNew_Click>},
    {"Command2", on<&Document::mnuFileOpen_Click>},
    {"Command3", on<&Document::mnuFileSave_Click>},
    {"Command4", on<&Document::mnuFilePrint_Click>},
    {"Command5", on<&Document::mnuEditCut_Click>},
    {"Command6", on<&Document::mnuEditCopy_Click>},
    {"Command7", on<&Document::mnuEditPaste_Click>},
    {"Command10", on<&TagInsertion::Command10_Click>},
};

}  // namespace

std::span<const MenuEntry> menus() {
    return kMenus;
}

std::span<const ButtonCommand> buttonCommands() {
    return kButtons;
}

}  // namespace CommandSurface
