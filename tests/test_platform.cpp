// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer: the editing area's bytes, caret and line ends; loading in pieces, style
// bytes and memory on large pages; 8-bit documents as Windows-1252 through the real window
// and clipboard; and the patched, statically linked QScintilla with its accessibility reports.
#include "MainWindowFixture.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "ui/frmMain.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// Everything the area says about lines and characters agrees with a plain count of the bytes:
// CR, LF and CR LF end lines; UTF-8 sequences count once, 8-bit bytes each.
void checkAgainstReference(EditingArea& area, const QByteArray& text) {
    QCOMPARE(area.bytes().toByteArray(), text);
    unsigned long line = 0;
    qint64 characters = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char before = i ? text[i - 1] : '\n';
        if (before == '\n' || (before == '\r' && (i == text.size() || text[i] != '\n'))) {
            QCOMPARE(area.SendScintilla(Sci::SCI_POSITIONFROMLINE, line++), long(i));
            QCOMPARE(area.characterFromPosition(i), characters);
            QCOMPARE(area.positionFromCharacter(characters), qint64(i));
        }
        characters += i < text.size() && (!area.isUtf8() || (uchar(text[i]) & 0xC0) != 0x80);
    }
    QCOMPARE(area.characterFromPosition(text.size()), characters);
    QCOMPARE(area.SendScintilla(Sci::SCI_GETLINECOUNT), long(line));
}

// Loads the text through streamBytes in pieces of the given sizes, repeated.
bool loadInPieces(EditingArea& area, const QByteArray& text, const QList<int>& sizes) {
    qsizetype at = 0;
    int piece = 0;
    return area.streamBytes(text.size(), [&](char* buffer, qint64 capacity) -> qint64 {
        const qint64 n = std::min<qint64>(
            {qint64(sizes[piece++ % sizes.size()]), capacity, qint64(text.size() - at)});
        memcpy(buffer, text.constData() + at, size_t(n));
        at += n;
        return n;
    });
}

// Random text of the given pieces; "broken" adds now and then any byte at all.
QByteArray randomText(QRandomGenerator& rng, int pieces, const QList<QByteArray>& parts,
                      bool broken = false) {
    QByteArray text;
    for (int i = 0; i < pieces; ++i) {
        const int which = int(rng.bounded(int(parts.size()) + broken));
        text += which < parts.size() ? parts[which] : QByteArray(1, char(rng.bounded(256)));
    }
    return text;
}
const QList<QByteArray> kUtf8Parts{"a", "<B>", "\r", "\n", "\r\n", "\xc3\xa9", "\xe2\x82\xac"};

long residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
               ? statm.readAll().split(' ').value(1).toLong() * sysconf(_SC_PAGESIZE)
               : -1;
}

// The flags the kernel keeps for the mapping that holds an address ("VmFlags" in smaps).
QList<QByteArray> mappingFlags(quintptr address) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    bool inside = false;
    for (const QByteArray& line :
         smaps.open(QIODevice::ReadOnly) ? smaps.readAll().split('\n') : QList<QByteArray>()) {
        // A mapping's first line starts with its range "from-to" in hex; the fields with a name.
        const QList<QByteArray> range = line.left(line.indexOf(' ')).split('-');
        if (range.size() == 2)
            inside = range[0].toULongLong(nullptr, 16) <= address &&
                     address < range[1].toULongLong(nullptr, 16);
        else if (inside && line.startsWith("VmFlags:"))
            return line.mid(8).simplified().split(' ');
    }
    return {};
}

// A page of the given size: short lines with a two-byte character in each.
QByteArray page(qsizetype size) {
    const QByteArray line("<P>caf\xc3\xa9 and some more words of text</P>\r\n");
    return line.repeated(size / line.size() + 1);
}

// The edits and caret moves reported to assistive technologies: "+3 <B></B>", "-3 x", "^4".
QStringList gSeen;
void recordEvent(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TextInserted) {
        auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
        gSeen << QStringLiteral("+%1 %2").arg(e->changePosition()).arg(e->textInserted());
    } else if (event->type() == QAccessible::TextRemoved) {
        auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
        gSeen << QStringLiteral("-%1 %2").arg(e->changePosition()).arg(e->textRemoved());
    } else if (event->type() == QAccessible::TextCaretMoved) {
        gSeen << QStringLiteral("^%1").arg(
            static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition());
    }
}

