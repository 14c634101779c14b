// SPDX-License-Identifier: GPL-3.0-or-later
// The editing area's byte, caret and selection operations on a real QScintilla widget.
#include "ui/platform/EditingArea.h"

#include <QRandomGenerator>
#include <QtTest>

class EditingAreaTest : public QObject {
    Q_OBJECT

  private slots:
    void bytesRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ascii") << QByteArray("abc") << true;
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("lone cr") << QByteArray("a\rb\r") << true;
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
        // The load is not undoable.
        QVERIFY(!area.isUndoAvailable());
    }

    void randomBytesRoundTrip() {
        EditingArea area;
        QRandomGenerator rng(1234);
        for (int i = 0; i < 300; ++i) {
            QByteArray bytes(int(rng.bounded(200)), Qt::Uninitialized);
            for (char& c : bytes)
                c = char(rng.bounded(256));
            area.setBytes(bytes);
            QCOMPARE(area.bytes().toByteArray(), bytes);
        }
    }

    // A text read in pieces has the same shape as the whole, wherever the pieces are cut:
    // sequences and CR LF pairs split across pieces included.
    void shapeInPieces_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("crlf") << QByteArray("ab\r\ncd");
        QTest::newRow("lf") << QByteArray("ab\ncd\r\n");
        QTest::newRow("cr at end") << QByteArray("ab\r");
        QTest::newRow("cr") << QByteArray("a\rb\n");
        QTest::newRow("utf8") << QByteArray("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80x\r\n");
        QTest::newRow("truncated at end") << QByteArray("ok\xe2\x82");
        QTest::newRow("latin1") << QByteArray("caf\xe9\r\n");
        QTest::newRow("overlong") << QByteArray(
            "a\xc0\xaf"
            "b");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
        QTest::newRow("lone continuation") << QByteArray(
            "a\x80"
            "b");
    }

    void shapeInPieces() {
        QFETCH(QByteArray, text);
        const EditingArea::TextShape whole = EditingArea::shapeOf(text);
        QCOMPARE(whole.utf8, isValidUtf8(text));
        for (qsizetype cut = 1; cut <= std::max<qsizetype>(1, text.size()); ++cut) {
            EditingArea::ShapeFinder finder;
            for (qsizetype at = 0; at < text.size(); at += cut) {
                finder.add(QByteArrayView(text).sliced(at, std::min(cut, text.size() - at)));
            }
            const EditingArea::TextShape pieces = finder.shape();
            QCOMPARE(pieces.size, whole.size);
            QCOMPARE(pieces.utf8, whole.utf8);
            QCOMPARE(int(pieces.lineEnd), int(whole.lineEnd));
        }
    }

    void randomShapeInPieces() {
        QRandomGenerator rng(99);
        for (int i = 0; i < 2000; ++i) {
            // Mostly valid text with some multi-byte characters, now and then a broken one.
            QByteArray text;
            const int n = int(rng.bounded(40));
            for (int k = 0; k < n; ++k) {
                switch (rng.bounded(6)) {
                    case 0:
                        text += "\xc3\xa9";
                        break;
                    case 1:
                        text += "\xe2\x82\xac";
                        break;
                    case 2:
                        text += "\xf0\x9f\x98\x80";
                        break;
                    case 3:
                        text += rng.bounded(2) ? "\r" : "\n";
                        break;
                    case 4:
                        text += char(rng.bounded(256));
                        break;
                    default:
                        text += 'a';
                }
            }
            const EditingArea::TextShape whole = EditingArea::shapeOf(text);
            EditingArea::ShapeFinder finder;
            qsizetype at = 0;
            while (at < text.size()) {
                const qsizetype len = std::min<qsizetype>(1 + rng.bounded(5), text.size() - at);
                finder.add(QByteArrayView(text).sliced(at, len));
                at += len;
            }
            QCOMPARE(finder.shape().utf8, whole.utf8);
            QCOMPARE(int(finder.shape().lineEnd), int(whole.lineEnd));
        }
    }

    void selTextReplacesSelection() {
        EditingArea area;
        area.setBytes("one two three");
        area.SendScintilla(QsciScintillaBase::SCI_SETSEL, 4, 7L);
        QCOMPARE(area.selectedBytes(), QByteArray("two"));
        area.setSelText("<B></B>");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one <B></B> three"));
        QCOMPARE(area.selStart(), 11);
        QVERIFY(area.selectedBytes().isEmpty());
        QVERIFY(area.isUndoAvailable());
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one two three"));
    }

    void selTextKeepsNul() {
        EditingArea area;
        area.setSelText(QByteArrayView("a\0b", 3));
        QCOMPARE(area.bytes().toByteArray(), QByteArray("a\0b", 3));
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
        QByteArray line(78, 'x');
        line.append("\r\n");
        QByteArray text = line.repeated(2000);  // 160,000 characters
        text.append("\xc3\xa9tail");
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
