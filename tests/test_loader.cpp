// SPDX-License-Identifier: GPL-3.0-or-later
// Loading text in pieces into the editing area: line starts, line count and character
// positions match a plain count of the bytes however the pieces split the line ends, and
// stay right through edits at a CR and its LF; a page without faces keeps no style bytes,
// and a face chosen on a large page covers exactly the selection; accessibility reports on
// a large page cost no count of the whole text.
#include "platform/EditingArea.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAccessible>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// Line starts as CR, LF and CR LF end lines.
std::vector<qint64> lineStartsOf(const QByteArray& text) {
    std::vector<qint64> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        if (text[i] == '\r' || text[i] == '\n') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

// Characters from one byte position to another: UTF-8 sequences count once, 8-bit bytes
// each.
qint64 charactersBetween(const QByteArray& text, qint64 from, qint64 to, bool utf8) {
    if (!utf8) {
        return to - from;
    }
    qint64 n = 0;
    for (qint64 i = from; i < to; ++i) {
        n += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    }
    return n;
}

// Everything the area says about lines and characters agrees with the plain count.
void checkAgainstReference(EditingArea& area, const QByteArray& text) {
    QCOMPARE(area.bytes().toByteArray(), text);
    const bool utf8 = area.isUtf8();
    const std::vector<qint64> starts = lineStartsOf(text);
    QCOMPARE(area.SendScintilla(Sci::SCI_GETLINECOUNT), long(starts.size()));
    qint64 characters = 0;
    for (size_t line = 0; line < starts.size(); ++line) {
        QCOMPARE(area.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)),
                 long(starts[line]));
        characters += charactersBetween(text, line ? starts[line - 1] : 0, starts[line], utf8);
        QCOMPARE(area.characterFromPosition(starts[line]), characters);
        QCOMPARE(area.positionFromCharacter(characters), starts[line]);
    }
    characters += charactersBetween(text, starts.empty() ? 0 : starts.back(), text.size(), utf8);
    QCOMPARE(area.characterFromPosition(text.size()), characters);
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

QByteArray randomText(quint32 seed, int pieces, bool utf8) {
    QRandomGenerator rng(seed);
    const QList<QByteArray> parts =
        utf8 ? QList<QByteArray>{"a", "<B>", "\r", "\n", "\r\n", "\xc3\xa9", "\xe2\x82\xac"}
             : QList<QByteArray>{"a", "<B>", "\r", "\n", "\r\n", "\xe9", "\x80"};
    QByteArray text;
    for (int i = 0; i < pieces; ++i) {
        text += parts[rng.bounded(int(parts.size()))];
    }
    return text;
}

long residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return statm.readAll().split(' ').value(1).toLong() * sysconf(_SC_PAGESIZE);
}

// The flags the kernel keeps for the mapping that holds an address ("VmFlags" in smaps).
QList<QByteArray> mappingFlags(quintptr address) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) {
        return {};
    }
    bool inside = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const qsizetype dash = line.indexOf('-');
        const qsizetype space = line.indexOf(' ');
        if (dash > 0 && space > dash && !line.endsWith(':') && !line.contains(": ")) {
            bool ok1 = false, ok2 = false;
            const quintptr from = line.left(dash).toULongLong(&ok1, 16);
            const quintptr to = line.mid(dash + 1, space - dash - 1).toULongLong(&ok2, 16);
            inside = ok1 && ok2 && from <= address && address < to;
        } else if (inside && line.startsWith("VmFlags:")) {
            return line.mid(8).simplified().split(' ');
        }
    }
    return {};
}

// A page of the given size: short lines with a two-byte character in each.
QByteArray page(qsizetype size) {
    const QByteArray line("<P>caf\xc3\xa9 and some more words of text</P>\r\n");
    QByteArray text;
    text.reserve(size + line.size());
    while (text.size() < size) {
        text += line;
    }
    return text;
}

qint64 gLastInsertOffset = -1;
void recordInsertion(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TextInserted) {
        gLastInsertOffset = static_cast<QAccessibleTextInsertEvent*>(event)->changePosition();
    }
}

void setAccessibilityActive(bool active) {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}

}  // namespace

class LoaderTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        setAccessibilityActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    void piecesSplitLineEnds_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<bool>("utf8");
        // Every piece ends between a CR and its LF.
        QTest::newRow("CR LF, split between CR and LF")
            << QByteArray("ab\r\n").repeated(300) << QList<int>{3, 4} << true;
        QTest::newRow("CR LF, split after LF")
            << QByteArray("ab\r\n").repeated(300) << QList<int>{4} << true;
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
        for (quint32 seed = 1; seed <= 6; ++seed) {
            QTest::addRow("random %u", seed)
                << randomText(seed, 4000, true) << QList<int>{1, 2, 3, 7, 16, 17, 33, 100} << true;
        }
        QTest::newRow("8-bit, random")
            << randomText(9, 4000, false) << QList<int>{1, 5, 16, 31} << false;
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
    void editsAtCrLf_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QByteArray>("inserted");
        QTest::newRow("LF typed after a CR")
            << QByteArray("ab\r\xc3\xa9x\r\nc") << 3 << 0 << QByteArray("\n");
        QTest::newRow("LF and more after a CR")
            << QByteArray("ab\r\xc3\xa9x") << 3 << 0 << QByteArray("\nq\xc3\xa9");
        QTest::newRow("text between CR and LF")
            << QByteArray("ab\r\n\xc3\xa9x\r\n") << 3 << 0 << QByteArray("\xc3\xa9z");
        QTest::newRow("CR before an LF")
            << QByteArray("ab\n\xc3\xa9") << 2 << 0 << QByteArray("\xc3\xa9\r");
        QTest::newRow("deletion joins CR and LF")
            << QByteArray("a\xc3\xa9\ryz\ncd") << 4 << 2 << QByteArray();
        QTest::newRow("deletion from between CR and LF")
            << QByteArray("ab\r\nx\xc3\xa9y\r\ncd") << 3 << 4 << QByteArray();
        QTest::newRow("deletion of a CR of CR LF")
            << QByteArray("\xc3\xa9\r\nb\r\n") << 2 << 1 << QByteArray();
    }

    void editsAtCrLf() {
        QFETCH(QByteArray, text);
        QFETCH(int, position);
        QFETCH(int, deleted);
        QFETCH(QByteArray, inserted);
        EditingArea area;
        area.setBytes(text);
        checkAgainstReference(area, text);
        if (deleted > 0) {
            area.SendScintilla(Sci::SCI_DELETERANGE, position, deleted);
        } else {
            area.SendScintilla(Sci::SCI_INSERTTEXT, position, inserted.constData());
        }
        checkAgainstReference(area, text.left(position) + inserted + text.mid(position + deleted));
    }

    // Room made for a text is neither written nor faulted in before the text comes (a
    // buffer sized for a large file costs memory only as the file fills it) and asks for no
    // huge pages, whose compaction at fault time made a large open slow in some runs; the
    // text that comes (in one piece large enough to be faulted in at once) reads back byte
    // for byte.
    void roomComesUntouched() {
        EditingArea area;
        const long before = residentBytes();
        constexpr long kRoom = 256L << 20;
        area.SendScintilla(Sci::SCI_ALLOCATE, kRoom);
        const long grown = residentBytes() - before;
        QVERIFY2(grown < kRoom / 4, qPrintable(QStringLiteral("%1 MB resident after making "
                                                              "room for 256 MB")
                                                   .arg(grown >> 20)));
        const auto text0 = quintptr(area.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
        const QList<QByteArray> flags = mappingFlags(text0 + kRoom / 2);
        QVERIFY(flags.contains("rd"));
        QVERIFY2(!flags.contains("hg"), flags.join(' ').constData());
        const QByteArray text = page(1 << 20);
        area.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                           text.constData());
        area.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(area.byteLength()));
        area.setSelText("<B></B>");
        QCOMPARE(area.bytes().toByteArray(), text + "<B></B>");
        checkAgainstReference(area, text + "<B></B>");
    }

    // A text that memory will not hold fails the load and leaves the area as it was: the
    // program goes on.
    void loadBeyondMemoryLeavesTheArea() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer ends the program on a failed new rather than throwing");
#endif
        EditingArea area;
        area.setBytes("<P>kept</P>");
        area.setSelStart(3);
        area.setSelText("X");
        bool asked = false;
        const bool loaded = area.streamBytes(qint64(1) << 46, [&](char*, qint64) -> qint64 {
            asked = true;
            return 0;
        });
        QVERIFY(!loaded);
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

        const long from = long(text.size() / 2) + 5;
        const long to = from + 1000;
        area.SendScintilla(Sci::SCI_SETSEL, from, to);
        area.setSelectionFace(QStringLiteral("Arial"));
        // The style bytes, one per character, come with the first face and not before:
        // the memory grows by about the page's size only now (a difference, so it holds
        // whatever the allocator keeps around, sanitizers included).
        const long styles = residentBytes() - unstyled;
        QVERIFY2(styles > text.size() * 9 / 10,
                 qPrintable(QStringLiteral("%1 MB of style bytes for a %2 MB page")
                                .arg(styles >> 20)
                                .arg(text.size() >> 20)));
        const QString base = area.faceAt(0);
        QCOMPARE(area.faceAt(from - 1), base);
        QCOMPARE(area.faceAt(from), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to - 1), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to), base);
        QCOMPARE(area.faceAt(text.size() - 1), base);

        // Typed inside the face, the text takes it; undone, the faces are as they were.
        area.SendScintilla(Sci::SCI_GOTOPOS, from + 10);
        area.setSelText("<B>");
        QCOMPARE(area.faceAt(from + 10), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to + 3), base);
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), text);
        QCOMPARE(area.faceAt(from - 1), base);
        QCOMPARE(area.faceAt(from), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to - 1), QStringLiteral("Arial"));
        QCOMPARE(area.faceAt(to), base);
    }

    // With an assistive technology listening, each edit near the end of a large page is
    // reported with its character offset without counting the whole text again.
    void accessibilityOffsetsOnALargePage() {
        const QByteArray text = page(32 << 20);
        EditingArea area;
        area.setBytes(text);
        QVERIFY(QAccessible::queryAccessibleInterface(&area) != nullptr);
        QAccessible::installUpdateHandler(recordInsertion);
        setAccessibilityActive(true);
        const long at = long(text.size()) - 20;
        std::vector<qint64> times;
        for (int i = 0; i < 21; ++i) {
            area.SendScintilla(Sci::SCI_GOTOPOS, at);
            QElapsedTimer timer;
            timer.start();
            area.setSelText("x");
            times.push_back(timer.nsecsElapsed());
        }
        // Each insertion went in at the same place, so the offset is that of the place.
        QCOMPARE(gLastInsertOffset, charactersBetween(text, 0, at, true));
        // The first report may build an index of the lines; the others look it up.
        std::sort(times.begin() + 1, times.end());
        const qint64 median = times[11];
        QVERIFY2(median < 5'000'000, qPrintable(QStringLiteral("%1 ms").arg(median / 1e6)));
    }
};

QTEST_MAIN(LoaderTest)
#include "test_loader.moc"
