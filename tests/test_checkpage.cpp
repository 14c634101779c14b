// SPDX-License-Identifier: GPL-3.0-or-later
// The editing area's keys, its right-click menu and Check Page, through the real window,
// the real clipboard and the real HTML Tidy (or a stand-in for it first on PATH).
#include "MainWindowFixture.h"
#include "editing/EditingCommands.h"
#include "editing/PageCheck.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods = {};
};
constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kShift = Qt::ShiftModifier;

const QByteArray kText = "ab cd\r\nef";

// Keys pressed on kText with "ab" selected (anchor 0, caret 2), and what they leave.
struct KeyRow {
    const char* name;
    std::vector<Key> keys;
    QByteArray text;
    long anchor, caret;
};
const KeyRow kKeyRows[] = {
    // Removed: each changes nothing.
    {"Ctrl+L cuts no line", {{Qt::Key_L, kCtrl}}, kText, 0, 2},
    {"Ctrl+Shift+L deletes no line", {{Qt::Key_L, kCtrl | kShift}}, kText, 0, 2},
    {"Ctrl+T swaps no lines", {{Qt::Key_Down}, {Qt::Key_T, kCtrl}}, kText, 9, 9},
    {"Ctrl+D duplicates nothing", {{Qt::Key_D, kCtrl}}, kText, 0, 2},
    {"Ctrl+Shift+U changes no case", {{Qt::Key_U, kCtrl | kShift}}, kText, 0, 2},
    {"Ctrl+Shift+Q types nothing", {{Qt::Key_Q, kCtrl | kShift}}, kText, 0, 2},
    {"Alt+Backspace undoes nothing",
     {{Qt::Key_X}, {Qt::Key_Backspace, Qt::AltModifier}},
     "x cd\r\nef",
     1,
     1},
    {"Insert leaves overtype off",
     {{Qt::Key_Insert}, {Qt::Key_Right}, {Qt::Key_X}},
     "abx cd\r\nef",
     3,
     3},
    {"keypad Ctrl+minus zooms not", {{Qt::Key_Minus, kCtrl | Qt::KeypadModifier}}, kText, 0, 2},
    // Kept: each does its one thing.
    {"Ctrl+Right by word", {{Qt::Key_Right, kCtrl}}, kText, 3, 3},
    {"Shift+End selects to the end", {{Qt::Key_End, kShift}}, kText, 0, 5},
    {"Ctrl+Backspace deletes a word",
     {{Qt::Key_End}, {Qt::Key_Backspace, kCtrl}},
     "ab \r\nef",
     3,
     3},
    {"Ctrl+A", {{Qt::Key_A, kCtrl}}, kText, 9, 0},
    {"Ctrl+Z", {{Qt::Key_X}, {Qt::Key_Z, kCtrl}}, kText, 2, 2},
    {"Ctrl+Shift+Z",
     {{Qt::Key_X}, {Qt::Key_Z, kCtrl}, {Qt::Key_Z, kCtrl | kShift}},
     "x cd\r\nef",
     1,
     1},
    {"Ctrl+Y", {{Qt::Key_X}, {Qt::Key_Z, kCtrl}, {Qt::Key_Y, kCtrl}}, "x cd\r\nef", 1, 1},
    {"Shift+Delete cuts, Shift+Insert pastes",
     {{Qt::Key_Delete, kShift}, {Qt::Key_End}, {Qt::Key_Insert, kShift}},
     " cdab\r\nef",
     5,
     5},
};

const QByteArray kHead = "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n";
const QByteArray kFoot = "\n</body></html>\n";

