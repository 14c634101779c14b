// SPDX-License-Identifier: GPL-3.0-or-later
#include "snippets/SnippetCatalogue.h"

namespace SnippetCatalogue {

namespace {

#define CRLF "\r\n"

using B = DialogTypes::Buttons;

constexpr Guide kHoverQuestion = {
    "Hover button is a Microsoft applet.  In order for it to work you will have to copy the "
    "files fphover.class and fphoverx.class  from the Quindo folder to the folder with your "
    "HTML document.  Do you wish to go ahead and add the appropriate HTML tags to the current "
    "document?",
    B::YesNo, true};

constexpr Guide kScriptHeadWarning = {
    "In order for this Javascript to work, you need to put this code in the <HEAD> </HEAD> "
    "section of the code.  If you paste this into the <BODY> it won't work.",
    B::Ok, false};

constexpr Guide kTransitionHeadWarning = {
    "In order for Transistions to work, you need to put this code in the <HEAD> </HEAD> "
    "section of the code.  If you paste this into the <BODY> it won't work.",
    B::Ok, false};

constexpr std::nullopt_t none = std::nullopt;

// One line of the table per line of snippet text.
// clang-format off
const Entry kEntries[] = {
    // The picture buttons (Command10, the colour selector, has its own handler).
    {"Command8", "<A HREF=></A>", 4, nullptr},
    {"Command9", "<IMG SRC=>", 1, nullptr},
    {"Command11", "<BR>", none, nullptr},
    {"Command12", "<P>", none, nullptr},
    {"Command13", "<HR>", none, nullptr},
    {"Command14", "ALIGN=", 0, nullptr},
    {"Command15", "<CENTER></CENTER>", 9, nullptr},
    {"Command16", "<A HREF=MAILTO:>", 1, nullptr},
    {"Command17", "<B></B>", 4, nullptr},

    // Text
    {"mnubold", "<B></B>", 4, nullptr},
    {"mnuitalics", "<I></I>", 4, nullptr},
    {"mnuunder", "<U></U>", 4, nullptr},
    {"mnulist",
     "<UL>" CRLF
     "<LI>BULLET 1</LI>" CRLF
     "<LI>BULLET 2</LI>" CRLF
     "</UL>",
     none, nullptr},
    {"mnuolist",
     "<OL>" CRLF
     "<LI>LINE 1</LI>" CRLF
     "<LI>LINE 2</LI>" CRLF
     "</OL>",
     none, nullptr},
    {"mnubullet", "<LI></LI>", 5, nullptr},

    // Fonts (mnucolorf, Font Color, has its own handler)
    {"mnufontoff", "</FONT>", none, nullptr},
    {"mnuone", "<FONT SIZE=1>", none, nullptr},
    {"mnutwo", "<FONT SIZE=2>", none, nullptr},
    {"mnuthree", "<FONT SIZE=3>", none, nullptr},
    {"mnuFour", "<FONT SIZE=4>", none, nullptr},
    {"mnufive", "<FONT SIZE=5>", none, nullptr},
    {"mnuSix", "<FONT SIZE=6>", none, nullptr},
    {"mnuseven", "<FONT SIZE=7>", none, nullptr},
    {"mnutextsizeminus", "<FONT SIZE=-1>", none, nullptr},
    {"mnutextsizeplus", "<FONT SIZE=+1>", none, nullptr},
    {"mnufaceblank", "<FONT FACE=>", 1, nullptr},
    {"mnuarial", "<FONT FACE=ARIAL,HELVETICA>", none, nullptr},
    {"mnuVerdana", "<FONT FACE=VERDANA>", none, nullptr},
    {"mnutimes", "<FONT FACE=TIMES>", none, nullptr},
    {"mnusans", "<FONT FACE=GARAMOND>", none, nullptr},

    // Tables
    {"mnuItem2",
     "<TABLE BORDER=5 CELLPADDING=0 COLSPACING=0 WIDTH=90%>" CRLF
     "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
     "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF
     "</TABLE>",
     none, nullptr},
    {"mnuItem23",
     "<TABLE BORDER=5 CELLPADDING=0 COLSPACING=0 WIDTH=90%>" CRLF
     "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
     "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF
     "<TR><TD>data cell five<TD><TD>data cell six<TD></TR>" CRLF
     "</TABLE>",
     none, nullptr},
    {"mnunb1",
     "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=100%>" CRLF
     "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
     "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF
     "</TABLE>",
     none, nullptr},
    {"mnunb2",
     "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=90%>" CRLF
     "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
     "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF
     "<TR><TD>data cell five<TD><TD>data cell six<TD></TR>" CRLF
     "</TABLE>",
     none, nullptr},

    // Scripts
    {"mnubuttonwindow",
     "<FORM>" CRLF
     "<input type=button value=Click me onClick=alert('Yo')>" CRLF
     "</form>" CRLF,
     none, nullptr},
    {"mnusound",
     "<EMBED SRC=soundnamehere.mid HIDDEN=True>" CRLF
     "<BGSOUND SRC=soundnamehere.mid>" CRLF,
     none, nullptr},
    {"mnuhover",
     "<applet code=fphover.class width=120 height=24>" CRLF
     "<param name=text value=Button Text>" CRLF
     "<param name=color value=#000080>" CRLF
     "<param name=hovercolor value=#0000FF>" CRLF
     "<param name=textcolor value=#FFFFFF>" CRLF
     "<param name=effect value=glow>" CRLF
     "<param name=url value=link.html valuetype=ref>" CRLF
     "</applet>" CRLF,
     none, &kHoverQuestion},
    {"mnupopup",
     "<script language=javascript>" CRLF
     "<!--" CRLF
     "alert('Welcome to a Tamblor9 Quindo Web page!')" CRLF
     "// -->" CRLF
     "</script>" CRLF,
     none, &kScriptHeadWarning},
    {"mnurtclick",
     "<script language=javascript>" CRLF
     "function click() {" CRLF
     "if (event.button==2) {" CRLF
     "alert('Please do not copy my links!')" CRLF
     "}" CRLF
     "}" CRLF
     "document.onmousedown=click" CRLF
     "</script>" CRLF,
     none, &kScriptHeadWarning},

    // Scripts, Explorer Only Tags
    {"mnumarq", "<MARQUEE BORDER=0></MARQUEE>", 10, nullptr},
    {"mnutrans",
     "<META http-equiv=Page-Enter content=RevealTrans(Duration=1.0,Transition=23)>" CRLF, none,
     &kTransitionHeadWarning},
    {"mnuvideo", "<img dynsrc=name of video here.avi start=fileopen>", none, nullptr},
};
// clang-format on

#undef CRLF

}  // namespace

std::span<const Entry> entries() {
    return kEntries;
}

const Entry* find(QStringView control) {
    for (const Entry& entry : kEntries) {
        if (control == QLatin1String(entry.control)) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace SnippetCatalogue
