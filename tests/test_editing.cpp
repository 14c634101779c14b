// SPDX-License-Identifier: GPL-3.0-or-later
// The editing area's keys and right-click menu, Find and Replace, Go to Line and Check Page,
// through the real window, its keys, the real clipboard and the real HTML Tidy (or a
// stand-in for it first on PATH).
#include "MainWindowFixture.h"
#include "editing/EditingCommands.h"
#include "editing/PageCheck.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "ui/Features.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>

namespace {

using Sci = QsciScintillaBase;
const QByteArray kText = "ab cd\r\nef";

// Keys pressed on kText with "ab" selected (anchor 0, caret 2), and what they leave.
struct KeyRow {
    const char* name;
    const char* keys;
    QByteArray text;
    long anchor, caret;
} const kKeyRows[] = {
    // Removed: each changes nothing.
    {"Ctrl+L cuts no line", "Ctrl+L", kText, 0, 2},
    {"Ctrl+Shift+L deletes no line", "Ctrl+Shift+L", kText, 0, 2},
    {"Ctrl+T swaps no lines", "Down, Ctrl+T", kText, 9, 9},
    {"Ctrl+D duplicates nothing", "Ctrl+D", kText, 0, 2},
    {"Ctrl+Shift+U changes no case", "Ctrl+Shift+U", kText, 0, 2},
    {"Ctrl+Shift+Q types nothing", "Ctrl+Shift+Q", kText, 0, 2},
    {"Alt+Backspace undoes nothing", "X, Alt+Backspace", "x cd\r\nef", 1, 1},
    {"Insert leaves overtype off", "Ins, Right, X", "abx cd\r\nef", 3, 3},
    {"keypad Ctrl+minus zooms not", "Ctrl+Num+-", kText, 0, 2},
    // Kept: each does its one thing.
    {"Ctrl+Right by word", "Ctrl+Right", kText, 3, 3},
    {"Shift+End selects to the end", "Shift+End", kText, 0, 5},
    {"Ctrl+Backspace deletes a word", "End, Ctrl+Backspace", "ab \r\nef", 3, 3},
    {"Ctrl+A", "Ctrl+A", kText, 9, 0},
    {"Ctrl+Z", "X, Ctrl+Z", kText, 2, 2},
    {"Ctrl+Shift+Z", "X, Ctrl+Z, Ctrl+Shift+Z", "x cd\r\nef", 1, 1},
    {"Ctrl+Y", "X, Ctrl+Z, Ctrl+Y", "x cd\r\nef", 1, 1},
    {"Shift+Delete cuts, Shift+Insert pastes", "Shift+Del, End, Shift+Ins", " cdab\r\nef", 5, 5},
};

const char* const kWrapEnd = "Passed the end of the page; continued from the top.";
const char* const kWrapStart = "Passed the start of the page; continued from the bottom.";
enum How { ReturnKey, PreviousButton, F3, ShiftF3 };
// The selection before and after, and where the text's buffer has its gap during the search.
struct FindRow {
    const char* name;
    QByteArray text;
    qint64 from, to;
    QString what;
    bool matchCase, wholeWord;
    How how;
    qint64 start, end;
    const char* outcome;
    qint64 gap = -1;
} const kFind[] = {
    {"wraps past the end", "one two one", 8, 11, "one", false, false, ReturnKey, 0, 3, kWrapEnd},
    {"wraps past the start", "one two one", 0, 3, "one", false, false, PreviousButton, 8, 11,
     kWrapStart},
    {"F3 repeats", "one two one", 0, 3, "one", false, false, F3, 8, 11, ""},
    {"Shift+F3 repeats backwards", "one two one", 4, 4, "one", false, false, ShiftF3, 0, 3, ""},
    {"not found", "one two one", 4, 5, "three", false, false, ReturnKey, 4, 5, "Not found."},
    {"match case", "One one", 0, 0, "one", true, false, ReturnKey, 4, 7, ""},
    {"whole word", "ones one", 0, 0, "one", false, true, ReturnKey, 5, 8, ""},
    {"UTF-8", "caf\xc3\xa9 \xe2\x82\xac", 0, 0, "\u20ac", false, false, ReturnKey, 6, 9, ""},
    {"8-bit as Windows-1252", "caf\xe9 \x80", 0, 0, "\u20ac", false, false, ReturnKey, 5, 6, ""},
    {"8-bit lacks the character", "caf\xe9 &#955;", 0, 0, "\u03bb", false, false, ReturnKey, 0, 0,
     "Not found."},
    {"CR LF: no match begins inside", "a\r\nb\nb", 0, 0, "\nb", false, false, ReturnKey, 4, 6, ""},
    {"CR LF: no match ends inside", "a\r\nb", 0, 0, "a\r", false, false, ReturnKey, 0, 0,
     "Not found."},
    // Plain ASCII text is found a buffer segment at a time: across the gap, both ways and in
    // either case, and only the letters' cases fold.
    {"across the gap", "<p>QLAST</p>", 0, 0, "qlast", false, false, ReturnKey, 3, 8, "", 5},
    {"across the gap, match case", "<p>QLAST</p>", 0, 0, "QLAST", true, false, ReturnKey, 3, 8, "",
     6},
    {"backwards across the gap", "ab QLAST ab", 11, 11, "Qlast", false, false, PreviousButton, 3, 8,
     "", 4},
    {"after a partial match", "QLASQLAST", 0, 0, "qlast", false, false, ReturnKey, 4, 9, "", 8},
    {"only letters fold", "`{ @[", 0, 0, "@[", false, false, ReturnKey, 3, 5, ""},
    {"the Kelvin sign is no k", "\xe2\x84\xaa k", 0, 0, "K", false, false, ReturnKey, 4, 5, ""},
    {"whole word at the start", "one ones", 8, 8, "ONE", false, true, PreviousButton, 0, 3, "", 2},
};

struct ReplaceRow {
    const char* name;
    QByteArray text;
    QString what, with;
    bool matchCase;
    QByteArray after;
    const char* outcome;
} const kReplaceAll[] = {
    {"every match", "cat Cat\r\ncat", "cat", "dog", false, "dog dog\r\ndog", "Replaced 3."},
    {"match case", "cat Cat\r\ncat", "cat", "dog", true, "dog Cat\r\ndog", "Replaced 2."},
    {"longer", "a-a-a", "a", "<B>", false, "<B>-<B>-<B>", "Replaced 3."},
    {"removed", "a-a-a", "-", "", false, "aaa", "Replaced 2."},
    {"8-bit", "\xe9t\xe9", "\u00e9", "\u20ac", false, "\x80t\x80", "Replaced 2."},
    {"none", "cat", "dog", "cat", false, "cat", "Not found."},
};

const QByteArray kHead = "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n";
const QByteArray kFoot = "\n</body></html>\n";
// A page with a known fault, the row Check Page shows for it, and where that row puts the
// caret (in bytes; -1: the first row, no jump).
struct PageRow {
    const char* name;
    QByteArray page;
    const char* row;
    long caret;
} const kPageRows[] = {
    {"clean", kHead + "<p>x</p>" + kFoot, "No problems found.", -1},
    {"summary", kHead + "<foo>x</foo> <img src=\"a.png\" alt=\"\"></p>" + kFoot,
     "1 error and 4 warnings.", -1},
    {"warnings only", "<!DOCTYPE html>\n<html><head></head><body><p>x</p></body></html>",
     "1 warning.", -1},
    {"missing end tag", kHead + "<a href=\"x\">y" + kFoot,
     "Line 3, column 1: The <a> tag is never closed", 58},
    {"end tag without start", kHead + "<p>x</p></div>" + kFoot,
     "Line 3, column 9: </div> closes a <div> tag that is not open", 66},
    {"wrong order", kHead + "<b><i>q</b></i>" + kFoot,
     "Line 3, column 4: Tags are closed in the wrong order: </b>", 61},
    {"unknown element", kHead + "<foo>z</foo>" + kFoot,
     "Line 3, column 1: <foo> is not an HTML tag.", 58},
    {"misspelt attribute", kHead + "<p clas=\"x\">y</p>" + kFoot,
     "Line 3, column 1: \"clas\" is not an attribute of <p>.", 58},
    {"needs quotes", kHead + "<p title=\"a\"b\">x</p>" + kFoot,
     "Line 3, column 1: An attribute value has a quotation mark missing", 58},
    {"no doctype", "<html><head><title>t</title></head><body><p>x</p></body></html>",
     "Line 1, column 1: The page does not start with <!DOCTYPE html>.", 0},
    {"no title", "<!DOCTYPE html>\n<html><head></head><body><p>x</p></body></html>",
     "Line 2, column 7: The page has no title.", 22},
    {"img without alt", kHead + "x <img src=\"a.png\">" + kFoot,
     "Line 3, column 3: This picture has no alt text.", 60},
    {"font", kHead + "<font color=red>x</font>" + kFoot,
     "Line 3, column 1: <font> is no longer part of HTML. Use a style", 58},
    {"marquee", kHead + "<marquee>x</marquee>" + kFoot,
     "Line 3, column 1: <marquee> is no longer part of HTML. Moving text", 58},
    {"after body", kHead + "<p>x</p></body></html>\n<p>after</p>\n",
     "Line 2, column 36: There is something after </body>.", 51},
    {"text in head",
     "<!DOCTYPE html>\n<html><head><title>t</title>\nhello\n</head><body><p>x</p>" + kFoot,
     "Line 3, column 1: Text outside <body> is not part of the page.", 45},
    {"tab and UTF-8", kHead + "\t<p>\xc3\xa9\xc3\xa9<b>x</p>" + kFoot,
     "Line 3, column 7: The <b> tag must be closed with </b> before </p>.", 66},
    {"8-bit", kHead + "<p>\xe9\x80 <foo>x</foo></p>" + kFoot,
     "Line 3, column 7: <foo> is not an HTML tag.", 64},
};

// The stand-in tidy (null: no tidy at all), the page's size and the first row.
struct FailRow {
    const char* name;
    const char* script;
    qsizetype size;
    const char* line;
} const kFailRows[] = {
    {"tidy missing", nullptr, 10, "HTML Tidy is not installed"},
    {"tidy crashes", "kill -SEGV $$", 10, "HTML Tidy stopped unexpectedly"},
    {"slow, cancelled", "exec sleep 60", 10, "The check was cancelled."},
    {"over 20 MB", "exit 0", 20 * 1024 * 1024 + 1, "The page is larger than 20 MB"},
};

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QByteArray path_ = qgetenv("PATH");