// A page with a known fault, the row Check Page shows for it, and where that row puts the
// caret (in bytes).
struct PageRow {
    const char* name;
    QByteArray page;
    const char* row;
    long caret;
};
const PageRow kPageRows[] = {
    {"clean", kHead + "<p>x</p>" + kFoot, "No problems found.", -1},
    {"summary", kHead + "<foo>x</foo> <img src=\"a.png\" alt=\"\"></p>" + kFoot,
     "1 error and 4 warnings.", -1},
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

struct FailRow {
    const char* name;
    const char* script;  // the stand-in tidy; null: no tidy at all
    qsizetype size;      // of the page
    const char* line;
};
const FailRow kFailRows[] = {
    {"tidy missing", nullptr, 10, "HTML Tidy is not installed"},
    {"tidy crashes", "kill -SEGV $$", 10, "HTML Tidy stopped unexpectedly"},
    {"slow, cancelled", "exec sleep 60", 10, "The check was cancelled."},
    {"over 20 MB", "exit 0", 20 * 1024 * 1024 + 1, "The page is larger than 20 MB"},
};

}  // namespace

class CheckPageTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QByteArray path_ = qgetenv("PATH");

    long send(unsigned int message, unsigned long w = 0, long l = 0) {
        return f.text().SendScintilla(message, w, l);
    }
    QListWidget& findings() {
        auto* window = f->secondaryWindow(QStringLiteral("frmCheck"));
        return *window->findChild<QListWidget*>(QStringLiteral("List1"));
    }
    // Runs Check Page with F7 and waits for its result.
    QStringList check(const QByteArray& page) {
        f.setText(page);
        f.text().setFocus();
        QTest::keyClick(&f.window(), Qt::Key_F7);
        [&] { QTRY_VERIFY(!f->pageCheck().isRunning()); }();
        QStringList rows;
        for (int i = 0; i < findings().count(); ++i)
            rows << findings().item(i)->text();
        return rows;
    }

  private slots:
    void init() {
        f.reset();
        f.start(false, true);
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() {
        qputenv("PATH", path_);
        f.finish();
    }

    void keys_data() { addRows(kKeyRows); }
    void keys() {
        const KeyRow& row = fetchRow(kKeyRows);
        f.setText(kText, 0, 2);
        f.text().setFocus();
        for (const Key& key : row.keys)
            QTest::keyClick(&f.text(), key.key, key.mods);
        QCOMPARE(f.bytes(), row.text);
        QCOMPARE(send(EditingArea::SCI_GETANCHOR), row.anchor);
        QCOMPARE(send(EditingArea::SCI_GETCURRENTPOS), row.caret);
        QCOMPARE(send(EditingArea::SCI_GETOVERTYPE), 0L);
        QCOMPARE(send(EditingArea::SCI_GETZOOM), 0L);
    }

    void returnPressesButtonAndF10OpensFirstMenu() {
        f.setText("ab", 0, 2);
        f->button(QStringLiteral("Command6"))->setFocus();  // Copy
        QTest::keyClick(f->button(QStringLiteral("Command6")), Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));

        f.text().setFocus();
        QTest::keyClick(&f.text(), Qt::Key_F10);
        QMenuBar* bar = f->menuBar();
        QTRY_COMPARE(bar->activeAction(), bar->actions().constFirst());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
        QCOMPARE(f.bytes(), QByteArray("ab"));
    }

    void checkPage_data() { addRows(kPageRows); }
    void checkPage() {
        const PageRow& row = fetchRow(kPageRows);
        const QStringList rows = check(row.page);
        const QString wanted = QString::fromUtf8(row.row);
        if (row.caret < 0) {
            QCOMPARE(rows.value(0), wanted);
            return;
        }
        const qsizetype at = rows.indexOf(
            QRegularExpression(QRegularExpression::escape(wanted) + QStringLiteral(".*"),
                               QRegularExpression::DotMatchesEverythingOption));
        QVERIFY2(at > 0, qPrintable(rows.join(QLatin1Char('\n'))));
        // Return on the row puts the caret there and gives the editing area the focus.
        QListWidget& list = findings();
        list.setCurrentRow(int(at));
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(send(EditingArea::SCI_GETCURRENTPOS), row.caret);
        QTRY_VERIFY(f.text().hasFocus());
        QCOMPARE(f.bytes(), row.page);  // never changed
    }

    void doubleClickJumpsAndErrorsComeFirst() {
        const QStringList rows = check(kHead + "<center>c</center>\n<foo>z</foo>" + kFoot);
        QVERIFY2(rows.value(1).startsWith(QStringLiteral("Line 4, column 1: <foo>")),
                 qPrintable(rows.join(QLatin1Char('\n'))));
        QListWidget& list = findings();
        const QRect cell = list.visualItemRect(list.item(2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(send(EditingArea::SCI_GETCURRENTPOS), 58L);
    }

    void checkFails_data() { addRows(kFailRows); }
    void checkFails() {
        const FailRow& row = fetchRow(kFailRows);
        const QString bin = f.path(QStringLiteral("bin"));
        QDir().mkpath(bin);
        if (row.script) {
            writeFile(bin + QStringLiteral("/tidy"), QByteArray("#!/bin/sh\n") + row.script);
            QFile(bin + QStringLiteral("/tidy"))
                .setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        qputenv("PATH", (row.script ? bin.toLocal8Bit() + ":" + path_ : bin.toLocal8Bit()));
        f.setText(QByteArray(row.size, 'a'));
        f->pageCheck().run();
        if (QByteArrayView(row.name).startsWith("slow")) {
            // Past half a second the pointer is busy and Cancel stops the check.
            QTRY_VERIFY(QGuiApplication::overrideCursor());
            auto* cancel = f->secondaryWindow(QStringLiteral("frmCheck"))
                               ->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
            QVERIFY(cancel->isEnabled());
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
        QTRY_VERIFY(!f->pageCheck().isRunning());
        QTRY_VERIFY(findings().item(0)->text().startsWith(QString::fromUtf8(row.line)));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f.bytes().size(), row.size);
    }

    void rightClickMenu() {
        auto enabled = [this] {
            const auto menu = f->editingCommands().makeMenu();
            QStringList captions, on;
            for (QAction* item : menu->actions()) {
                captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
                if (item->isEnabled() && !item->isSeparator())
                    on << item->objectName();
            }
            return std::pair(captions, on.join(QLatin1Char(' ')));
        };
        f.setText({});
        const auto [captions, none] = enabled();
        QCOMPARE(captions.join(QLatin1Char('|')),
                 QStringLiteral("Undo\tCtrl+Z|Redo\tCtrl+Y|-|Cut\tCtrl+X|Copy\tCtrl+C|"
                                "Paste\tCtrl+V|Delete\tDel|-|Select All\tCtrl+A|-|"
                                "Find...\tCtrl+F|Replace...\tCtrl+H|Go to Line...\tCtrl+G|"
                                "Check Page...\tF7"));
        QCOMPARE(none, QStringLiteral("CheckPage"));

        // An 8-bit page: Copy puts its Windows-1252 text on the clipboard, as Edit's does.
        f.setText("x\x80y", 1, 2);
        QTest::keyClick(&f.text(), Qt::Key_X);
        QCOMPARE(enabled().second,
                 QStringLiteral("Undo Cut Copy Delete SelectAll Find Replace GoToLine CheckPage"));
        f.select(0, 2);
        const auto menu = f->editingCommands().makeMenu();
        menu->findChild<QAction*>(QStringLiteral("Copy"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("xx"));
        f.setText("x\x80y", 1, 2);
        f->editingCommands().makeMenu()->findChild<QAction*>(QStringLiteral("Copy"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString(QChar(0x20ac)));
        QCOMPARE(enabled().second,
                 QStringLiteral("Cut Copy Paste Delete SelectAll Find Replace GoToLine CheckPage"));

        // The right mouse button opens it.
        QWidget* viewport = f.text().viewport();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                viewport->mapToGlobal(QPoint(5, 5)));
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                QCOMPARE(popup->objectName(), QStringLiteral("EditingMenu"));
                popup->close();
            }
        });
        QVERIFY(QApplication::sendEvent(viewport, &click));
    }
};

QTEST_MAIN(CheckPageTest)
#include "test_checkpage.moc"
