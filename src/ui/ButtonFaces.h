// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

// The row of picture buttons as the user sees it: each button's control name, its place,
// its tooltip (also its accessible name) and the word drawn on its picture. What a button
// does is the command surface's (ui/CommandSurface.h); the build's picture tool draws the
// faces from this table alone.
namespace ButtonFaces {

struct Face {
    const char* name;     // Command1 .. Command17
    int left;             // twips
    const char* tooltip;  // also the accessible name
    const char* word;     // the word drawn on the picture
};

constexpr int kTop = 0;
constexpr int kSize = 510;  // twips, square

// In row order, left to right.
inline constexpr Face kFaces[] = {
    {"Command1", 585, "New Document", "new"},
    {"Command2", 1080, "Open a Document", "open"},
    {"Command3", 1575, "Save this Document", "save"},
    {"Command4", 2070, "Print HTML", "print"},
    {"Command5", 2565, "Cut", "cut"},
    {"Command6", 3060, "Copy", "copy"},
    {"Command7", 3555, "Paste", "paste"},
    {"Command8", 4050, "Insert Hyperlink", "link"},
    {"Command9", 4545, "Image Source", "image..."},
    {"Command10", 5040, "Color Selector", "color"},
    {"Command11", 5535, "Line Break", "br"},
    {"Command12", 6030, "New Paragraph", "P"},
    {"Command17", 6525, "Bold", "B"},
    {"Command13", 7020, "Horizontal Rule", "rule"},
    {"Command14", 7515, "Alignment", "align"},
    {"Command15", 8010, "Center", "center"},
    {"Command16", 8505, "Send Email To:", "e-mail"},
};

inline std::span<const Face> faces() {
    return kFaces;
}

}  // namespace ButtonFaces
