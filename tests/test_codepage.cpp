// SPDX-License-Identifier: GPL-3.0-or-later
// 8-bit documents are shown, copied, pasted and typed into as Windows-1252, through the
// real window, its editing area and the real clipboard; the bytes on disk never change,
// and a character the code page lacks is written as a numeric character reference.
#include "MainWindowFixture.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "ui/frmMain.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace {

// Bytes 0x80-0x9F and what Windows-1252 makes of them; the five bytes it leaves undefined
// stay the control characters of the same value.
QByteArray highBytes() {
    QByteArray bytes;
    for (int b = 0x80; b < 0xA0; ++b)
        bytes.append(char(b));
    return bytes;
}

const QString kHighText = QString::fromUtf8(
    "\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d"
    "\u008f\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d"
    "\u017e\u0178");

bool undefinedByte(int b) {
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

const QByteArray kDoc("one two three");
const QByteArray kHigh = highBytes() + "\xe9";
const QString kHighWithE = kHighText + QChar(0xE9);
const QByteArray kUtf8("\xe2\x82\xac \xc2\x80 \xce\xbb");
// A character outside the Basic Multilingual Plane, and a C1 control that the code page
// gives no byte of its own.
const QString kWide = QString::fromUcs4(U"\u03bb x\u2014\U0001F600\u0080");
const QByteArray kWideBytes("&#955; x\x97&#128512;&#128;");

struct ClipboardRow {
    const char* name;
    QString how;  // a menu item, a picture button, or the area's own "area copy"/"area paste"
    QByteArray document;
    int selFrom, selTo;
    QString clipboardBefore;  // "" = rich text and a picture only
    QByteArray documentAfter;
    QString clipboardAfter;
    bool changed;
} const kClipboard[] = {
    {"cut", "mnuEditCut", kDoc, 4, 8, "old", "one three", "two ", true},
    {"cut nothing selected", "mnuEditCut", kDoc, 3, 3, "old", kDoc, "", false},
    {"copy", "mnuEditCopy", kDoc, 0, 3, "old", kDoc, "one", false},
    {"copy nothing selected", "mnuEditCopy", kDoc, 5, 5, "", kDoc, "", false},
    {"paste over selection", "mnuEditPaste", kDoc, 4, 7, "2", "one 2 three", "2", true},
    {"paste without text deletes selection", "mnuEditPaste", kDoc, 3, 7, "", "one three", "", true},
    {"cut all", "mnucutall", kDoc, 2, 5, "old", "", kDoc, true},
    {"cut all empty", "mnucutall", "", 0, 0, "old", "", "", false},
    {"copy all", "mnucopyall", kDoc, 1, 2, "", kDoc, kDoc, false},
    {"button 5 cuts", "Command5", kDoc, 0, 4, "old", "two three", "one ", true},
    {"button 6 copies", "Command6", kDoc, 8, 13, "old", kDoc, "three", false},
    {"button 7 pastes", "Command7", kDoc, 0, 13, "all", "all", "all", true},
    // 8-bit text crosses as Windows-1252; what it lacks comes in as character references.
    {"8-bit copy all", "mnucopyall", kHigh, 0, 0, "old", kHigh, kHighWithE, false},
    {"8-bit copy", "mnuEditCopy", kHigh, 0, 33, "old", kHigh, kHighWithE, false},
    {"8-bit cut", "mnuEditCut", kHigh, 0, 3, "old", kHigh.mid(3), kHighText.left(3), true},
    {"8-bit cut all", "mnucutall", kHigh, 0, 0, "old", "", kHighWithE, true},
    {"8-bit area copy", "area copy", kHigh, 0, 33, "old", kHigh, kHighWithE, false},
    {"8-bit paste back", "mnuEditPaste", "\xe9", 0, 1, kHighWithE, kHigh, kHighWithE, true},
    {"8-bit area paste back", "area paste", "\xe9", 0, 1, kHighWithE, kHigh, kHighWithE, true},
    {"8-bit paste euro", "mnuEditPaste", "caf\xe9 ", 5, 5, "\u20ac", "caf\xe9 \x80", "\u20ac",
     true},
    {"8-bit area paste euro", "area paste", "caf\xe9 ", 5, 5, "\u20ac", "caf\xe9 \x80", "\u20ac",
     true},
    {"8-bit paste at caret", "mnuEditPaste", "\xe9", 1, 1, "\u00fc", "\xe9\xfc", "\u00fc", true},
    {"8-bit paste wide", "mnuEditPaste", "\xe9", 0, 1, kWide, kWideBytes, kWide, true},
    {"8-bit area paste wide", "area paste", "\xe9", 0, 1, kWide, kWideBytes, kWide, true},
    // A UTF-8 document is left as it was.
    {"utf-8 copy all", "mnucopyall", kUtf8, 0, 0, "old", kUtf8, QString::fromUtf8(kUtf8), false},
    {"utf-8 area copy", "area copy", kUtf8, 0, 9, "old", kUtf8, QString::fromUtf8(kUtf8), false},
    {"utf-8 paste", "mnuEditPaste", kDoc, 3, 3, "\u00e9!", "one\xc3\xa9! two three", "\u00e9!",
     true},
    {"utf-8 area paste", "area paste", "a", 1, 1, QString::fromUtf8(kUtf8), "a" + kUtf8,
     QString::fromUtf8(kUtf8), true},
};

}  // namespace

class CodePageTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    long send(unsigned int message, unsigned long w = 0, long l = 0) {
        return f.text().SendScintilla(message, w, l);
    }

    // What the area draws, and where it puts every character boundary of the first line.
    QImage drawn() {
        f.text().viewport()->update();
        QApplication::processEvents();
        return f.text().viewport()->grab().toImage();
    }
    QList<long> boundaries() {
        QList<long> xs;
        for (long pos = 0; pos <= send(QsciScintillaBase::SCI_GETLENGTH);
             pos = send(QsciScintillaBase::SCI_POSITIONAFTER, pos)) {
            xs << send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos);
            if (pos == send(QsciScintillaBase::SCI_GETLENGTH))
                break;
        }
        return xs;
    }

  private slots:
    void init() {
        f.reset();
        f.start(false, true);
        // No blinking caret in the pictures.
        send(QsciScintillaBase::SCI_SETCARETSTYLE, QsciScintillaBase::CARETSTYLE_INVISIBLE);
    }
    void cleanup() { f.finish(); }

    // Each of 0x80-0x9F that the code page defines is drawn and measured exactly like the
    // same character in a UTF-8 document.
    void highBytesAreDrawnAsTheirCharacters() {
        QByteArray eightBit;
        QString expected;
        for (int b = 0x80; b < 0xA0; ++b) {
            if (!undefinedByte(b)) {
                eightBit.append(char(b)).append(' ');
                expected.append(kHighText[b - 0x80]).append(' ');
            }
        }
        f.text().setBytes(eightBit);
        QVERIFY(!f.text().isUtf8());
        // The area's own text of them, as an assistive technology reads it too.
        QCOMPARE(f.text().text(), expected);
        const QImage shown8 = drawn();
        const QList<long> xs8 = boundaries();
        f.text().setBytes(expected.toUtf8());
        QVERIFY(f.text().isUtf8());
        QCOMPARE(boundaries(), xs8);
        QCOMPARE(drawn(), shown8);
    }

    // The undefined bytes are still shown, as their value in a box like an invalid byte of
    // UTF-8, so they take the room of that text.
    void undefinedBytesStayVisible_data() {
        QTest::addColumn<int>("byte");
        for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QTest::addRow("0x%X", b) << b;
    }
    void undefinedBytesStayVisible() {
        QFETCH(int, byte);
        f.text().setBytes(QByteArray("a") + char(byte) + "b");
        QVERIFY(!f.text().isUtf8());
        const long before = send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, 1);
        const long after = send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, 2);
        const QByteArray value = "x" + QByteArray::number(byte, 16).toUpper();
        const long valueWidth = f.text().SendScintilla(
            QsciScintillaBase::SCI_TEXTWIDTH, QsciScintillaBase::STYLE_DEFAULT, value.constData());
        QVERIFY2(after - before > valueWidth,
                 qPrintable(QStringLiteral("%1 <= %2").arg(after - before).arg(valueWidth)));
    }

    // Cut, copy and paste through the Edit menu, the picture buttons and the area's own
    // shortcuts, over a clipboard that holds rich text and a picture: what the document and
    // the clipboard hold after, and whether the document counts as changed.
    void clipboard_data() { addRows(kClipboard); }
    void clipboard() {
        const auto& [name, how, document, selFrom, selTo, clipboardBefore, documentAfter,
                     clipboardAfter, changed] = fetchRow(kClipboard);
        QClipboard* clip = QGuiApplication::clipboard();
        auto* before = new QMimeData;
        before->setHtml("<b>rich</b>");
        before->setImageData(QImage(2, 2, QImage::Format_RGB32));
        if (!clipboardBefore.isEmpty())
            before->setText(clipboardBefore);
        clip->setMimeData(before);
        f.setText(document, selFrom, selTo);
        f->setFocus();
        if (how == "area copy")
            f.text().copy();
        else if (how == "area paste")
            f.text().paste();
        else if (how.startsWith("Command"))
            QTest::mouseClick(f->button(how), Qt::LeftButton);
        else
            f->action(how)->trigger();
        QCOMPARE(f.bytes(), documentAfter);
        QCOMPARE(clip->text(), clipboardAfter);
        QCOMPARE(f.docChanged(), qint16(changed ? 1 : 0));
        if (!how.startsWith("area") && how != "mnuEditPaste" && how != "Command7") {
            // Plain text and nothing else.
            QCOMPARE(clip->mimeData()->formats(), QStringList{"text/plain"});
            QVERIFY(f.text().hasFocus());
        }
    }

    // A character typed on the keyboard or committed by an input method into a loaded
    // document, saved again: the document's bytes stay, the new character is its byte or a
    // character reference.
    void typed_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray high = highBytes() + "caf\xe9";
        QTest::newRow("key lambda") << "key" << high << "\u03bb" << high + "&#955;";
        QTest::newRow("key euro") << "key" << high << "\u20ac" << high + "\x80";
        QTest::newRow("key e acute") << "key" << high << "\u00e9" << high + "\xe9";
        QTest::newRow("input method")
            << "input method" << high << "\u03bb\u2122\u00e9" << high + "&#955;\x99\xe9";
        QTest::newRow("utf-8 key lambda")
            << "key" << QByteArray("caf\xc3\xa9") << "\u03bb" << QByteArray("caf\xc3\xa9\xce\xbb");
        QTest::newRow("utf-8 input method")
            << "input method" << QByteArray("\xe2\x82\xac") << "\u03bb\u20ac"
            << QByteArray("\xe2\x82\xac\xce\xbb\xe2\x82\xac");
    }

    void typed() {
        QFETCH(QString, how);
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        const QString path = f.path("page.html");
        writeFile(path, file);
        f.load(path);
        QCOMPARE(f.bytes(), file);
        send(QsciScintillaBase::SCI_DOCUMENTEND);
        if (how == "key") {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(&f.text(), &press);
            QVERIFY(press.isAccepted());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(&f.text(), &commit);
        }
        QVERIFY(f.save());
        // Saving ends the text with a line end.
        QCOMPARE(readFile(path), saved + "\r\n");
    }
};

QTEST_MAIN(CodePageTest)
#include "test_codepage.moc"
