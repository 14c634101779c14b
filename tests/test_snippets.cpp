// SPDX-License-Identifier: GPL-3.0-or-later
// Tag insertion through the real menus and picture buttons of the main window: every
// snippet's bytes and caret, the guided boxes, the colour selector and its RGB split, undo,
// the change flag, the focus, and documents past the 16-bit caret range.
#include "MainWindowFixture.h"
#include "snippets/RGB.h"
#include "snippets/SnippetCatalogue.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#define CRLF "\r\n"

namespace {

const QString kScriptWarning = QStringLiteral(
    "In order for this Javascript to work, you need to put this code in the <HEAD> </HEAD> "
    "section of the code.  If you paste this into the <BODY> it won't work.");
const QString kTransitionWarning = QStringLiteral(
    "In order for Transistions to work, you need to put this code in the <HEAD> </HEAD> section "
    "of the code.  If you paste this into the <BODY> it won't work.");
const QString kHoverQuestion = QStringLiteral(
    "Hover button is a Microsoft applet.  In order for it to work you will have to copy the files "
    "fphover.class and fphoverx.class  from the Quindo folder to the folder with your HTML "
    "document.  Do you wish to go ahead and add the appropriate HTML tags to the current "
    "document?");

// Where the caret of an entry ends, in characters from the start of its text.
int caretOf(const SnippetCatalogue::Entry& e) {
    return int(e.text.size()) - e.stepBack.value_or(0);
}

qint64 bytePosition(EditingArea& area) {
    return area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

}  // namespace

class SnippetsTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QList<QByteArray> textWhileOpen_;  // the document as it stood when each box came up

    // A fresh document: text, selection in bytes, unchanged, the focus away from the
    // editing area.
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

    // Every insertion command of the Text, Fonts, Tables and Scripts menus and of the button
    // row finds a snippet, every snippet belongs to a command that exists, and a few entries
    // hold what the design gives them.
    void catalogueMatchesTheCommands() {
        const QSet<QString> insertionMenus = {"mnutext", "mnufont", "mnuTable", "mnuscripts",
                                              "mnuexplorer"};
        const QSet<QString> ownHandlers = {"mnulistex", "mnucolorf", "Command10"};
        QStringList expected;
        for (const auto& entry : CommandSurface::menus()) {
            if (entry.kind == CommandSurface::Kind::Item &&
                insertionMenus.contains(QString::fromLatin1(entry.parent)))
                expected << QString::fromLatin1(entry.name);
        }
        for (int n = 8; n <= 17; ++n)
            expected << QStringLiteral("Command%1").arg(n);
        expected.removeIf([&](const QString& c) { return ownHandlers.contains(c); });
        QStringList inCatalogue;
        for (const auto& entry : SnippetCatalogue::entries()) {
            inCatalogue << QString::fromLatin1(entry.control);
            QVERIFY2(f->action(entry.control) || f->button(entry.control), entry.control);
            QVERIFY(!entry.text.isEmpty() && caretOf(entry) >= 0);
        }
        expected.sort();
        inCatalogue.sort();
        QCOMPARE(inCatalogue, expected);
        QVERIFY(!SnippetCatalogue::find(u"mnulistex") && !SnippetCatalogue::find(u"Command1"));

        struct Spot {
            const char* control;
            QByteArray text;
            int caret;  // -1: after the text
            QString box;
        };
        const QByteArray hover =
            "<applet code=fphover.class width=120 height=24>" CRLF
            "<param name=text value=Button Text>" CRLF "<param name=color value=#000080>" CRLF
            "<param name=hovercolor value=#0000FF>" CRLF "<param name=textcolor value=#FFFFFF>" CRLF
            "<param name=effect value=glow>" CRLF "<param name=url value=link.html valuetype=ref>" CRLF
            "</applet>" CRLF;
        const QByteArray trans =
            "<META http-equiv=Page-Enter content=RevealTrans(Duration=1.0,Transition=23)>" CRLF;
        const QList<Spot> spots{
            {"Command8", "<A HREF=></A>", 9, {}},
            {"Command16", "<A HREF=MAILTO:>", 15, {}},
            {"mnufaceblank", "<FONT FACE=>", 11, {}},
            {"mnunb2",
             "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=90%>" CRLF
             "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
             "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF
             "<TR><TD>data cell five<TD><TD>data cell six<TD></TR>" CRLF "</TABLE>",
             -1, {}},
            {"mnuhover", hover, -1, kHoverQuestion},
            {"mnurtclick",
             "<script language=javascript>" CRLF "function click() {" CRLF
             "if (event.button==2) {" CRLF "alert('Please do not copy my links!')" CRLF "}" CRLF
             "}" CRLF "document.onmousedown=click" CRLF "</script>" CRLF,
             -1, kScriptWarning},
            {"mnutrans", trans, -1, kTransitionWarning},
            {"mnuvideo", "<img dynsrc=name of video here.avi start=fileopen>", -1, {}},
        };
        for (const Spot& s : spots) {
            const SnippetCatalogue::Entry* e = SnippetCatalogue::find(QString::fromLatin1(s.control));
            QVERIFY2(e, s.control);
            QCOMPARE(e->text.toByteArray(), s.text);
            QCOMPARE(caretOf(*e), s.caret < 0 ? int(s.text.size()) : s.caret);
            QCOMPARE(e->guide ? QString::fromLatin1(e->guide->text) : QString(), s.box);
        }
        QCOMPARE(SnippetCatalogue::find(u"mnuhover")->guide->buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(SnippetCatalogue::find(u"mnupopup")->guide->text, kScriptWarning);
    }

    void insert_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const QByteArray text = "<P>Some words here</P>" CRLF "next line";
        for (const auto& e : SnippetCatalogue::entries()) {
            QTest::addRow("%s empty document", e.control) << e.control << QByteArray() << 0 << 0;
            QTest::addRow("%s caret inside a word", e.control) << e.control << text << 10 << 10;
            QTest::addRow("%s selected word", e.control) << e.control << text << 8 << 13;
        }
    }

