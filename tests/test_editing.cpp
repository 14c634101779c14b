// SPDX-License-Identifier: GPL-3.0-or-later
// Find and Replace and Go to Line through the real main window and its keys.
#include "MainWindowFixture.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

using Sci = QsciScintillaBase;

const char* const kWrapEnd = "Passed the end of the page; continued from the top.";
const char* const kWrapStart = "Passed the start of the page; continued from the bottom.";

enum How { ReturnKey, PreviousButton, F3, ShiftF3 };

struct FindRow {
    const char* name;
    QByteArray text;
    qint64 from, to;  // the selection before
    QString what;
    bool matchCase, wholeWord;
    How how;
    qint64 start, end;  // the selection after
    const char* outcome;
    qint64 gap = -1;  // where the text's buffer has its gap during the search
};

const FindRow kFind[] = {
    {"forwards", "one two one", 0, 0, "one", false, false, ReturnKey, 0, 3, ""},
    {"wraps past the end", "one two one", 8, 11, "one", false, false, ReturnKey, 0, 3, kWrapEnd},
    {"backwards", "one two one", 8, 11, "one", false, false, PreviousButton, 0, 3, ""},
    {"wraps past the start", "one two one", 0, 3, "one", false, false, PreviousButton, 8, 11,
     kWrapStart},
    {"F3 repeats", "one two one", 0, 3, "one", false, false, F3, 8, 11, ""},
    {"Shift+F3 repeats backwards", "one two one", 4, 4, "one", false, false, ShiftF3, 0, 3, ""},
    {"not found", "one two one", 4, 5, "three", false, false, ReturnKey, 4, 5, "Not found."},
    {"any case", "One one", 0, 0, "one", false, false, ReturnKey, 0, 3, ""},
    {"match case", "One one", 0, 0, "one", true, false, ReturnKey, 4, 7, ""},
    {"whole word", "ones one", 0, 0, "one", false, true, ReturnKey, 5, 8, ""},
    {"UTF-8", "caf\xc3\xa9 \xe2\x82\xac", 0, 0, "\u20ac", false, false, ReturnKey, 6, 9, ""},
    {"8-bit as Windows-1252", "caf\xe9 \x80", 0, 0, "\u20ac", false, false, ReturnKey, 5, 6, ""},
    {"8-bit lacks the character", "caf\xe9 &#955;", 0, 0, "\u03bb", false, false, ReturnKey, 0, 0,
     "Not found."},
    {"CR LF: no match begins inside", "a\r\nb\nb", 0, 0, "\nb", false, false, ReturnKey, 4, 6, ""},
    {"CR LF: no match ends inside", "a\r\nb", 0, 0, "a\r", false, false, ReturnKey, 0, 0,
     "Not found."},
    // Plain ASCII text is found a buffer segment at a time: matches across the gap, both
    // ways and in either case, and only the letters' cases fold.
    {"across the gap", "<p>QLAST</p>", 0, 0, "qlast", false, false, ReturnKey, 3, 8, "", 5},
    {"across the gap, match case", "<p>QLAST</p>", 0, 0, "QLAST", true, false, ReturnKey, 3, 8, "",
     6},
    {"backwards across the gap", "ab QLAST ab", 11, 11, "Qlast", false, false, PreviousButton, 3, 8,
     "", 4},
    {"after a partial match", "QLASQLAST", 0, 0, "qlast", false, false, ReturnKey, 4, 9, "", 8},
    {"only letters fold", "`{ @[", 0, 0, "@[", false, false, ReturnKey, 3, 5, ""},
    {"the Kelvin sign is no k", "\xe2\x84\xaa k", 0, 0, "K", false, false, ReturnKey, 4, 5, ""},
    {"whole word at the start", "one ones", 8, 8, "ONE", false, true, PreviousButton, 0, 3, "", 2},
    {"whole word at the end", "ones one", 0, 0, "one", false, true, ReturnKey, 5, 8, ""},
};

struct ReplaceRow {
    const char* name;
    QByteArray text;
    QString what, with;
    bool matchCase;
    QByteArray after;
    const char* outcome;
};

