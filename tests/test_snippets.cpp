// SPDX-License-Identifier: GPL-3.0-or-later
// Tag insertion through the real menus and picture buttons of the main window: every
// snippet's bytes and caret, the guided boxes, the colour selector and its RGB split, undo,
// the change flag, the focus, and documents past the 16-bit caret range.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "snippets/RGB.h"
#include "snippets/SnippetCatalogue.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <memory>

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

// What each command must insert and where its caret ends, counted in characters from the
// start of the inserted text; with the box it shows first, if any.
struct Expected {
    const char* control;
    QByteArray text;
    int caret;
    QString box;
    Dialogs::Buttons buttons;
};

QList<Expected> expectedSnippets() {
    const QByteArray table22 = "<TR><TD>data cell one<TD><TD>data cell two<TD></TR>" CRLF
                               "<TR><TD>data cell three<TD><TD>data cell four<TD></TR>" CRLF;
    const QByteArray row3 = "<TR><TD>data cell five<TD><TD>data cell six<TD></TR>" CRLF;
    const QByteArray border = "<TABLE BORDER=5 CELLPADDING=0 COLSPACING=0 WIDTH=90%>" CRLF;
    const QByteArray hover =
        "<applet code=fphover.class width=120 height=24>" CRLF
        "<param name=text value=Button Text>" CRLF "<param name=color value=#000080>" CRLF
        "<param name=hovercolor value=#0000FF>" CRLF "<param name=textcolor value=#FFFFFF>" CRLF
        "<param name=effect value=glow>" CRLF "<param name=url value=link.html valuetype=ref>" CRLF
        "</applet>" CRLF;
    const QByteArray popup =
        "<script language=javascript>" CRLF "<!--" CRLF
        "alert('Welcome to a Tamblor9 Quindo Web page!')" CRLF "// -->" CRLF "</script>" CRLF;
    const QByteArray rtclick =
        "<script language=javascript>" CRLF "function click() {" CRLF "if (event.button==2) {" CRLF
        "alert('Please do not copy my links!')" CRLF "}" CRLF "}" CRLF
        "document.onmousedown=click" CRLF "</script>" CRLF;
    const QByteArray trans =
        "<META http-equiv=Page-Enter content=RevealTrans(Duration=1.0,Transition=23)>" CRLF;
    const QByteArray list = "<UL>" CRLF "<LI>BULLET 1</LI>" CRLF "<LI>BULLET 2</LI>" CRLF "</UL>";
    const QByteArray olist = "<OL>" CRLF "<LI>LINE 1</LI>" CRLF "<LI>LINE 2</LI>" CRLF "</OL>";
    const QByteArray form =
        "<FORM>" CRLF "<input type=button value=Click me onClick=alert('Yo')>" CRLF "</form>" CRLF;
    const QByteArray sound =
        "<EMBED SRC=soundnamehere.mid HIDDEN=True>" CRLF "<BGSOUND SRC=soundnamehere.mid>" CRLF;

    using B = Dialogs::Buttons;
    auto plain = [](const char* control, const QByteArray& text, int caret = -1) {
        return Expected{control, text, caret < 0 ? int(text.size()) : caret, {}, B::Ok};
    };
    return {
        plain("Command8", "<A HREF=></A>", 9),
        plain("Command9", "<IMG SRC=>", 9),
        plain("Command11", "<BR>"),
        plain("Command12", "<P>"),
        plain("Command13", "<HR>"),
        plain("Command14", "ALIGN="),
        plain("Command15", "<CENTER></CENTER>", 8),
        plain("Command16", "<A HREF=MAILTO:>", 15),
        plain("Command17", "<B></B>", 3),
        plain("mnubold", "<B></B>", 3),
        plain("mnuitalics", "<I></I>", 3),
        plain("mnuunder", "<U></U>", 3),
        plain("mnulist", list),
        plain("mnuolist", olist),
        plain("mnubullet", "<LI></LI>", 4),
        plain("mnufontoff", "</FONT>"),
        plain("mnuone", "<FONT SIZE=1>"),
        plain("mnutwo", "<FONT SIZE=2>"),
        plain("mnuthree", "<FONT SIZE=3>"),
        plain("mnuFour", "<FONT SIZE=4>"),
        plain("mnufive", "<FONT SIZE=5>"),
        plain("mnuSix", "<FONT SIZE=6>"),
        plain("mnuseven", "<FONT SIZE=7>"),
        plain("mnutextsizeminus", "<FONT SIZE=-1>"),
        plain("mnutextsizeplus", "<FONT SIZE=+1>"),
        plain("mnufaceblank", "<FONT FACE=>", 11),
        plain("mnuarial", "<FONT FACE=ARIAL,HELVETICA>"),
        plain("mnuVerdana", "<FONT FACE=VERDANA>"),
        plain("mnutimes", "<FONT FACE=TIMES>"),
        plain("mnusans", "<FONT FACE=GARAMOND>"),
        plain("mnuItem2", border + table22 + "</TABLE>"),
        plain("mnuItem23", border + table22 + row3 + "</TABLE>"),
        plain("mnunb1",
              "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=100%>" CRLF + table22 + "</TABLE>"),
        plain("mnunb2",
              "<TABLE CELLPADDING=0 COLSPACING=2 WIDTH=90%>" CRLF + table22 + row3 + "</TABLE>"),
        plain("mnubuttonwindow", form),
        plain("mnusound", sound),
        {"mnuhover", hover, int(hover.size()), kHoverQuestion, B::YesNo},
        {"mnupopup", popup, int(popup.size()), kScriptWarning, B::Ok},
        {"mnurtclick", rtclick, int(rtclick.size()), kScriptWarning, B::Ok},
        plain("mnumarq", "<MARQUEE BORDER=0></MARQUEE>", 18),
        {"mnutrans", trans, int(trans.size()), kTransitionWarning, B::Ok},
        plain("mnuvideo", "<img dynsrc=name of video here.avi start=fileopen>"),
    };
}

