// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DialogTypes.h"

#include <QLatin1String>

#include <QByteArrayView>
#include <QStringView>

#include <optional>
#include <span>

// The HTML snippets behind the insertion commands of the Text, Fonts, Tables and Scripts
// menus and the picture buttons, looked up by control name. Everything is compiled in.
namespace SnippetCatalogue {

// The box a guided snippet shows before it inserts.
struct Guide {
    const char* text;
    DialogTypes::Buttons buttons;
    // True: only the answer Yes inserts; any other answer leaves everything as it was.
    // False: the box only warns, and the snippet goes in once it is closed.
    bool insertOnlyOnYes;
};

struct Entry {
    const char* control;  // control name of the menu item or picture button
    QByteArrayView text;  // printable ASCII; lines joined by CR LF
    // How many characters before the end of the text the caret goes; none leaves it after
    // the text.
    std::optional<int> stepBack;
    const Guide* guide;  // null for a plain snippet
};

// The title of every guided box.
inline constexpr const char* kGuideTitle = "Quindo";

std::span<const Entry> entries();

// The entry of a control, or null when the control inserts no catalogue snippet.
const Entry* find(QStringView control);

}  // namespace SnippetCatalogue
