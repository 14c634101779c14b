// SPDX-License-Identifier: GPL-3.0-or-later
// The editing area's byte, caret and selection operations on a real QScintilla widget.
#include "ui/platform/EditingArea.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// Random text, mostly valid with some multi-byte characters and line ends, now and then
// a broken byte.
QByteArray randomText(QRandomGenerator& rng) {
    static const char* const kPieces[] = {"\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80",
                                          "\r", "\n", "a"};
    QByteArray text;
    for (int k = int(rng.bounded(40)); k > 0; --k) {
        const int which = int(rng.bounded(7));
        text += which < 6 ? QByteArray(kPieces[which]) : QByteArray(1, char(rng.bounded(256)));
    }
    return text;
}

}  // namespace

class EditingAreaTest : public QObject {
    Q_OBJECT

  private slots:
    void bytesRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("lone cr") << QByteArray("a\rb\r") << true;
        QTest::newRow("lf, then crlf") << QByteArray("ab\ncd\r\n") << true;
        QTest::newRow("cr at end") << QByteArray("ab\r") << true;
        QTest::newRow("lone continuation") << QByteArray("a\x80" "b") << false;
        QTest::newRow("nul") << QByteArray("a\0b\0", 4) << true;
        QTest::newRow("latin1") << QByteArray("caf\xe9 \xff\x80") << false;
        QTest::newRow("utf8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << true;
        QTest::newRow("bom") << QByteArray("\xef\xbb\xbf<p>") << true;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("truncated") << QByteArray("ab\xe2\x82") << false;
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QTest::newRow("every byte") << all << false;
    }

    void bytesRoundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        EditingArea area;
        area.setBytes(bytes);
        QCOMPARE(area.bytes().toByteArray(), bytes);
        QCOMPARE(area.byteLength(), bytes.size());
        QCOMPARE(area.isUtf8(), utf8);
        QCOMPARE(isValidUtf8(bytes), utf8);
        QVERIFY(!area.isUndoAvailable());  // the load is not undoable
        // A text read in pieces has the shape of the whole, wherever the pieces are cut.
        const EditingArea::TextShape whole = EditingArea::shapeOf(bytes);
        QCOMPARE(whole.utf8, utf8);
        for (qsizetype cut = 1; cut <= std::max<qsizetype>(1, bytes.size()); ++cut) {
            EditingArea::ShapeFinder finder;
            for (qsizetype at = 0; at < bytes.size(); at += cut)
                finder.add(QByteArrayView(bytes).sliced(at, std::min(cut, bytes.size() - at)));
            QCOMPARE(finder.shape().size, whole.size);
            QCOMPARE(finder.shape().utf8, whole.utf8);
            QCOMPARE(int(finder.shape().lineEnd), int(whole.lineEnd));
        }
    }

    void randomTexts() {
        EditingArea area;
        QRandomGenerator rng(99);
        for (int i = 0; i < 2000; ++i) {
            const QByteArray text = randomText(rng);
            if (i % 7 == 0) {
                area.setBytes(text);
                QCOMPARE(area.bytes().toByteArray(), text);
            }
            const EditingArea::TextShape whole = EditingArea::shapeOf(text);
            QCOMPARE(whole.utf8, isValidUtf8(text));
            EditingArea::ShapeFinder finder;
            for (qsizetype at = 0, len = 0; at < text.size(); at += len) {
                len = std::min<qsizetype>(1 + rng.bounded(5), text.size() - at);
                finder.add(QByteArrayView(text).sliced(at, len));
            }
            QCOMPARE(finder.shape().utf8, whole.utf8);
            QCOMPARE(int(finder.shape().lineEnd), int(whole.lineEnd));
        }
    }

    void selTextReplacesSelection() {
        EditingArea area;
        area.setSelText(QByteArrayView("a\0b", 3));
        QCOMPARE(area.bytes().toByteArray(), QByteArray("a\0b", 3));
        area.setBytes("one two three");
        area.SendScintilla(QsciScintillaBase::SCI_SETSEL, 4, 7L);
        QCOMPARE(area.selectedBytes(), QByteArray("two"));
        area.setSelText("<B></B>");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one <B></B> three"));
        QCOMPARE(area.selStart(), 11);
        QVERIFY(area.selectedBytes().isEmpty());
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one two three"));
    }

    void caretInCharacters_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("chars");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("ascii") << QByteArray("hello") << qint64(3) << qint64(3);
        QTest::newRow("crlf counts two") << QByteArray("a\r\nb") << qint64(3) << qint64(3);
        QTest::newRow("utf8 before") << QByteArray("\xc3\xa9\xc3\xa9x") << qint64(2) << qint64(4);
        QTest::newRow("utf8 lines")
            << QByteArray("\xe2\x82\xac\r\n\xe2\x82\xac\r\nz") << qint64(4) << qint64(8);
        QTest::newRow("latin1 bytes") << QByteArray("\xe9\xe9x") << qint64(2) << qint64(2);
        QTest::newRow("end") << QByteArray("\xc3\xa9") << qint64(1) << qint64(2);
        QTest::newRow("past end clamps") << QByteArray("ab") << qint64(9) << qint64(2);
    }

    void caretInCharacters() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, chars);
        QFETCH(qint64, bytes);
        EditingArea area;
        area.setBytes(text);
        area.setSelStart(chars);
        QCOMPARE(qint64(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)), bytes);
        QCOMPARE(area.selStart(), std::min<qint64>(chars, area.characterFromPosition(text.size())));
    }

    void caretInLargeDocument() {
        EditingArea area;
        const QByteArray text = (QByteArray(78, 'x') + "\r\n").repeated(2000) + "\xc3\xa9tail";
        area.setBytes(text);
        const qint64 end = area.characterFromPosition(text.size());
        QCOMPARE(end, qint64(160000 + 5));
        area.setSelStart(end);
        area.setSelText("<B></B>");
        area.setSelStart(area.selStart() - 4);
        QCOMPARE(area.selStart(), end + 3);
        QCOMPARE(qint64(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)),
                 qint64(text.size() + 3));
    }

    void enterTypesTheDocumentsLineEnd_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("new document") << QByteArray() << QByteArray("\r\n");
        QTest::newRow("crlf file") << QByteArray("a\r\nb") << QByteArray("\r\n");
        QTest::newRow("lf file") << QByteArray("a\nb") << QByteArray("\n");
        QTest::newRow("cr file") << QByteArray("a\rb") << QByteArray("\r");
    }

    void enterTypesTheDocumentsLineEnd() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, typed);
        EditingArea area;
        area.setBytes(text);
        QTest::keyClick(&area, Qt::Key_Return);
        QCOMPARE(area.bytes().toByteArray(), typed + text);
    }
};

QTEST_MAIN(EditingAreaTest)
#include "test_editingarea.moc"