    template <class T>
    T* control(const char* window, const char* name) {
        QWidget* w = f->secondaryWindow(window);
        return w ? w->findChild<T*>(name) : nullptr;
    }
    QString outcome() { return control<QLabel>("frmFind", "lblOutcome")->text(); }
    qint64 sci(unsigned int message, unsigned long w = 0) {
        return f.text().SendScintilla(message, w, 0L);
    }
    // The page, then the Find and Replace window through its key with the fields filled in.
    [[nodiscard]] bool openFind(const QByteArray& text, const QString& what, const QString& with,
                                bool matchCase, bool wholeWord = false) {
        f.setText(text);
        QTest::keyClick(&f.text(), Qt::Key_H, Qt::ControlModifier);
        if (!f->secondaryWindow("frmFind"))
            return false;
        control<QLineEdit>("frmFind", "txtFind")->setText(what);
        control<QLineEdit>("frmFind", "txtReplace")->setText(with);
        control<QCheckBox>("frmFind", "chkCase")->setChecked(matchCase);
        control<QCheckBox>("frmFind", "chkWord")->setChecked(wholeWord);
        return true;
    }
    void click(const char* button) { control<QPushButton>("frmFind", button)->click(); }
    void activateMain() {
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
    }
    QListWidget& findings() { return *control<QListWidget>("frmCheck", "List1"); }
    // Runs Check Page with F7 and waits for its result.
    QStringList check(const QByteArray& page) {
        f.setText(page);
        f.text().setFocus();
        QTest::keyClick(&f.window(), Qt::Key_F7);
        [&] { QTRY_VERIFY(!f->features().pageCheck().isRunning()); }();
        QStringList rows;
        for (int i = 0; i < findings().count(); ++i)
            rows << findings().item(i)->text();
        return rows;
    }

