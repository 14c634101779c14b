// SPDX-License-Identifier: GPL-3.0-or-later
// How long one snippet insertion takes in a 100 MB document, at its end and in its middle,
// in ASCII and in UTF-8 text. Run by hand: bench/bench_insertion (QT_QPA_PLATFORM=offscreen).
#include "ScriptedDialogs.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

#include <QtTest>

class InsertionBenchmark : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs_;

  private slots:
    void insertAtCaret_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<double>("where");
        QTest::newRow("ascii, end") << QByteArray(98, 'a') + "\r\n" << 1.0;
        QTest::newRow("ascii, middle") << QByteArray(98, 'a') + "\r\n" << 0.5;
        QTest::newRow("utf-8, middle")
            << QByteArray("\xc3\xa9\xe2\x82\xac").repeated(19) + "abc\r\n"
            << 0.5;
    }

    void insertAtCaret() {
        QFETCH(QByteArray, line);
        QFETCH(double, where);
        frmMain w(dialogs_, QString());
        const QByteArray text = line.repeated(100 * 1024 * 1024 / line.size());
        w.Text1().setBytes(text);
        const qint64 characters = w.Text1().characterFromPosition(text.size());
        w.Text1().setSelStart(qint64(double(characters) * where));
        qint64 caret = 0;
        QBENCHMARK {
            caret = w.Text1().selStart();
            w.runCommand(QStringLiteral("mnubold"));
        }
        QCOMPARE(w.Text1().selStart(), caret + 3);
    }
};

QTEST_MAIN(InsertionBenchmark)
#include "bench_insertion.moc"