    // Each command, run from its real item or button: the selection is replaced by the
    // snippet, the caret ends where the command puts it, the editing area has the focus, the
    // document counts as changed, and one undo restores the text.
    void insert() {
        QFETCH(QString, control);
        QFETCH(QByteArray, before);
        QFETCH(int, from);
        QFETCH(int, to);
        const SnippetCatalogue::Entry& e = *SnippetCatalogue::find(control);
        prepare(before, from, to);
        const QString caption = f->caption();
        if (e.guide)
            f.dialogs.answer(e.guide->buttons == Dialogs::Buttons::YesNo ? Dialogs::Yes : Dialogs::Ok);
        run(control);
        QCOMPARE(f.bytes(), before.left(from) + e.text.toByteArray() + before.mid(to));
        QCOMPARE(f.text().selStart(), qint64(from + caretOf(e)));
        QVERIFY(f.text().selectedBytes().isEmpty());
        QCOMPARE(QApplication::focusWidget(), &f.text());
        QCOMPARE(f.docChanged(), qint16(1));
        QCOMPARE(f->caption(), caption);
        QCOMPARE(f.dialogs.calls().size(), e.guide ? 1 : 0);
        if (e.guide) {
            const ScriptedDialogs::Call& call = f.dialogs.calls().constFirst();
            QCOMPARE(call.kind, ScriptedDialogs::Kind::Message);
            QCOMPARE(call.text, QString::fromLatin1(e.guide->text));
            QCOMPARE(call.buttons, e.guide->buttons);
            QCOMPARE(call.icon, Dialogs::Icon::None);
            QCOMPARE(call.title, QStringLiteral("Quindo"));
            // The box came up before anything was inserted.
            QCOMPARE(textWhileOpen_, QList<QByteArray>{before});
        }
        f.text().undo();
        QCOMPARE(f.bytes(), before);
    }

    void boldTwiceNests() {
        prepare("x", 1, 1);
        run("mnubold");
        run("Command17");
        QCOMPARE(f.bytes(), QByteArray("x<B><B></B></B>"));
        QCOMPARE(f.text().selStart(), 7);
        // Each insertion is its own undo step.
        f.text().undo();
        QCOMPARE(f.bytes(), QByteArray("x<B></B>"));
    }