  private slots:
    void init() {
        f.reset();
        f.start(true, true);
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() {
        qputenv("PATH", path_);
        f.finish();
    }

    // ---- keys ----------------------------------------------------------------------

    void keys_data() { addRows(kKeyRows); }
    void keys() {
        const KeyRow& row = fetchRow(kKeyRows);
        f.setText(kText, 0, 2);
        f.text().setFocus();
        const QKeySequence keys(QString::fromLatin1(row.keys));
        QVERIFY(!keys.isEmpty());
        for (int i = 0; i < keys.count(); ++i)
            QTest::keyClick(&f.text(), keys[i].key(), keys[i].keyboardModifiers());
        QCOMPARE(f.bytes(), row.text);
        QCOMPARE(sci(Sci::SCI_GETANCHOR), row.anchor);
        QCOMPARE(sci(Sci::SCI_GETCURRENTPOS), row.caret);
        QCOMPARE(sci(Sci::SCI_GETOVERTYPE), 0);
        QCOMPARE(sci(Sci::SCI_GETZOOM), 0);
    }

    void returnPressesButtonAndF10OpensFirstMenu() {
        f.setText("ab", 0, 2);
        f->button("Command6")->setFocus();  // Copy
        QTest::keyClick(f->button("Command6"), Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("ab"));
        f.text().setFocus();
        QTest::keyClick(&f.text(), Qt::Key_F10);
        QMenuBar* bar = f->menuBar();
        QTRY_COMPARE(bar->activeAction(), bar->actions().constFirst());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
        QCOMPARE(f.bytes(), QByteArray("ab"));
    }

    // ---- Find and Replace ----------------------------------------------------------

    void find_data() { addRows(kFind); }
    void find() {
        const FindRow& row = fetchRow(kFind);
        QVERIFY(openFind(row.text, row.what, {}, row.matchCase, row.wholeWord));
        if (row.gap > 0) {
            // An insertion leaves the gap right after it: the two bytes before the gap typed
            // back (the first edit of a page reads the whole text, which moves the gap).
            f.setText(QByteArray(row.text).remove(row.gap - 2, 2));
            for (qint64 at : {row.gap - 2, row.gap - 1})
                f.text().SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(at),
                                       row.text.mid(at, 1).constData());
            QCOMPARE(sci(Sci::SCI_GETGAPPOSITION), row.gap);
            f.docChanged() = 0;
        }
        f.select(row.from, row.to);
        if (row.how == F3 || row.how == ShiftF3) {
            QTest::keyClick(f->secondaryWindow("frmFind"), Qt::Key_Escape);
            QVERIFY(!f->secondaryWindow("frmFind"));
            activateMain();
            QTest::keyClick(&f.text(), Qt::Key_F3,
                            row.how == ShiftF3 ? Qt::ShiftModifier : Qt::NoModifier);
        } else {
            if (row.how == ReturnKey)
                QTest::keyClick(control<QLineEdit>("frmFind", "txtFind"), Qt::Key_Return);
            else
                click("cmdFindPrevious");
            QCOMPARE(outcome(), QString(row.outcome));
        }
        QCOMPARE(sci(Sci::SCI_GETSELECTIONSTART), row.start);
        QCOMPARE(sci(Sci::SCI_GETSELECTIONEND), row.end);
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // Ctrl+F and Ctrl+H: one window, its field focused, the selected text in the find field
    // when it lies on one line.
    void opens_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("focus");
        QTest::newRow("find, one line") << int(Qt::Key_F) << 7LL << "def"
                                        << "txtFind";
        QTest::newRow("find, two lines") << int(Qt::Key_F) << 11LL << ""
                                         << "txtFind";
        QTest::newRow("replace, one line") << int(Qt::Key_H) << 7LL << "def"
                                           << "txtReplace";
    }
    void opens() {
        QFETCH(int, key);
        QFETCH(qint64, to);
        QFETCH(QString, field);
        QFETCH(QString, focus);
        f.setText("abc def\r\nghi", 4, to);
        QTest::keyClick(&f.text(), Qt::Key(key), Qt::ControlModifier);
        QWidget* window = f->secondaryWindow("frmFind");
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("Find and Replace"));
        QCOMPARE(control<QLineEdit>("frmFind", "txtFind")->text(), field);
        QCOMPARE(window->focusWidget()->objectName(), focus);
        QTest::keyClick(&f.text(), Qt::Key_F, Qt::ControlModifier);
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            open += w->objectName() == "frmFind" && w->isVisible();
        QCOMPARE(open, 1);
    }

    // Replace first finds, then replaces and finds the next; Replace All is one Undo step.
    void replaceThenFindNext() {
        QVERIFY(openFind("cat cat cat", "cat", "dog", false));
        click("cmdReplace");
        QCOMPARE(f.bytes(), QByteArray("cat cat cat"));
        QCOMPARE(f.docChanged(), qint16(0));
        click("cmdReplace");
        QCOMPARE(f.bytes(), QByteArray("dog cat cat"));
        QCOMPARE(sci(Sci::SCI_GETSELECTIONSTART), 4);
        QCOMPARE(sci(Sci::SCI_GETSELECTIONEND), 7);
        QCOMPARE(f.docChanged(), qint16(1));
    }
    void replaceAll_data() { addRows(kReplaceAll); }
    void replaceAll() {
        const ReplaceRow& row = fetchRow(kReplaceAll);
        QVERIFY(openFind(row.text, row.what, row.with, row.matchCase));
        click("cmdReplaceAll");
        QCOMPARE(f.bytes(), row.after);
        QCOMPARE(outcome(), QString(row.outcome));
        QCOMPARE(f.docChanged(), qint16(row.after != row.text));
        activateMain();
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.bytes(), row.text);
    }

    // ---- Go to Line: a line past the last or before the first is refused --------------

    void goToLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        for (const auto& [typed, line] : {std::pair{"4", 4}, {"5", 5}, {"9", 2}, {"0", 2}})
            QTest::newRow(typed) << QString(typed) << line;
    }
    void goToLine() {
        QFETCH(QString, typed);
        QFETCH(int, line);
        f.setText("one\r\ntwo\r\nthree\r\nfour\r\nfive", 7, 7);
        QTest::keyClick(&f.text(), Qt::Key_G, Qt::ControlModifier);
        auto* number = control<QSpinBox>("frmGoTo", "txtLine");
        QVERIFY(number);
        QCOMPARE(f->secondaryWindow("frmGoTo")->windowTitle(), QString("Go to Line"));
        QCOMPARE(std::tuple(number->minimum(), number->maximum(), number->value()),
                 std::tuple(1, 5, 2));
        QCOMPARE(f->secondaryWindow("frmGoTo")->focusWidget(), number);
        QTest::keyClicks(number, typed);
        QTest::keyClick(number, Qt::Key_Return);
        QVERIFY(!f->secondaryWindow("frmGoTo"));
        QCOMPARE(sci(Sci::SCI_GETCURRENTPOS), sci(Sci::SCI_POSITIONFROMLINE, line - 1));
        QCOMPARE(sci(Sci::SCI_GETANCHOR), sci(Sci::SCI_GETCURRENTPOS));
        QTRY_VERIFY(f.text().hasFocus());
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // ---- Check Page ----------------------------------------------------------------

    void checkPage_data() { addRows(kPageRows); }
    void checkPage() {
        const PageRow& row = fetchRow(kPageRows);
        const QStringList rows = check(row.page);
        if (row.caret < 0) {
            QCOMPARE(rows.value(0), QString::fromUtf8(row.row));
            return;
        }
        const qsizetype at = rows.indexOf(
            QRegularExpression(QRegularExpression::escape(QString::fromUtf8(row.row)) + ".*",
                               QRegularExpression::DotMatchesEverythingOption));
        QVERIFY2(at > 0, qPrintable(rows.join('\n')));
        // Return on the row puts the caret there and gives the editing area the focus.
        findings().setCurrentRow(int(at));
        QTest::keyClick(&findings(), Qt::Key_Return);
        QCOMPARE(sci(Sci::SCI_GETCURRENTPOS), row.caret);
        QTRY_VERIFY(f.text().hasFocus());
        QCOMPARE(f.bytes(), row.page);
    }

    void doubleClickJumpsAndErrorsComeFirst() {
        const QStringList rows = check(kHead + "<center>c</center>\n<foo>z</foo>" + kFoot);
        QVERIFY2(rows.value(1).startsWith("Line 4, column 1: <foo>"), qPrintable(rows.join('\n')));
        const QRect cell = findings().visualItemRect(findings().item(2));
        QTest::mouseClick(findings().viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(findings().viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(sci(Sci::SCI_GETCURRENTPOS), 58);
    }

    void checkFails_data() { addRows(kFailRows); }
    void checkFails() {
        const FailRow& row = fetchRow(kFailRows);
        const QString bin = f.path("bin");
        QDir().mkpath(bin);
        if (row.script) {
            writeFile(bin + "/tidy", QByteArray("#!/bin/sh\n") + row.script);
            QFile(bin + "/tidy").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        qputenv("PATH", (row.script ? bin.toLocal8Bit() + ":" + path_ : bin.toLocal8Bit()));
        f.setText(QByteArray(row.size, 'a'));
        f->features().pageCheck().run();
        if (QByteArrayView(row.name).startsWith("slow")) {
            // Past half a second the pointer is busy and Cancel stops the check.
            QTRY_VERIFY(QGuiApplication::overrideCursor());
            auto* cancel = control<QPushButton>("frmCheck", "cmdCancel");
            QVERIFY(cancel->isEnabled());
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
        QTRY_VERIFY(!f->features().pageCheck().isRunning());
        QTRY_VERIFY(findings().item(0)->text().startsWith(QString::fromUtf8(row.line)));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f.bytes().size(), row.size);
    }

    // ---- the right-click menu: its items, which are greyed, Copy of an 8-bit page -----

    void rightClickMenu() {
        auto enabled = [this] {
            const auto menu = f->features().editingCommands().makeMenu();
            QStringList captions, on;
            for (QAction* item : menu->actions()) {
                captions << (item->isSeparator() ? "-" : item->text());
                if (item->isEnabled() && !item->isSeparator())
                    on << item->objectName();
            }
            return std::pair(captions.join('|'), on.join(' '));
        };
        f.setText({});
        QCOMPARE(enabled(),
                 std::pair(QString("Undo\tCtrl+Z|Redo\tCtrl+Y|-|Cut\tCtrl+X|Copy\tCtrl+C|"
                                   "Paste\tCtrl+V|Delete\tDel|-|Select All\tCtrl+A|-|"
                                   "Find...\tCtrl+F|Replace...\tCtrl+H|Go to Line..."
                                   "\tCtrl+G|Check Page...\tF7"),
                           QString("CheckPage")));
        f.setText("x\x80y", 1, 2);
        QTest::keyClick(&f.text(), Qt::Key_X);
        QCOMPARE(enabled().second,
                 QString("Undo Cut Copy Delete SelectAll Find Replace GoToLine CheckPage"));
        f.select(0, 2);
        f->features().editingCommands().makeMenu()->findChild<QAction*>("Copy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("xx"));
        f.setText("x\x80y", 1, 2);
        f->features().editingCommands().makeMenu()->findChild<QAction*>("Copy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString(QChar(0x20ac)));
        QCOMPARE(enabled().second,
                 QString("Cut Copy Paste Delete SelectAll Find Replace GoToLine CheckPage"));
        // The right mouse button opens it.
        QWidget* viewport = f.text().viewport();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                viewport->mapToGlobal(QPoint(5, 5)));
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = popup->objectName();
                popup->close();
            }
        });
        QVERIFY(QApplication::sendEvent(viewport, &click));
        QCOMPARE(opened, QString("EditingMenu"));
    }
};

QTEST_MAIN(EditingTest)
#include "test_editing.moc"