const ReplaceRow kReplaceAll[] = {
    {"every match", "cat Cat\r\ncat", "cat", "dog", false, "dog dog\r\ndog", "Replaced 3."},
    {"match case", "cat Cat\r\ncat", "cat", "dog", true, "dog Cat\r\ndog", "Replaced 2."},
    {"longer", "a-a-a", "a", "<B>", false, "<B>-<B>-<B>", "Replaced 3."},
    {"removed", "a-a-a", "-", "", false, "aaa", "Replaced 2."},
    {"8-bit", "\xe9t\xe9", "\u00e9", "\u20ac", false, "\x80t\x80", "Replaced 2."},
    {"none", "cat", "dog", "cat", false, "cat", "Not found."},
};

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    QWidget* findWindow() { return f->secondaryWindow("frmFind"); }
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
    [[nodiscard]] bool openFind(const QByteArray& text, const QString& what,
                                const QString& with = {}, bool matchCase = false,
                                bool wholeWord = false, Qt::Key key = Qt::Key_H) {
        f.setText(text);
        QTest::keyClick(&f.text(), key, Qt::ControlModifier);
        if (!findWindow())
            return false;
        control<QLineEdit>("frmFind", "txtFind")->setText(what);
        control<QLineEdit>("frmFind", "txtReplace")->setText(with);
        control<QCheckBox>("frmFind", "chkCase")->setChecked(matchCase);
        control<QCheckBox>("frmFind", "chkWord")->setChecked(wholeWord);
        return true;
    }
    void click(const char* button) { control<QPushButton>("frmFind", button)->click(); }

  private slots:
    void init() {
        f.reset();
        f.start(true, true);
    }
    void cleanup() { f.finish(); }

    // ---- Find ----------------------------------------------------------------------

    void find_data() { addRows(kFind); }
    void find() {
        const FindRow& row = fetchRow(kFind);
        QVERIFY(openFind(row.text, row.what, {}, row.matchCase, row.wholeWord, Qt::Key_F));
        if (row.gap > 0) {
            // An insertion leaves the gap right after it: the two bytes before the gap typed
            // back (the first edit of a page reads the whole text, which moves the gap).
            f.setText(QByteArray(row.text).remove(row.gap - 2, 2));
            for (qint64 at : {row.gap - 2, row.gap - 1}) {
                f.text().SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(at),
                                       row.text.mid(at, 1).constData());
            }
            QCOMPARE(sci(Sci::SCI_GETGAPPOSITION), row.gap);
            f.docChanged() = 0;
        }
        f.select(row.from, row.to);
        switch (row.how) {
            case ReturnKey:
                QTest::keyClick(control<QLineEdit>("frmFind", "txtFind"), Qt::Key_Return);
                QCOMPARE(outcome(), QString(row.outcome));
                break;
            case PreviousButton:
                click("cmdFindPrevious");
                QCOMPARE(outcome(), QString(row.outcome));
                break;
            case F3:
            case ShiftF3:
                QTest::keyClick(findWindow(), Qt::Key_Escape);
                QVERIFY(!findWindow());
                f->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&f.window()));
                QTest::keyClick(&f.text(), Qt::Key_F3,
                                row.how == ShiftF3 ? Qt::ShiftModifier : Qt::NoModifier);
                break;
        }
        QCOMPARE(sci(Sci::SCI_GETSELECTIONSTART), row.start);
        QCOMPARE(sci(Sci::SCI_GETSELECTIONEND), row.end);
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // Ctrl+F and Ctrl+H: the field focused, the selected text in the find field when it
    // lies on one line.
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
        QVERIFY(findWindow());
        QCOMPARE(findWindow()->windowTitle(), QString("Find and Replace"));
        QCOMPARE(control<QLineEdit>("frmFind", "txtFind")->text(), field);
        QCOMPARE(findWindow()->focusWidget()->objectName(), focus);
        // One window at a time.
        QTest::keyClick(&f.text(), Qt::Key_F, Qt::ControlModifier);
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            open += w->objectName() == "frmFind" && w->isVisible();
        QCOMPARE(open, 1);
    }

    // ---- Replace -------------------------------------------------------------------

    void replaceThenFindNext() {
        QVERIFY(openFind("cat cat cat", "cat", "dog"));
        click("cmdReplace");  // nothing selected yet: finds the first
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
        // One Undo takes it all back.
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.bytes(), row.text);
    }

    // ---- Go to Line ----------------------------------------------------------------

    void goToLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        QTest::newRow("a line") << "4" << 4;
        QTest::newRow("the last") << "5" << 5;
        QTest::newRow("past the last") << "9" << 2;  // refused: the caret's line stays
        QTest::newRow("below the first") << "0" << 2;
    }
    void goToLine() {
        QFETCH(QString, typed);
        QFETCH(int, line);
        f.setText("one\r\ntwo\r\nthree\r\nfour\r\nfive", 7, 7);
        QTest::keyClick(&f.text(), Qt::Key_G, Qt::ControlModifier);
        auto* number = control<QSpinBox>("frmGoTo", "txtLine");
        QVERIFY(number);
        QCOMPARE(f->secondaryWindow("frmGoTo")->windowTitle(), QString("Go to Line"));
        QCOMPARE(number->minimum(), 1);
        QCOMPARE(number->maximum(), 5);
        QCOMPARE(number->value(), 2);
        QCOMPARE(f->secondaryWindow("frmGoTo")->focusWidget(), number);
        QTest::keyClicks(number, typed);
        QTest::keyClick(number, Qt::Key_Return);
        QVERIFY(!f->secondaryWindow("frmGoTo"));
        QCOMPARE(sci(Sci::SCI_GETCURRENTPOS), sci(Sci::SCI_POSITIONFROMLINE, line - 1));
        QCOMPARE(sci(Sci::SCI_GETANCHOR), sci(Sci::SCI_GETCURRENTPOS));
        QTRY_VERIFY(f.text().hasFocus());
        QCOMPARE(f.docChanged(), qint16(0));
    }
};

QTEST_MAIN(EditingTest)
#include "test_editing.moc"