    void alignmentInsideAnOpeningTag_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("caret") << 7 << 7 << QByteArray("<TABLE ALIGN=CENTER>");
        QTest::newRow("selection") << 7 << 13 << QByteArray("<TABLE ALIGN=>");
        QTest::newRow("selection made backwards") << 13 << 7 << QByteArray("<TABLE ALIGN=>");
    }

    void alignmentInsideAnOpeningTag() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, after);
        prepare("<TABLE CENTER>", from, to);
        run("Command14");
        QCOMPARE(f.bytes(), after);
        QCOMPARE(f.text().selStart(), 13);
        QCOMPARE(bytePosition(f.text()), 13);
        QVERIFY(f.text().selectedBytes().isEmpty());
        QVERIFY(f.text().hasFocus());
    }

    // Where the caret stands after a multi-line snippet, as line and column.
    void multiLineCaret_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("unordered list, after </UL>") << "mnulist" << 3 << 5;
        QTest::newRow("ordered list, after </OL>") << "mnuolist" << 3 << 5;
        QTest::newRow("2x2 table, after </TABLE>") << "mnuItem2" << 3 << 8;
        QTest::newRow("2x3 no border, after </TABLE>") << "mnunb2" << 4 << 8;
        QTest::newRow("form button, next line") << "mnubuttonwindow" << 3 << 0;
        QTest::newRow("sound, next line") << "mnusound" << 2 << 0;
    }

    void multiLineCaret() {
        QFETCH(QString, control);
        QFETCH(int, line);
        QFETCH(int, column);
        prepare("<BODY>" CRLF "</BODY>", 8, 8);
        run(control);
        int caretLine = -1;
        int caretColumn = -1;
        f.text().getCursorPosition(&caretLine, &caretColumn);
        QCOMPARE(caretLine, line + 1);
        QCOMPARE(caretColumn, column);
        QVERIFY(f.bytes().endsWith("</BODY>"));
        // One snippet, one undo step, however many lines it has.
        f.text().undo();
        QCOMPARE(f.bytes(), QByteArray("<BODY>" CRLF "</BODY>"));
    }

    void hoverAnsweredNoLeavesEverything() {
        prepare("keep this text", 5, 9);
        f.dialogs.answer(Dialogs::No);
        run("mnuhover");
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls().constFirst().text, kHoverQuestion);
        QCOMPARE(f.bytes(), QByteArray("keep this text"));
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART), 5);
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND), 9);
        QCOMPARE(QApplication::focusWidget(), f->button("Command1"));
        QCOMPARE(f.docChanged(), qint16(0));
        QVERIFY(!f.text().isUndoAvailable());
    }

    // The real question box: no icon, title "Quindo", Yes and No with Yes the default, so
    // Enter goes ahead.
    void hoverQuestionDefaultsToYes() {
        QtDialogs real;
        auto w = std::make_unique<frmMain>(real, QString());
        real.setParent(w.get());
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = box->windowTitle() + "|" + QString::number(box->icon()) + "|" + box->text();
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            defaultButton = box->standardButton(box->defaultButton());
            QTest::keyClick(box, Qt::Key_Return);
        });
        w->action("mnuhover")->trigger();
        QCOMPARE(seen, "Quindo|" + QString::number(QMessageBox::NoIcon) + "|" + kHoverQuestion);
        QCOMPARE(defaultButton, QMessageBox::Yes);
        QVERIFY(w->Text1().bytes().startsWith("<applet code=fphover.class width=120 height=24>"));
        QVERIFY(w->Text1().bytes().endsWith("</applet>" CRLF));
    }

    // The split of a colour value into its bytes, over the whole range of colours the
    // dialog can give (each part is a byte, so the sum pins every part down).
    void rgbSplitWholeRange() {
        RGB rgb;
        for (qint32 v = 0; v <= 0xFFFFFF; ++v) {
            rgb.Color(v);
            if (rgb.Red() + 256 * rgb.Green() + 65536 * rgb.Blue() != v)
                QFAIL(qPrintable(QString::number(v, 16)));
        }
    }

    void colorSelector_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QByteArray>("string");
        QTest::newRow("red") << QColor(255, 0, 0) << QByteArray("#FF0000");
        QTest::newRow("blue") << QColor(0, 0, 255) << QByteArray("#0000FF");
        QTest::newRow("white") << QColor(255, 255, 255) << QByteArray("#FFFFFF");
        QTest::newRow("black") << QColor(0, 0, 0) << QByteArray("#000000");
        QTest::newRow("10 128 5") << QColor(10, 128, 5) << QByteArray("#0A8005");
        QTest::newRow("green only") << QColor(0, 171, 0) << QByteArray("#00AB00");
    }

    // The colour string replaces the selection, the caret ends after it, and the focus
    // stays on the button that was clicked.
    void colorSelector() {
        QFETCH(QColor, color);
        QFETCH(QByteArray, string);
        prepare("<BODY BGCOLOR=white>", 14, 19);
        f.dialogs.answerColor(color);
        QTest::mouseClick(f->button("Command10"), Qt::LeftButton);
        QCOMPARE(f.bytes(), "<BODY BGCOLOR=" + string + ">");
        QCOMPARE(f.text().selStart(), 21);
        QCOMPARE(QApplication::focusWidget(), f->button("Command10"));
        QCOMPARE(f.docChanged(), qint16(1));
        f.text().undo();
        QCOMPARE(f.bytes(), QByteArray("<BODY BGCOLOR=white>"));
    }

    // The dialog opens on black first, then on the last confirmed colour; a cancel keeps
    // that colour and inserts nothing.
    void colorDialogStartsOnLastConfirmedColour() {
        auto w = f.another();
        w->Text1().setBytes("ab");
        w->Text1().setSelStart(1);
        for (const QColor& c : {QColor(10, 128, 5), QColor(), QColor(1, 2, 3), QColor()})
            f.dialogs.answerColor(c);
        for (int i = 0; i < 4; ++i) {
            w->runCommand("Command10");
            if (i == 1)
                QCOMPARE(w->Text1().bytes().toByteArray(), QByteArray("a#0A8005b"));
        }
        QCOMPARE(w->Text1().bytes().toByteArray(), QByteArray("a#0A8005#010203b"));
        // Another window has its own selector: it starts on black again.
        auto other = f.another();
        f.dialogs.answerColor(QColor());
        other->runCommand("Command10");
        QVERIFY(other->Text1().isEmpty());
        QList<QColor> initial;
        for (const auto& call : f.dialogs.calls()) {
            QCOMPARE(call.kind, ScriptedDialogs::Kind::ChooseColor);
            initial << call.initialColor;
        }
        QCOMPARE(initial, (QList<QColor>{Qt::black, QColor(10, 128, 5), QColor(10, 128, 5),
                                         QColor(1, 2, 3), Qt::black}));
    }

    void fontColor_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("caret");
        QTest::newRow("blue") << QColor(Qt::blue) << QByteArray("x<FONT COLOR=#0000FF>y") << 20;
        QTest::newRow("cancelled") << QColor() << QByteArray("x<FONT COLOR=>y") << 13;
    }

    // Font Color: the tag, then the colour inside it, caret before the ">", focus in the
    // editing area.
    void fontColor() {
        QFETCH(QColor, color);
        QFETCH(QByteArray, after);
        QFETCH(int, caret);
        prepare("xSELy", 1, 4);
        f.dialogs.answerColor(color);
        run("mnucolorf");
        QCOMPARE(f.bytes(), after);
        QCOMPARE(f.text().selStart(), caret);
        QCOMPARE(f.bytes()[caret], '>');
        QCOMPARE(QApplication::focusWidget(), &f.text());
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls().constFirst().kind, ScriptedDialogs::Kind::ChooseColor);
    }

    // Caret steps past the 16-bit range, in ASCII, UTF-8 with characters wider than a byte
    // and 8-bit documents.
    void largeDocument_data() {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<int>("pieceCharacters");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("control");
        QTest::newRow("ascii past 32767") << QByteArray("abcdefghij") << 10 << 3277 << "Command15";
        QTest::newRow("ascii at 65536") << QByteArray("abcdefgh") << 8 << 8192 << "mnubold";
        QTest::newRow("lines past 32767") << QByteArray("<P>line" CRLF) << 9 << 5000 << "mnumarq";
        // "é€𝄞x": 4 characters in 10 bytes.
        QTest::newRow("utf-8 before the caret")
            << QByteArray("\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9ex") << 4 << 9000 << "Command8";
        QTest::newRow("utf-8 short") << QByteArray("\xc3\xa9\xe2\x82\xac") << 2 << 3 << "mnufaceblank";
        QTest::newRow("8-bit past 32767") << QByteArray("caf\xe9 ") << 5 << 8000 << "Command16";
        QTest::newRow("4 MB") << QByteArray(1024, 'z') << 1024 << 4096 << "mnubullet";
    }

    void largeDocument() {
        QFETCH(QByteArray, piece);
        QFETCH(int, pieceCharacters);
        QFETCH(int, count);
        QFETCH(QString, control);
        const SnippetCatalogue::Entry& e = *SnippetCatalogue::find(control);
        const QByteArray head = piece.repeated(count);
        const QByteArray tail = piece.repeated(7);
        const qint64 headCharacters = qint64(pieceCharacters) * count;
        prepare(head + tail, head.size(), head.size());
        QCOMPARE(f.text().selStart(), headCharacters);
        run(control);
        QCOMPARE(f.bytes(), head + e.text.toByteArray() + tail);
        QCOMPARE(f.text().selStart(), headCharacters + caretOf(e));
        QCOMPARE(bytePosition(f.text()), head.size() + caretOf(e));
        QCOMPARE(QApplication::focusWidget(), &f.text());
    }

    // A 100 MB document: the step back lands right at the end of a long text.
    void hundredMegabytes() {
        const qsizetype size = 100 * 1024 * 1024;
        QByteArray big(size, 'a');
        for (qsizetype i = 99; i < size; i += 100)
            big[i] = '\n';
        prepare(big, size, size);
        big.clear();
        run("Command15");
        QCOMPARE(f.text().byteLength(), size + 17);
        QCOMPARE(f.text().selStart(), qint64(size) + 8);
        QCOMPARE(f.text().bytes().sliced(size).toByteArray(), QByteArray("<CENTER></CENTER>"));
        f.text().setBytes({});
    }
};

QTEST_MAIN(SnippetsTest)
#include "test_snippets.moc"