// Passes every call to the scripted dialogs and keeps the document's text as it stood when
// each box came up.
class WatchingDialogs final : public Dialogs {
  public:
    ScriptedDialogs script;
    frmMain* window = nullptr;
    QList<QByteArray> textWhileOpen;

    int messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override {
        textWhileOpen << window->Text1().bytes().toByteArray();
        return script.messageBox(text, buttons, icon, title);
    }
    QString openFile(const FileRequest& r) override { return script.openFile(r); }
    QString saveFile(const FileRequest& r) override { return script.saveFile(r); }
    QString chooseProgram(const FileRequest& r) override { return script.chooseProgram(r); }
    std::optional<QColor> chooseColor(const QColor& initial) override {
        return script.chooseColor(initial);
    }
};

qint64 bytePosition(EditingArea& area) {
    return area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

void selectBytes(EditingArea& area, qint64 from, qint64 to) {
    area.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from),
                       static_cast<long>(to));
}

}  // namespace

class SnippetsTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    WatchingDialogs dialogs_;
    std::unique_ptr<frmMain> w_;

    ScriptedDialogs& script() { return dialogs_.script; }

    std::unique_ptr<frmMain> newWindow() {
        auto w = std::make_unique<frmMain>(dialogs_, QString());
        dialogs_.window = w.get();
        w->show();
        if (!QTest::qWaitForWindowActive(w.get())) {
            qWarning("window not active");
        }
        return w;
    }

    // A fresh document: text, selection in bytes, unchanged, the focus away from the
    // editing area.
    void prepare(const QByteArray& text, qint64 from, qint64 to) {
        w_->Text1().setBytes(text);
        selectBytes(w_->Text1(), from, to);
        w_->DocChanged = 0;
        w_->button("Command1")->setFocus();
        QCOMPARE(QApplication::focusWidget(), w_->button("Command1"));
    }

    // Runs a command the way the user does: clicks its picture button or triggers its item.
    void runFromSurface(const QString& control) {
        if (PictureButton* b = w_->button(control)) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else {
            QAction* a = w_->action(control);
            QVERIFY2(a, qPrintable(control));
            a->trigger();
        }
    }

  private slots:
    void initTestCase() {
        w_ = newWindow();
        QVERIFY(w_->isActiveWindow());
    }

    void init() {
        script().clear();
        dialogs_.textWhileOpen.clear();
        dialogs_.window = w_.get();
        // A test that showed a window of its own leaves the shared one inactive.
        if (!w_->isActiveWindow()) {
            w_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        }
    }

    void cleanup() {
        QVERIFY2(script().unexpected().isEmpty(), qPrintable(script().unexpected().join("; ")));
        QCOMPARE(script().pending(), 0);
    }

    // Every insertion command of the Text, Fonts, Tables and Scripts menus and of the button
    // row finds a snippet, and every snippet belongs to a command that exists.
    void everyInsertionCommandHasItsSnippet() {
        const QSet<QString> insertionMenus = {"mnutext", "mnufont", "mnuTable", "mnuscripts",
                                              "mnuexplorer"};
        const QSet<QString> ownHandlers = {"mnulistex", "mnucolorf", "Command10"};
        QStringList commands;
        for (const auto& entry : CommandSurface::menus()) {
            if (entry.kind == CommandSurface::Kind::Item &&
                insertionMenus.contains(QString::fromLatin1(entry.parent))) {
                commands << QString::fromLatin1(entry.name);
            }
        }
        for (int n = 8; n <= 17; ++n) {
            commands << QStringLiteral("Command%1").arg(n);
        }
        QStringList expected;
        for (const QString& c : commands) {
            if (!ownHandlers.contains(c)) {
                expected << c;
                QVERIFY2(SnippetCatalogue::find(c), qPrintable(c));
            }
        }
        QStringList inCatalogue;
        for (const auto& entry : SnippetCatalogue::entries()) {
            inCatalogue << QString::fromLatin1(entry.control);
            QVERIFY2(w_->action(entry.control) || w_->button(entry.control), entry.control);
        }
        expected.sort();
        inCatalogue.sort();
        QCOMPARE(inCatalogue, expected);
        QStringList tested;
        for (const Expected& e : expectedSnippets()) {
            tested << QString::fromLatin1(e.control);
        }
        tested.sort();
        QCOMPARE(tested, expected);
        QVERIFY(!SnippetCatalogue::find(u"mnulistex"));
        QVERIFY(!SnippetCatalogue::find(u"Command1"));
    }

    void insert_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("snippet");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const QByteArray text = "<P>Some words here</P>" CRLF "next line";
        for (const Expected& e : expectedSnippets()) {
            auto row = [&](const char* where, const QByteArray& before, int from, int to) {
                QTest::addRow("%s %s", e.control, where)
                    << QString::fromLatin1(e.control) << e.text << e.caret << e.box
                    << int(e.buttons) << before << from << to;
            };
            row("empty document", QByteArray(), 0, 0);
            row("caret inside a word", text, 10, 10);
            row("selected word", text, 8, 13);
        }
    }

    // Each command, run from its real item or button: the selection is replaced by the
    // snippet, the caret ends where the command puts it, the editing area has the focus, the
    // document counts as changed, and one undo restores the text.
    void insert() {
        QFETCH(QString, control);
        QFETCH(QByteArray, snippet);
        QFETCH(int, caret);
        QFETCH(QString, box);
        QFETCH(int, buttons);
        QFETCH(QByteArray, before);
        QFETCH(int, from);
        QFETCH(int, to);
        prepare(before, from, to);
        const QString caption = w_->caption();
        if (!box.isEmpty()) {
            script().answer(buttons == int(Dialogs::Buttons::YesNo) ? Dialogs::Yes : Dialogs::Ok);
        }

        runFromSurface(control);

        EditingArea& area = w_->Text1();
        const QByteArray after = before.left(from) + snippet + before.mid(to);
        QCOMPARE(area.bytes().toByteArray(), after);
        QCOMPARE(area.selStart(), qint64(from + caret));
        QVERIFY(area.selectedBytes().isEmpty());
        QCOMPARE(QApplication::focusWidget(), &area);
        QCOMPARE(w_->DocChanged, qint16(1));
        QCOMPARE(w_->caption(), caption);
        if (box.isEmpty()) {
            QVERIFY(script().calls().isEmpty());
        } else {
            QCOMPARE(script().calls().size(), 1);
            const ScriptedDialogs::Call& call = script().calls().constFirst();
            QCOMPARE(call.kind, ScriptedDialogs::Kind::Message);
            QCOMPARE(call.text, box);
            QCOMPARE(int(call.buttons), buttons);
            QCOMPARE(call.icon, Dialogs::Icon::None);
            QCOMPARE(call.title, QStringLiteral("Quindo"));
            // The box came up before anything was inserted.
            QCOMPARE(dialogs_.textWhileOpen, QList<QByteArray>{before});
        }

        area.undo();
        QCOMPARE(area.bytes().toByteArray(), before);
    }

    // The Bold button and the Bold item give the same text, caret, focus and change flag.
    void buttonAndMenuItemAgree_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("empty") << QByteArray() << 0 << 0;
        QTest::newRow("selection") << QByteArray("one two three") << 4 << 7;
        QTest::newRow("end of text") << QByteArray("line" CRLF) << 6 << 6;
    }

    void buttonAndMenuItemAgree() {
        QFETCH(QByteArray, before);
        QFETCH(int, from);
        QFETCH(int, to);
        struct Result {
            QByteArray bytes;
            qint64 caret;
            QWidget* focus;
            qint16 changed;
        };
        auto run = [&](const QString& control) {
            prepare(before, from, to);
            runFromSurface(control);
            return Result{w_->Text1().bytes().toByteArray(), w_->Text1().selStart(),
                          QApplication::focusWidget(), w_->DocChanged};
        };
        const Result button = run("Command17");
        const Result item = run("mnubold");
        QCOMPARE(button.bytes, item.bytes);
        QCOMPARE(button.caret, item.caret);
        QCOMPARE(button.focus, item.focus);
        QCOMPARE(button.focus, &w_->Text1());
        QCOMPARE(button.changed, item.changed);
        QCOMPARE(button.bytes, before.left(from) + "<B></B>" + before.mid(to));
    }

    void boldTwiceNests() {
        prepare("x", 1, 1);
        runFromSurface("mnubold");
        runFromSurface("Command17");
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("x<B><B></B></B>"));
        QCOMPARE(w_->Text1().selStart(), 7);
        // Each insertion is its own undo step.
        w_->Text1().undo();
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("x<B></B>"));
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
        runFromSurface("Command14");
        QCOMPARE(w_->Text1().bytes().toByteArray(), after);
        QCOMPARE(w_->Text1().selStart(), 13);
        QCOMPARE(bytePosition(w_->Text1()), 13);
        QVERIFY(w_->Text1().selectedBytes().isEmpty());
        QVERIFY(w_->Text1().hasFocus());
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
        runFromSurface(control);
        int caretLine = -1;
        int caretColumn = -1;
        w_->Text1().getCursorPosition(&caretLine, &caretColumn);
        QCOMPARE(caretLine, line + 1);
        QCOMPARE(caretColumn, column);
        QVERIFY(w_->Text1().bytes().toByteArray().endsWith("</BODY>"));
        // One snippet, one undo step, however many lines it has.
        w_->Text1().undo();
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("<BODY>" CRLF "</BODY>"));
    }

    void hoverAnsweredNoLeavesEverything() {
        prepare("keep this text", 5, 9);
        script().answer(Dialogs::No);
        runFromSurface("mnuhover");
        QCOMPARE(script().calls().size(), 1);
        QCOMPARE(script().calls().constFirst().text, kHoverQuestion);
        QCOMPARE(script().calls().constFirst().buttons, Dialogs::Buttons::YesNo);
        EditingArea& area = w_->Text1();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("keep this text"));
        QCOMPARE(area.selectedBytes(), QByteArray("this"));
        QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART), 5);
        QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND), 9);
        QCOMPARE(QApplication::focusWidget(), w_->button("Command1"));
        QCOMPARE(w_->DocChanged, qint16(0));
        QVERIFY(!area.isUndoAvailable());
    }

    // The real question box: no icon, title "Quindo", Yes and No with Yes the default, so
    // Enter goes ahead.
    void hoverQuestionDefaultsToYes() {
        QtDialogs real;
        frmMain w(real, QString());
        real.setParent(&w);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        struct Seen {
            bool shown = false;
            QString title;
            QString text;
            QMessageBox::Icon icon = QMessageBox::Information;
            QMessageBox::StandardButtons buttons;
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        } seen;
        QTimer::singleShot(0, this, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            seen.shown = true;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = box->standardButtons();
            seen.defaultButton = box->standardButton(box->defaultButton());
            QTest::keyClick(box, Qt::Key_Return);
        });
        w.action("mnuhover")->trigger();
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, QStringLiteral("Quindo"));
        QCOMPARE(seen.text, kHoverQuestion);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.defaultButton, QMessageBox::Yes);
        QVERIFY(w.Text1().bytes().startsWith("<applet code=fphover.class width=120 height=24>"));
        QVERIFY(w.Text1().bytes().endsWith("</applet>" CRLF));
    }

    // The warnings come first and the snippet then goes in wherever the caret is, body
    // included.
    void warningsInsertInTheBodyToo_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("popup") << "mnupopup" << kScriptWarning
                               << QByteArray("<script language=javascript>" CRLF);
        QTest::newRow("right click")
            << "mnurtclick" << kScriptWarning << QByteArray("<script language=javascript>" CRLF);
        QTest::newRow("transitions")
            << "mnutrans" << kTransitionWarning << QByteArray("<META http-equiv=Page-Enter");
    }

    void warningsInsertInTheBodyToo() {
        QFETCH(QString, control);
        QFETCH(QString, box);
        QFETCH(QByteArray, firstLine);
        const QByteArray page = "<HTML><HEAD></HEAD><BODY>" CRLF "</BODY></HTML>";
        prepare(page, 27, 27);
        script().answer(Dialogs::Ok);
        runFromSurface(control);
        QCOMPARE(script().calls().size(), 1);
        QCOMPARE(script().calls().constFirst().text, box);
        QCOMPARE(dialogs_.textWhileOpen, QList<QByteArray>{page});
        const QByteArray after = w_->Text1().bytes().toByteArray();
        QVERIFY(after.startsWith("<HTML><HEAD></HEAD><BODY>" CRLF + firstLine));
        QVERIFY(after.endsWith(CRLF "</BODY></HTML>"));
        QCOMPARE(w_->Text1().selStart(), after.size() - 14);
    }

    // The split of a colour value into its bytes, over the whole range of colours the
    // dialog can give.
    void rgbSplit_data() {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::newRow("black") << qint32(0) << 0 << 0 << 0;
        QTest::newRow("lowest red") << qint32(1) << 1 << 0 << 0;
        QTest::newRow("red") << qint32(255) << 255 << 0 << 0;
        QTest::newRow("lowest green") << qint32(256) << 0 << 1 << 0;
        QTest::newRow("red and green") << qint32(65535) << 255 << 255 << 0;
        QTest::newRow("lowest blue") << qint32(65536) << 0 << 0 << 1;
        QTest::newRow("blue") << qint32(0xFF0000) << 0 << 0 << 255;
        QTest::newRow("white") << qint32(16777215) << 255 << 255 << 255;
        QTest::newRow("10 128 5") << qint32(0x05800A) << 10 << 128 << 5;
    }

    void rgbSplit() {
        QFETCH(qint32, value);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        RGB rgb;
        rgb.Color(value);
        QCOMPARE(int(rgb.Red()), red);
        QCOMPARE(int(rgb.Green()), green);
        QCOMPARE(int(rgb.Blue()), blue);
    }

    void rgbSplitWholeRange() {
        RGB rgb;
        for (qint32 v = 0; v <= 0xFFFFFF; ++v) {
            rgb.Color(v);
            if (rgb.Red() + 256 * rgb.Green() + 65536 * rgb.Blue() != v) {
                QFAIL(qPrintable(QString::number(v, 16)));
            }
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
        script().answerColor(color);
        QTest::mouseClick(w_->button("Command10"), Qt::LeftButton);
        QCOMPARE(w_->Text1().bytes().toByteArray(), "<BODY BGCOLOR=" + string + ">");
        QCOMPARE(w_->Text1().selStart(), 21);
        QCOMPARE(QApplication::focusWidget(), w_->button("Command10"));
        QCOMPARE(w_->DocChanged, qint16(1));
        w_->Text1().undo();
        QCOMPARE(w_->Text1().bytes().toByteArray(), QByteArray("<BODY BGCOLOR=white>"));
    }

    // The dialog opens on black first, then on the last confirmed colour; a cancel keeps
    // that colour and inserts nothing.
    void colorDialogStartsOnLastConfirmedColour() {
        auto w = newWindow();
        w->Text1().setBytes("ab");
        w->Text1().setSelStart(1);
        w->DocChanged = 0;
        script().answerColor(QColor(10, 128, 5));
        script().answerColor(QColor());
        script().answerColor(QColor(1, 2, 3));
        script().answerColor(QColor());
        w->Command10_Click();
        w->Command10_Click();
        QCOMPARE(w->Text1().bytes().toByteArray(), QByteArray("a#0A8005b"));
        w->Command10_Click();
        w->Command10_Click();
        QCOMPARE(w->Text1().bytes().toByteArray(), QByteArray("a#0A8005#010203b"));
        QCOMPARE(script().calls().size(), 4);
        QCOMPARE(script().calls()[0].kind, ScriptedDialogs::Kind::ChooseColor);
        QCOMPARE(script().calls()[0].initialColor, QColor(Qt::black));
        QCOMPARE(script().calls()[1].initialColor, QColor(10, 128, 5));
        QCOMPARE(script().calls()[2].initialColor, QColor(10, 128, 5));
        QCOMPARE(script().calls()[3].initialColor, QColor(1, 2, 3));
        // Another window has its own selector: it starts on black again.
        auto other = std::make_unique<frmMain>(dialogs_, QString());
        script().answerColor(QColor());
        other->Command10_Click();
        QCOMPARE(script().calls()[4].initialColor, QColor(Qt::black));
        QVERIFY(other->Text1().isEmpty());
        QCOMPARE(other->DocChanged, qint16(0));
        dialogs_.window = w_.get();
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
        script().answerColor(color);
        runFromSurface("mnucolorf");
        QCOMPARE(w_->Text1().bytes().toByteArray(), after);
        QCOMPARE(w_->Text1().selStart(), caret);
        QCOMPARE(w_->Text1().bytes()[caret], '>');
        QCOMPARE(QApplication::focusWidget(), &w_->Text1());
        QCOMPARE(script().calls().size(), 1);
        QCOMPARE(script().calls().constFirst().kind, ScriptedDialogs::Kind::ChooseColor);
    }

    // Caret steps past the 16-bit range, in ASCII, UTF-8 with characters wider than a byte
    // and 8-bit documents.
    void largeDocument_data() {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<int>("pieceCharacters");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("snippet");
        QTest::addColumn<int>("caret");
        QTest::newRow("ascii past 32767") << QByteArray("abcdefghij") << 10 << 3277 << "Command15"
                                          << QByteArray("<CENTER></CENTER>") << 8;
        QTest::newRow("ascii at 65536")
            << QByteArray("abcdefgh") << 8 << 8192 << "mnubold" << QByteArray("<B></B>") << 3;
        QTest::newRow("lines past 32767") << QByteArray("<P>line" CRLF) << 9 << 5000 << "mnumarq"
                                          << QByteArray("<MARQUEE BORDER=0></MARQUEE>") << 18;
        // "é€𝄞x": 4 characters in 10 bytes.
        QTest::newRow("utf-8 before the caret")
            << QByteArray("\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9ex") << 4 << 9000 << "Command8"
            << QByteArray("<A HREF=></A>") << 9;
        QTest::newRow("utf-8 short") << QByteArray("\xc3\xa9\xe2\x82\xac") << 2 << 3
                                     << "mnufaceblank" << QByteArray("<FONT FACE=>") << 11;
        QTest::newRow("8-bit past 32767") << QByteArray("caf\xe9 ") << 5 << 8000 << "Command16"
                                          << QByteArray("<A HREF=MAILTO:>") << 15;
        QTest::newRow("4 MB") << QByteArray(1024, 'z') << 1024 << 4096 << "mnubullet"
                              << QByteArray("<LI></LI>") << 4;
    }

    void largeDocument() {
        QFETCH(QByteArray, piece);
        QFETCH(int, pieceCharacters);
        QFETCH(int, count);
        QFETCH(QString, control);
        QFETCH(QByteArray, snippet);
        QFETCH(int, caret);
        const QByteArray head = piece.repeated(count);
        const QByteArray tail = piece.repeated(7);
        const qint64 headCharacters = qint64(pieceCharacters) * count;
        prepare(head + tail, head.size(), head.size());
        QCOMPARE(w_->Text1().selStart(), headCharacters);
        runFromSurface(control);
        const QByteArrayView after = w_->Text1().bytes();
        QCOMPARE(after.size(), head.size() + snippet.size() + tail.size());
        QVERIFY(after.startsWith(head));
        QCOMPARE(after.sliced(head.size(), snippet.size()).toByteArray(), snippet);
        QVERIFY(after.endsWith(tail));
        QCOMPARE(w_->Text1().selStart(), headCharacters + caret);
        QCOMPARE(bytePosition(w_->Text1()), head.size() + caret);
        QCOMPARE(QApplication::focusWidget(), &w_->Text1());
    }

    // A 100 MB document: the step back lands right at the end of a long text.
    void hundredMegabytes() {
        const qsizetype size = 100 * 1024 * 1024;
        QByteArray big(size, 'a');
        for (qsizetype i = 99; i < size; i += 100) {
            big[i] = '\n';
        }
        prepare(big, size, size);
        big.clear();
        runFromSurface("Command15");
        QCOMPARE(w_->Text1().byteLength(), size + 17);
        QCOMPARE(w_->Text1().selStart(), qint64(size) + 8);
        QCOMPARE(w_->Text1().bytes().sliced(size).toByteArray(), QByteArray("<CENTER></CENTER>"));
        w_->Text1().setBytes({});
    }

    void cleanupTestCase() { w_.reset(); }
};

QTEST_MAIN(SnippetsTest)
#include "test_snippets.moc"
