// SPDX-License-Identifier: GPL-3.0-or-later
// Tag insertion through the real menus and picture buttons of the main window: every
// snippet's bytes and caret, the guided boxes, the colour selector and its RGB split, undo,
// the change flag, the focus, and documents past the 16-bit caret range.
#include "MainWindowFixture.h"
#include "snippets/RGB.h"
#include "snippets/SnippetCatalogue.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#define CRLF "\r\n"

namespace {

// The question the hover button asks, as the catalogue holds it.
QString hoverQuestion() {
    return QString::fromLatin1(SnippetCatalogue::find(u"mnuhover")->guide->text);
}

// Where the caret of an entry ends, in characters from the start of its text.
int caretOf(const SnippetCatalogue::Entry& e) {
    return int(e.text.size()) - e.stepBack.value_or(0);
}

qint64 bytePosition(EditingArea& area) {
    return area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

struct AlignmentRow {
    const char* name;
    int from, to;
    QByteArray after;
} const kAlignment[] = {
    {"caret", 7, 7, "<TABLE ALIGN=CENTER>"},
    {"selection", 7, 13, "<TABLE ALIGN=>"},
    {"selection made backwards", 13, 7, "<TABLE ALIGN=>"},
};

struct MultiLineRow {
    const char* name;
    QString control;
    int line, column;
} const kMultiLine[] = {
    {"unordered list, after </UL>", "mnulist", 3, 5},
    {"ordered list, after </OL>", "mnuolist", 3, 5},
    {"2x2 table, after </TABLE>", "mnuItem2", 3, 8},
    {"2x3 no border, after </TABLE>", "mnunb2", 4, 8},
    {"form button, next line", "mnubuttonwindow", 3, 0},
    {"sound, next line", "mnusound", 2, 0},
};

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

        // A few entries against the design.
        struct Spot {
            const char* control;
            QByteArray text;
            int caret;  // -1: after the text
        };
        for (const Spot& sp :
             {Spot{"Command8", "<A HREF=></A>", 9}, Spot{"Command16", "<A HREF=MAILTO:>", 15},
              Spot{"mnufaceblank", "<FONT FACE=>", 11},
              Spot{"mnuvideo", "<img dynsrc=name of video here.avi start=fileopen>", -1}}) {
            const SnippetCatalogue::Entry* e =
                SnippetCatalogue::find(QString::fromLatin1(sp.control));
            QVERIFY2(e && !e->guide, sp.control);
            QCOMPARE(e->text.toByteArray(), sp.text);
            QCOMPARE(caretOf(*e), sp.caret < 0 ? int(sp.text.size()) : sp.caret);
        }
        QCOMPARE(SnippetCatalogue::find(u"mnuhover")->guide->buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(SnippetCatalogue::find(u"mnupopup")->guide->text,
                 SnippetCatalogue::find(u"mnurtclick")->guide->text);
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
            f.dialogs.answer(e.guide->buttons == Dialogs::Buttons::YesNo ? Dialogs::Yes
                                                                         : Dialogs::Ok);
        run(control);
        QCOMPARE(f.bytes(), before.left(from) + e.text.toByteArray() + before.mid(to));
        QCOMPARE(f.text().selStart(), qint64(from + caretOf(e)));
        QVERIFY(f.text().selectedBytes().isEmpty());
        QCOMPARE(QApplication::focusWidget(), &f.text());
        QCOMPARE(f.docChanged(), qint16(1));
        QCOMPARE(f->caption(), caption);
        QCOMPARE(f.dialogs.calls().size(), e.guide ? 1 : 0);
        if (e.guide) {
            QCOMPARE(f.dialogs.shown(0),
                     f.dialogs.box(QString::fromLatin1(e.guide->text), "Quindo", e.guide->buttons));
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

    void alignmentInsideAnOpeningTag_data() { addRows(kAlignment); }
    void alignmentInsideAnOpeningTag() {
        const auto& [name, from, to, after] = fetchRow(kAlignment);
        prepare("<TABLE CENTER>", from, to);
        run("Command14");
        QCOMPARE(f.bytes(), after);
        QCOMPARE(f.text().selStart(), 13);
        QCOMPARE(bytePosition(f.text()), 13);
        QVERIFY(f.text().selectedBytes().isEmpty());
        QVERIFY(f.text().hasFocus());
    }

    // Where the caret stands after a multi-line snippet, as line and column.
    void multiLineCaret_data() { addRows(kMultiLine); }
    void multiLineCaret() {
        const auto& [name, control, line, column] = fetchRow(kMultiLine);
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
        QCOMPARE(f.dialogs.calls().constFirst().text, hoverQuestion());
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
        QCOMPARE(seen, "Quindo|" + QString::number(QMessageBox::NoIcon) + "|" + hoverQuestion());
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
        for (const QColor c : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255),
                               QColor(0, 0, 0), QColor(10, 128, 5), QColor(0, 171, 0)})
            QTest::newRow(qPrintable(c.name())) << c << c.name().toUpper().toLatin1();
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

    void largeDocument_data() { addRows(kLarge); }
    void largeDocument() {
        const auto& [name, piece, pieceCharacters, count, control] = fetchRow(kLarge);
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