// What a screen reader's bridge does when it starts listening.
void setAccessibilityActive(bool active) {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}

// The area's accessible object (made once something asks for it), listened to from now on.
bool listenTo(EditingArea& area, bool active = true) {
    const bool made = QAccessible::queryAccessibleInterface(&area) != nullptr;
    setAccessibilityActive(active);
    gSeen.clear();
    return made;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return program + " failed: " + QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The caret set in characters lands on a byte; Enter there types the document's line end.
struct CaretRow {
    const char* name;
    QByteArray text;
    qint64 chars, bytes, at;
    QByteArray lineEnd;
} const kCaret[] = {
    {"new document", "", 0, 0, 0, "\r\n"},
    {"ascii", "hello", 3, 3, 3, "\r\n"},
    {"crlf counts two", "a\r\nb", 3, 3, 3, "\r\n"},
    {"lf file", "a\nb", 2, 2, 2, "\n"},
    {"cr file", "a\rb", 1, 1, 1, "\r"},
    {"utf8 before", "\xc3\xa9\xc3\xa9x", 2, 4, 2, "\r\n"},
    {"utf8 lines", "\xe2\x82\xac\r\n\xe2\x82\xac\r\nz", 4, 8, 4, "\r\n"},
    {"latin1 bytes", "\xe9\xe9x", 2, 2, 2, "\r\n"},
    {"end", "\xc3\xa9", 1, 2, 1, "\r\n"},
    {"past end clamps", "ab", 9, 2, 2, "\r\n"},
};

struct CrLfEditRow {
    const char* name;
    QByteArray text;
    int position, deleted;
    QByteArray inserted;
} const kCrLfEdits[] = {
    {"LF typed after a CR", "ab\r\xc3\xa9x\r\nc", 3, 0, "\n"},
    {"LF and more after a CR", "ab\r\xc3\xa9x", 3, 0, "\nq\xc3\xa9"},
    {"text between CR and LF", "ab\r\n\xc3\xa9x\r\n", 3, 0, "\xc3\xa9z"},
    {"CR before an LF", "ab\n\xc3\xa9", 2, 0, "\xc3\xa9\r"},
    {"deletion joins CR and LF", "a\xc3\xa9\ryz\ncd", 4, 2, ""},
    {"deletion from between CR and LF", "ab\r\nx\xc3\xa9y\r\ncd", 3, 4, ""},
    {"deletion of a CR of CR LF", "\xc3\xa9\r\nb\r\n", 2, 1, ""},
};

// Bytes 0x80-0x9F and what Windows-1252 makes of them; the five bytes it leaves undefined
// stay the control characters of the same value.
const QByteArray kHighBytes = [] {
    QByteArray bytes;
    for (int b = 0x80; b < 0xA0; ++b)
        bytes.append(char(b));
    return bytes;
}();
const QString kHighText = QString::fromUtf8(
    "\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d"
    "\u008f\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d"
    "\u017e\u0178");
const QList<int> kUndefined{0x81, 0x8D, 0x8F, 0x90, 0x9D};

const QByteArray kDoc("one two three");
const QByteArray kHigh = kHighBytes + "\xe9";
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

// Edits are reported to assistive technologies only while accessibility is active, with
// offsets in characters, not bytes.
const QByteArray kMultibyte("\xc3\xa9t\xc3\xa9\r\n\xe2\x82\xac and more");
struct EditEventRow {
    const char* name;
    bool active;
    QByteArray text;
    int insertAt;
    QByteArray inserted;
} const kEditEvents[] = {
    {"inactive", false, kMultibyte, 6, "x"},
    {"active, ascii", true, "<P>text</P>", 3, "<B></B>"},
    {"active, multibyte", true, kMultibyte, 6, "\xc3\xa0<I>"},
    {"active, at end", true, "abc\r\n", 5, "z"},
};

// A character typed on the keyboard (key) or committed by an input method into a loaded
// document, saved again: the document's bytes stay, the new character is its byte or a
// character reference.
const QByteArray kHighCafe = kHighBytes + "caf\xe9";
struct TypedRow {
    const char* name;
    bool key;
    QByteArray file;
    QString typed;
    QByteArray saved;
} const kTyped[] = {
    {"key lambda", true, kHighCafe, "\u03bb", kHighCafe + "&#955;"},
    {"key euro", true, kHighCafe, "\u20ac", kHighCafe + "\x80"},
    {"input method", false, kHighCafe, "\u03bb\u2122\u00e9", kHighCafe + "&#955;\x99\xe9"},
    {"utf-8 key lambda", true, "caf\xc3\xa9", "\u03bb", "caf\xc3\xa9\xce\xbb"},
    {"utf-8 input method", false, "\xe2\x82\xac", "\u03bb\u20ac",
     "\xe2\x82\xac\xce\xbb\xe2\x82\xac"},
};

}  // namespace

class PlatformTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    long send(unsigned int message, unsigned long w = 0, long l = 0) {
        return f.text().SendScintilla(message, w, l);
    }
    // The real window's editing area, shown, with no blinking caret in its pictures.
    void startWindow() {
        f.start(false, true);
        send(Sci::SCI_SETCARETSTYLE, Sci::CARETSTYLE_INVISIBLE);
    }
    // What the area draws, and where it puts every character boundary of the first line.
    QImage drawn() {
        f.text().viewport()->update();
        QApplication::processEvents();
        return f.text().viewport()->grab().toImage();
    }
    QList<long> boundaries() {
        QList<long> xs{send(Sci::SCI_POINTXFROMPOSITION, 0, 0)};
        for (long pos = 0; pos < send(Sci::SCI_GETLENGTH);) {
            pos = send(Sci::SCI_POSITIONAFTER, pos);
            xs << send(Sci::SCI_POINTXFROMPOSITION, 0, pos);
        }
        return xs;
    }

  private slots:
    void init() {
        f.reset();
        gSeen.clear();
        QAccessible::installUpdateHandler(recordEvent);
    }
    void cleanup() {
        f.finish();
        setAccessibilityActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    // ---- the editing area's text, caret and line ends ----------------------------------

    // Any bytes read back as they were set. The shape of a text (valid UTF-8 or not, its line
    // end) is the same found piece by piece as at once, wherever the pieces split it.
    void shapeInPieces() {
        QRandomGenerator rng(99);
        EditingArea area;
        const QList<QByteArray> parts{"\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80",
                                      "\r",       "\n",           "a"};
        for (int i = 0; i < 2000; ++i) {
            const QByteArray text = randomText(rng, int(rng.bounded(40)), parts, true);
            if (i % 7 == 0) {
                area.setBytes(text);
                QCOMPARE(area.bytes().toByteArray(), text);
            }
            const EditingArea::TextShape whole = EditingArea::shapeOf(text);
            QCOMPARE(whole.utf8, text.isValidUtf8());
            EditingArea::ShapeFinder finder;
            for (qsizetype at = 0, len = 0; at < text.size(); at += len) {
                len = std::min<qsizetype>(1 + rng.bounded(5), text.size() - at);
                finder.add(QByteArrayView(text).sliced(at, len));
            }
            QCOMPARE(finder.shape().size, whole.size);
            QCOMPARE(finder.shape().utf8, whole.utf8);
            QCOMPARE(int(finder.shape().lineEnd), int(whole.lineEnd));
        }
    }

    void selTextReplacesSelection() {
        EditingArea area;
        area.setSelText(QByteArrayView("a\0b", 3));
        QCOMPARE(area.bytes().toByteArray(), QByteArray("a\0b", 3));
        area.setBytes("one two three");
        area.SendScintilla(Sci::SCI_SETSEL, 4, 7);
        QCOMPARE(area.selectedBytes(), QByteArray("two"));
        area.setSelText("<B></B>");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one <B></B> three"));
        QCOMPARE(area.selStart(), 11);
        QVERIFY(area.selectedBytes().isEmpty());
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one two three"));
    }

    void caretAndEnter_data() { addRows(kCaret); }
    void caretAndEnter() {
        const auto& r = fetchRow(kCaret);
        EditingArea area;
        area.setBytes(r.text);
        area.setSelStart(r.chars);
        QCOMPARE(qint64(area.SendScintilla(Sci::SCI_GETCURRENTPOS)), r.bytes);
        QCOMPARE(area.selStart(), r.at);
        QTest::keyClick(&area, Qt::Key_Return);
        QCOMPARE(area.bytes().toByteArray(),
                 r.text.left(r.bytes) + r.lineEnd + r.text.mid(r.bytes));
    }

    // ---- loading ------------------------------------------------------------------------

    // Line starts, line count and character positions match a plain count of the bytes
    // however the pieces split the line ends.
    void piecesSplitLineEnds_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<bool>("utf8");
        // Every piece ends between a CR and its LF.
        QTest::newRow("CR LF, split between CR and LF")
            << QByteArray("ab\r\n").repeated(300) << QList<int>{3, 4} << true;
        QTest::newRow("lone CR, split after CR")
            << QByteArray("ab\rc\xc3\xa9\r").repeated(300) << QList<int>{3, 5} << true;
        QTest::newRow("lone LF, split after LF")
            << QByteArray("ab\nc\xc3\xa9\n").repeated(300) << QList<int>{3, 5} << true;
        QTest::newRow("empty lines of every kind, one byte a piece")
            << QByteArray("\r\n\r\r\n\n\r").repeated(100) << QList<int>{1} << true;
        // Long runs: the line ends are found many bytes at a time.
        QTest::newRow("long lines, split inside CR LF")
            << (QByteArray(37, 'x') + "\r\n" + QByteArray(70, 'y') + "\r" + QByteArray(17, 'z') +
                "\n")
                   .repeated(200)
            << QList<int>{39, 1000, 4096} << true;
        QRandomGenerator rng(1);
        for (int i = 1; i <= 6; ++i)
            QTest::addRow("random %d", i) << randomText(rng, 4000, kUtf8Parts)
                                          << QList<int>{1, 2, 3, 7, 16, 17, 33, 100} << true;
        QTest::newRow("8-bit, random")
            << randomText(rng, 4000, {"a", "<B>", "\r", "\n", "\r\n", "\xe9", "\x80"})
            << QList<int>{1, 5, 16, 31} << false;
    }
    void piecesSplitLineEnds() {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, pieces);
        QFETCH(bool, utf8);
        EditingArea area;
        QVERIFY(loadInPieces(area, text, pieces));
        QCOMPARE(area.isUtf8(), utf8);
        checkAgainstReference(area, text);
    }

    // Once characters have been counted, edits that join or split a CR and its LF keep the
    // counts right.
    void editsAtCrLf_data() { addRows(kCrLfEdits); }
    void editsAtCrLf() {
        const auto& [name, text, position, deleted, inserted] = fetchRow(kCrLfEdits);
        EditingArea area;
        area.setBytes(text);
        checkAgainstReference(area, text);
        if (deleted > 0)
            area.SendScintilla(Sci::SCI_DELETERANGE, position, deleted);
        else
            area.SendScintilla(Sci::SCI_INSERTTEXT, position, inserted.constData());
        checkAgainstReference(area, text.left(position) + inserted + text.mid(position + deleted));
    }

    // Room made for a text is neither written nor faulted in before the text comes (a
    // buffer sized for a large file costs memory only as the file fills it) and asks for no
    // huge pages, whose compaction at fault time made a large open slow; the text that
    // comes reads back byte for byte.
    void roomComesUntouched() {
        EditingArea area;
        const long before = residentBytes();
        constexpr long kRoom = 256L << 20;
        area.SendScintilla(Sci::SCI_ALLOCATE, kRoom);
        const long grown = residentBytes() - before;
        QVERIFY2(grown < kRoom / 4, qPrintable(QString::number(grown >> 20) + " MB resident"));
        const auto text0 = quintptr(area.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
        const QList<QByteArray> flags = mappingFlags(text0 + kRoom / 2);
        QVERIFY(flags.contains("rd"));
        QVERIFY2(!flags.contains("hg"), flags.join(' ').constData());
        const QByteArray text = page(1 << 20);
        area.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                           text.constData());
        area.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(area.byteLength()));
        area.setSelText("<B></B>");
        checkAgainstReference(area, text + "<B></B>");
    }

    // A text that memory will not hold fails the load and leaves the area as it was.
    void loadBeyondMemoryLeavesTheArea() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer ends the program on a failed new rather than throwing");
