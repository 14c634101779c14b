// SPDX-License-Identifier: GPL-3.0-or-later
// Tag insertion through the real menus and picture buttons of the main window: every
// snippet's bytes and caret, the guided boxes, the colour selector and its RGB split, undo,
// the change flag, the focus, and documents past the 16-bit caret range, up to 4 MB.
#include "MainWindowFixture.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "snippets/SnippetCatalogue.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QPushButton>

#include <algorithm>
#include <iterator>

#define CRLF "\r\n"

namespace {

// The three guided boxes, written out.
const char* const kHoverQuestion =
    "Hover button is a Microsoft applet.  In order for it to work you will have to copy the "
    "files fphover.class and fphoverx.class  from the Quindo folder to the folder with your "
    "HTML document.  Do you wish to go ahead and add the appropriate HTML tags to the current "
    "document?";
const char* const kScriptWarning =
    "In order for this Javascript to work, you need to put this code in the <HEAD> </HEAD> "
    "section of the code.  If you paste this into the <BODY> it won't work.";
const char* const kTransitionWarning =
    "In order for Transistions to work, you need to put this code in the <HEAD> </HEAD> "
    "section of the code.  If you paste this into the <BODY> it won't work.";

// Every snippet as the user gets it: "~" is a line end (CR LF), "|" marks where the caret
// ends (none: after the text).
// This is the one place the texts are repeated, so a typo in any of them fails.
struct SnippetRow {
    const char* control;
    const char* text;
    const char* guide = nullptr;  // the box shown first
} const kSnippets[] = {
    {"Command8", "<A HREF=>|</A>"},
    {"Command9", "<IMG SRC=|>"},
    {"Command11", "<BR>"},
    {"Command12", "<P>"},
    {"Command13", "<HR>"},
    {"Command14", "ALIGN=|"},
    {"Command15", "<CENTER>|</CENTER>"},
    {"Command16", "<A HREF=MAILTO:|>"},
    {"Command17", "<B>|</B>"},
    {"mnubold", "<B>|</B>"},
    {"mnuitalics", "<I>|</I>"},
    {"mnuunder", "<U>|</U>"},
    {"mnulist", "<UL>~<LI>BULLET 1</LI>~<LI>BULLET 2</LI>~</UL>"},
    {"mnuolist", "<OL>~<LI>LINE 1</LI>~<LI>LINE 2</LI>~</OL>"},
    {"mnubullet", "<LI>|</LI>"},
    {"mnufontoff", "</FONT>"},
    {"mnuone", "<FONT SIZE=1>"},
    {"mnutwo", "<FONT SIZE=2>"},
    {"mnuthree", "<FONT SIZE=3>"},
    {"mnuFour", "<FONT SIZE=4>"},
    {"mnufive", "<FONT SIZE=5>"},
    {"mnuSix", "<FONT SIZE=6>"},
    {"mnuseven", "<FONT SIZE=7>"},
    {"mnutextsizeminus", "<FONT SIZE=-1>"},
    {"mnutextsizeplus", "<FONT SIZE=+1>"},
    {"mnufaceblank", "<FONT FACE=|>"},
    {"mnuarial", "<FONT FACE=ARIAL,HELVETICA>"},
    {"mnuVerdana", "<FONT FACE=VERDANA>"},
    {"mnutimes", "<FONT FACE=TIMES>"},
    {"mnusans", "<FONT FACE=GARAMOND>"},
    {"mnuItem2",
     "<TABLE BORDER=5 CELLPADDING=0 COLSPACING=0 WIDTH=90%>~<TR><TD>data cell one<TD><TD>data cell "
     "two<TD></TR>~<TR><TD>data cell three<TD><TD>data cell four<TD></TR>~</TABLE>"},
    {"mnuItem23",
     "<TABLE BORDER=5 CELLPADDING=0 COLSPACING=0 WIDTH=90%>~<TR><TD>data cell one<TD><TD>data cell "
     "two<TD></TR>~<TR><TD>data cell three<TD><TD>data cell four<TD></TR>~<TR><TD>data cell "
     "five<TD><TD>data cell six<TD></TR>~</TABLE>"},
    {"mnunb1",
     "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=100%>~<TR><TD>data cell one<TD><TD>data cell "
     "two<TD></TR>~<TR><TD>data cell three<TD><TD>data cell four<TD></TR>~</TABLE>"},
    {"mnunb2",
     "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=90%>~<TR><TD>data cell one<TD><TD>data cell "
     "two<TD></TR>~<TR><TD>data cell three<TD><TD>data cell four<TD></TR>~<TR><TD>data cell "
     "five<TD><TD>data cell six<TD></TR>~</TABLE>"},
    {"mnubuttonwindow", "<FORM>~<input type=button value=Click me onClick=alert('Yo')>~</form>~"},
    {"mnusound", "<EMBED SRC=soundnamehere.mid HIDDEN=True>~<BGSOUND SRC=soundnamehere.mid>~"},
    {"mnuhover",
     "<applet code=fphover.class width=120 height=24>~<param name=text value=Button Text>~<param "
     "name=color value=#000080>~<param name=hovercolor value=#0000FF>~<param name=textcolor "
     "value=#FFFFFF>~<param name=effect value=glow>~<param name=url value=link.html "
     "valuetype=ref>~</applet>~",
     kHoverQuestion},
    {"mnupopup",
     "<script language=javascript>~<!--~alert('Welcome to a Tamblor9 Quindo Web page!')~// "
     "-->~</script>~",
     kScriptWarning},
    {"mnurtclick",
     "<script language=javascript>~function click() {~if (event.button==2) {~alert('Please do not "
     "copy my links!')~}~}~document.onmousedown=click~</script>~",
     kScriptWarning},
    {"mnumarq", "<MARQUEE BORDER=0>|</MARQUEE>"},
    {"mnutrans", "<META http-equiv=Page-Enter content=RevealTrans(Duration=1.0,Transition=23)>~",
     kTransitionWarning},
    {"mnuvideo", "<img dynsrc=name of video here.avi start=fileopen>"},
};

const SnippetRow& snippet(const QString& control) {
    for (const SnippetRow& row : kSnippets)
        if (control == QLatin1String(row.control))
            return row;
    qFatal("no snippet for %s", qPrintable(control));
}
QByteArray textOf(const SnippetRow& row) {
    return QByteArray(row.text).replace("|", "").replace("~", CRLF);
}
// Where the caret ends, in characters from the start of the text.
int caretOf(const SnippetRow& row) {
    const QByteArray text = QByteArray(row.text).replace("~", CRLF);
    return text.contains('|') ? int(text.indexOf('|')) : int(text.size());
}

// Caret steps past the 16-bit range, in ASCII, UTF-8 with characters wider than a byte
// and 8-bit documents.
struct LargeRow {
    const char* name;
    QByteArray piece;
    int pieceCharacters, count;
    QString control;
} const kLarge[] = {
    {"ascii past 32767", "abcdefghij", 10, 3277, "Command15"},
    {"ascii at 65536", "abcdefgh", 8, 8192, "mnubold"},
    {"lines past 32767", "<P>line" CRLF, 9, 5000, "mnumarq"},
    // "é€𝄞x": 4 characters in 10 bytes.
    {"utf-8 before the caret", "\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9ex", 4, 9000, "Command8"},
    {"utf-8 short", "\xc3\xa9\xe2\x82\xac", 2, 3, "mnufaceblank"},
    {"8-bit past 32767", "caf\xe9 ", 5, 8000, "Command16"},
    {"4 MB", QByteArray(1024, 'z'), 1024, 4096, "mnubullet"},
};

}  // namespace

class SnippetsTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QList<QByteArray> textWhileOpen_;  // the document as it stood when each box came up

    // A fresh unchanged document with a selection in bytes, the focus away from the text.
    void prepare(const QByteArray& text, qint64 from, qint64 to) {
        f.setText(text, from, to);
        f->button("Command1")->setFocus();
        QCOMPARE(QApplication::focusWidget(), f->button("Command1"));
    }
    // Runs a command the way the user does: clicks its picture button or triggers its item.
    void run(const QString& control) {
        if (PictureButton* b = f->button(control)) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else {
            QVERIFY2(f->action(control), qPrintable(control));
            f->action(control)->trigger();
        }
    }

  private slots:
    void initTestCase() {
        f.reset();
        f.start(false, true);
        QVERIFY(f->isActiveWindow());
        f.dialogs.onMessage = [this] { textWhileOpen_ << f.bytes(); };
    }
    void init() {
        f.dialogs.clear();
        textWhileOpen_.clear();
        // A test that showed a window of its own leaves the shared one inactive.
        if (!f->isActiveWindow()) {
            f->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        }
    }
    void cleanup() { f.checkDialogs(); }
    void cleanupTestCase() { f.finish(); }

    // The catalogue holds exactly the snippets above, each with its caret and its box.
    void catalogue() {
        QCOMPARE(SnippetCatalogue::entries().size(), std::size(kSnippets));
        for (const SnippetRow& row : kSnippets) {
            const SnippetCatalogue::Entry* e =
                SnippetCatalogue::find(QString::fromLatin1(row.control));
            QVERIFY2(e, row.control);
            QCOMPARE(e->text.toByteArray(), textOf(row));
            QCOMPARE(int(e->text.size()) - e->stepBack.value_or(0), caretOf(row));
            QCOMPARE(QByteArray(e->guide ? e->guide->text : ""), QByteArray(row.guide));
            if (e->guide)
                QCOMPARE(e->guide->insertOnlyOnYes, row.guide == kHoverQuestion);
        }
    }

    // One line with and without a step back, several lines with and without a final CR LF,
    // and the guided ones; into an empty document, at a caret, over a selection.
    void insert_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const QByteArray text = "<P>Some words here</P>" CRLF "next line";
        QTest::newRow("step back, empty document") << "Command8" << QByteArray() << 0 << 0;
        QTest::newRow("step back, selected word") << "mnubold" << text << 8 << 13;
        QTest::newRow("step back 0, selection made backwards") << "Command14" << text << 13 << 8;
        QTest::newRow("no step back, caret in a word") << "mnuone" << text << 10 << 10;
        QTest::newRow("lines, caret in a word") << "mnulist" << text << 10 << 10;
        QTest::newRow("lines ending in CR LF, selected word") << "mnusound" << text << 8 << 13;
        QTest::newRow("guided Yes, selected word") << "mnuhover" << text << 8 << 13;
        QTest::newRow("guided Ok, empty document") << "mnurtclick" << QByteArray() << 0 << 0;
        QTest::newRow("guided Ok, one line") << "mnutrans" << text << 10 << 10;
    }
    // The selection is replaced, the caret ends where the command puts it, the editing area
    // has the focus, the document counts as changed, and one undo restores the text.
    void insert() {
        QFETCH(QString, control);
        QFETCH(QByteArray, before);
        QFETCH(int, from);
        QFETCH(int, to);
        const SnippetRow& row = snippet(control);
        const bool hover = row.guide == kHoverQuestion;
        prepare(before, from, to);
        const QString caption = f->caption();
        if (row.guide)
            f.dialogs.answer(hover ? Dialogs::Yes : Dialogs::Ok);
        run(control);
        const int start = std::min(from, to);
        QCOMPARE(f.bytes(), before.left(start) + textOf(row) + before.mid(std::max(from, to)));
        QCOMPARE(f.text().selStart(), qint64(start + caretOf(row)));
        QVERIFY(f.text().selectedBytes().isEmpty());
        QCOMPARE(QApplication::focusWidget(), &f.text());
        QCOMPARE(f.docChanged(), qint16(1));
        QCOMPARE(f->caption(), caption);
        QCOMPARE(f.dialogs.calls().size(), row.guide ? 1 : 0);
        if (row.guide) {
            QCOMPARE(f.dialogs.shown(0),
                     f.dialogs.box(row.guide, "Quindo",
                                   hover ? Dialogs::Buttons::YesNo : Dialogs::Buttons::Ok));
            QCOMPARE(textWhileOpen_, QList<QByteArray>{before});  // asked before inserting
        }
        f.text().undo();
        QCOMPARE(f.bytes(), before);
    }

    // Each insertion is its own undo step.
    void boldTwiceNests() {
        prepare("x", 1, 1);
        run("mnubold");
        run("Command17");
        QCOMPARE(f.bytes(), QByteArray("x<B><B></B></B>"));
        QCOMPARE(f.text().selStart(), 7);
        f.text().undo();
        QCOMPARE(f.bytes(), QByteArray("x<B></B>"));
    }

    void hoverAnsweredNoLeavesEverything() {
        prepare("keep this text", 5, 9);
        f.dialogs.answer(Dialogs::No);
        run("mnuhover");
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls().constFirst().text, QString(kHoverQuestion));
        QCOMPARE(f.bytes(), QByteArray("keep this text"));
        QCOMPARE(f.text().selectedBytes(), QByteArray("this"));
        QCOMPARE(QApplication::focusWidget(), f->button("Command1"));
        QCOMPARE(f.docChanged(), qint16(0));
        QVERIFY(!f.text().isUndoAvailable());
    }

    // The colour string replaces the selection, the caret ends after it, and the focus
    // stays on the button that was clicked.
    void colorSelector_data() {
        QTest::addColumn<QColor>("color");
        for (const QColor c : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255),
                               QColor(0, 0, 0), QColor(10, 128, 5), QColor(0, 171, 0)})
            QTest::newRow(qPrintable(c.name())) << c;
    }
    void colorSelector() {
        QFETCH(QColor, color);
        prepare("<BODY BGCOLOR=white>", 14, 19);
        f.dialogs.answerColor(color);
        QTest::mouseClick(f->button("Command10"), Qt::LeftButton);
        QCOMPARE(f.bytes(), "<BODY BGCOLOR=" + QByteArray(QTest::currentDataTag()).toUpper() + ">");
        QCOMPARE(f.text().selStart(), 21);
        QCOMPARE(QApplication::focusWidget(), f->button("Command10"));
        QCOMPARE(f.docChanged(), qint16(1));
        f.text().undo();
        QCOMPARE(f.bytes(), QByteArray("<BODY BGCOLOR=white>"));
    }

    // The dialog opens on black first, then on the last confirmed colour; a cancel keeps
    // that colour and inserts nothing. Another window has its own selector.
    void colorDialogStartsOnLastConfirmedColour() {
        auto w = f.another();
        w->Text1().setBytes("ab");
        w->Text1().setSelStart(1);
        for (const QColor& c : {QColor(10, 128, 5), QColor(), QColor(1, 2, 3), QColor()})
            f.dialogs.answerColor(c);
        for (int i = 0; i < 4; ++i)
            w->runCommand("Command10");
        QCOMPARE(w->Text1().bytes().toByteArray(), QByteArray("a#0A8005#010203b"));
        auto other = f.another();
        f.dialogs.answerColor(QColor());
        other->runCommand("Command10");
        QVERIFY(other->Text1().isEmpty());
        QList<QColor> initial;
        for (const auto& call : f.dialogs.calls())
            initial << call.initialColor;
        QCOMPARE(initial, (QList<QColor>{Qt::black, QColor(10, 128, 5), QColor(10, 128, 5),
                                         QColor(1, 2, 3), Qt::black}));
    }

    // Font Color: the tag, then the colour inside it, caret before the ">", focus in the
    // editing area.
    void fontColor_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("blue") << QColor(Qt::blue) << QByteArray("x<FONT COLOR=#0000FF>y");
        QTest::newRow("cancelled") << QColor() << QByteArray("x<FONT COLOR=>y");
    }
    void fontColor() {
        QFETCH(QColor, color);
        QFETCH(QByteArray, after);
        prepare("xSELy", 1, 4);
        f.dialogs.answerColor(color);
        run("mnucolorf");
        QCOMPARE(f.bytes(), after);
        QCOMPARE(f.text().selStart(), after.size() - 2);
        QCOMPARE(QApplication::focusWidget(), &f.text());
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls().constFirst().kind, ScriptedDialogs::Kind::ChooseColor);
    }

    void largeDocument_data() { addRows(kLarge); }
    void largeDocument() {
        const auto& [name, piece, pieceCharacters, count, control] = fetchRow(kLarge);
        const SnippetRow& row = snippet(control);
        const QByteArray head = piece.repeated(count);
        const QByteArray tail = piece.repeated(7);
        const qint64 headCharacters = qint64(pieceCharacters) * count;
        prepare(head + tail, head.size(), head.size());
        QCOMPARE(f.text().selStart(), headCharacters);
        run(control);
        QCOMPARE(f.bytes(), head + textOf(row) + tail);
        QCOMPARE(f.text().selStart(), headCharacters + caretOf(row));
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS),
                 head.size() + caretOf(row));
        QCOMPARE(QApplication::focusWidget(), &f.text());
    }
};

QTEST_MAIN(SnippetsTest)
#include "test_snippets.moc"