#endif
        EditingArea area;
        area.setBytes("<P>kept</P>");
        area.setSelStart(3);
        area.setSelText("X");
        bool asked = false;
        QVERIFY(!area.streamBytes(qint64(1) << 46, [&](char*, qint64) -> qint64 {
            asked = true;
            return 0;
        }));
        QVERIFY(!asked);
        QCOMPARE(area.bytes().toByteArray(), QByteArray("<P>Xkept</P>"));
        QCOMPARE(area.selStart(), qint64(4));
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("<P>kept</P>"));
    }

    // An unstyled page costs one byte per character; a face chosen on it covers exactly the
    // selection, typing and undo included.
    void stylesOnlyWithFaces() {
        const QByteArray text = page(48 << 20);
        EditingArea area;
        area.setBytes(text);
        const long unstyled = residentBytes();
        const long from = long(text.size() / 2) + 5, to = from + 1000;
        area.SendScintilla(Sci::SCI_SETSEL, from, to);
        area.setSelectionFace(QStringLiteral("Arial"));
        // The style bytes come with the first face and not before (a difference, so it holds
        // whatever the allocator keeps around).
        const long styles = residentBytes() - unstyled;
        QVERIFY2(styles > text.size() * 9 / 10,
                 qPrintable(QString::number(styles >> 20) + " MB of style bytes"));
        const QString base = area.faceAt(0);
        const auto checkFaces = [&] {
            QCOMPARE(area.faceAt(from - 1), base);
            QCOMPARE(area.faceAt(from), QStringLiteral("Arial"));
            QCOMPARE(area.faceAt(to - 1), QStringLiteral("Arial"));
            QCOMPARE(area.faceAt(to), base);
        };
        checkFaces();
        QCOMPARE(area.faceAt(text.size() - 1), base);
        // Typed inside the face, the text takes it; undone, the faces are as they were.
        area.SendScintilla(Sci::SCI_GOTOPOS, from + 10);
        area.setSelText("<B>");
        QCOMPARE(area.faceAt(from + 10), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to + 3), base);
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), text);
        checkFaces();
    }

    // With an assistive technology listening, each edit near the end of a large page is
    // reported with its character offset without counting the whole text again.
    void accessibilityOffsetsOnALargePage() {
        const QByteArray text = page(32 << 20);
        EditingArea area;
        area.setBytes(text);
        QVERIFY(listenTo(area));
        const long at = long(text.size()) - 20;
        std::vector<qint64> times;
        for (int i = 0; i < 21; ++i) {
            area.SendScintilla(Sci::SCI_GOTOPOS, at);
            QElapsedTimer timer;
            timer.start();
            area.setSelText("x");
            times.push_back(timer.nsecsElapsed());
        }
        QCOMPARE(gSeen.filter(QRegularExpression("^\\+")).last(),
                 QStringLiteral("+%1 x").arg(QString::fromUtf8(text.left(at)).size()));
        // The first report may build an index of the lines; the others look it up.
        std::sort(times.begin() + 1, times.end());
        QVERIFY2(times[11] < 5'000'000, qPrintable(QStringLiteral("%1 ms").arg(times[11] / 1e6)));
    }

    // ---- the 8-bit code page ------------------------------------------------------------

    // Each of 0x80-0x9F that the code page defines is drawn and measured exactly like the
    // same character in a UTF-8 document, and is the area's own (accessible) text.
    void highBytesAreDrawnAsTheirCharacters() {
        startWindow();
        QByteArray eightBit;
        QString expected;
        for (int b = 0x80; b < 0xA0; ++b) {
            if (!kUndefined.contains(b)) {
                eightBit.append(char(b)).append(' ');
                expected.append(kHighText[b - 0x80]).append(' ');
            }
        }
        f.text().setBytes(eightBit);
        QVERIFY(!f.text().isUtf8());
        QCOMPARE(f.text().text(), expected);
        const QImage shown8 = drawn();
        const QList<long> xs8 = boundaries();
        f.text().setBytes(expected.toUtf8());
        QVERIFY(f.text().isUtf8());
        QCOMPARE(boundaries(), xs8);
        QCOMPARE(drawn(), shown8);
        // The undefined bytes are still shown, as their value in a box like an invalid byte
        // of UTF-8, so they take the room of that text.
        for (int b : kUndefined) {
            f.text().setBytes(QByteArray("a") + char(b) + "b");
            QVERIFY(!f.text().isUtf8());
            const long width =
                send(Sci::SCI_POINTXFROMPOSITION, 0, 2) - send(Sci::SCI_POINTXFROMPOSITION, 0, 1);
            const QByteArray value = "x" + QByteArray::number(b, 16).toUpper();
            QVERIFY2(width > f.text().SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_DEFAULT,
                                                    value.constData()),
                     value.constData());
        }
    }

    // Cut, copy and paste through the Edit menu, the picture buttons and the area's own
    // shortcuts, over a clipboard that holds rich text and a picture: what the document and
    // the clipboard hold after, and whether the document counts as changed.
    void clipboard_data() {
        addRows(kClipboard);
    }
    void clipboard() {
        const auto& [name, how, document, selFrom, selTo, clipboardBefore, documentAfter,
                     clipboardAfter, changed] = fetchRow(kClipboard);
        startWindow();
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
        addRows(kTyped);
    }
    void typed() {
        const auto& [name, key, file, typed, saved] = fetchRow(kTyped);
        startWindow();
        const QString path = f.path("page.html");
        writeFile(path, file);
        f.load(path);
        QCOMPARE(f.bytes(), file);
        send(Sci::SCI_DOCUMENTEND);
        if (key) {
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

    // ---- the QScintilla build -------------------------------------------------------------

    // The program in the build folder and the installed one: neither names a QScintilla
    // library for the loader to find (Debian's unpatched copy is installed on the test
    // machine, so a program that asked for one would get it), both define the editing
    // control's code themselves, and plain text needs no lexer but the null one.
    void programsCarryTheLibrary_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("build folder") << false;
        QTest::newRow("installed") << true;
    }
    void programsCarryTheLibrary() {
        QFETCH(bool, installed);
        QTemporaryDir prefix;
        QString program = QStringLiteral(QUINDO_EXECUTABLE);
        if (installed) {
            QProcess install;
            install.start("cmake", {"--install", QUINDO_BUILD_DIR, "--prefix", prefix.path()});
            QVERIFY(install.waitForFinished(120000));
            QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
            program = prefix.filePath("lib/quindo/quindo");
        }
        QVERIFY2(QFile::exists(program), qPrintable(program));
        QVERIFY2(QFile::exists("/usr/lib/x86_64-linux-gnu/libqscintilla2_qt6.so.15"),
                 "Debian's libqscintilla2-qt6-15 belongs on the test machine "
                 "(scripts/install-deps.sh --test)");
        const QString ldd = run("ldd", {program});
        QVERIFY2(ldd.contains("libQt6Widgets"), qPrintable(ldd));
        QVERIFY2(!ldd.contains("qscintilla", Qt::CaseInsensitive), qPrintable(ldd));
        const QString symbols = run("nm", {"-C", "--defined-only", program});
        QVERIFY(symbols.contains("QsciScintillaBase::staticMetaObject"));
        static const QRegularExpression lexerModule(" lm[A-Z][A-Za-z0-9_]*$",
                                                    QRegularExpression::MultilineOption);
        QStringList lexers;
        for (auto it = lexerModule.globalMatch(symbols); it.hasNext();)
            lexers << it.next().captured().trimmed();
        QCOMPARE(lexers, QStringList{"lmNull"});
    }

    // Edits are reported to assistive technologies only while accessibility is active, with
    // offsets in characters, not bytes.
    void editEvents_data() {
        addRows(kEditEvents);
    }
    void editEvents() {
        const auto& [name, active, text, insertAt, inserted] = fetchRow(kEditEvents);
        EditingArea area;
        area.setBytes(text);
        QVERIFY(listenTo(area, active));
        area.setSelStart(insertAt);
        area.setSelText(inserted);
        // Take the insertion back out with a real deletion.
        area.SendScintilla(
            Sci::SCI_SETSEL, area.positionFromCharacter(insertAt),
            area.positionFromCharacter(insertAt + QString::fromUtf8(inserted).size()));
        area.removeSelectedText();
        QCOMPARE(area.bytes().toByteArray(), text);
        const QString edit = QStringLiteral("%1 ").arg(insertAt) + QString::fromUtf8(inserted);
        if (active)
            QCOMPARE(gSeen.filter(QRegularExpression("^[-+]")),
                     QStringList({"+" + edit, "-" + edit}));
        else
            QVERIFY(gSeen.isEmpty());
    }

    void caretEventsWhenActive() {
        EditingArea area;
        area.setBytes("\xc3\xa9\xc3\xa9\xc3\xa9 abc");
        area.show();
        QVERIFY(listenTo(area));
        area.setSelStart(4);
        // The caret report follows the next screen update.
        QTRY_VERIFY(gSeen.contains("^4"));
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
