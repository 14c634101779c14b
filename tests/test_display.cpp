// SPDX-License-Identifier: GPL-3.0-or-later
// The Options menu's display preferences on the real main window: sizes and faces, their
// ticks and store, faces of the selection and of the text typed next, the status bar.
#include "MainWindowFixture.h"
#include "app/SettingsStore.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QAction>
#include <QStatusBar>

namespace {

const QStringList kSizes{"mnuqn8", "mnuqn10", "mnuqn12", "mnuqn14"};
const QStringList kFaces{"mnuqnarial", "mnuqntimes", "mnuqnverdana"};

// The face of every byte of the text, one name per run of equal faces: "Verdana:4 Arial:3".
QString faceRuns(const EditingArea& area) {
    QStringList runs;
    QString face;
    int count = 0;
    for (qint64 i = 0; i < area.byteLength(); ++i) {
        const QString at = area.faceAt(i);
        if (at != face && count > 0) {
            runs << QStringLiteral("%1:%2").arg(face).arg(count);
            count = 0;
        }
        face = at;
        ++count;
    }
    if (count > 0) {
        runs << QStringLiteral("%1:%2").arg(face).arg(count);
    }
    return runs.join(QLatin1Char(' '));
}

void select(EditingArea& area, long from, long to) {
    area.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from), to);
}

}  // namespace

class DisplayTest : public QObject {
    Q_OBJECT

  private:
    MainWindowFixture f;

    static QStringList checked(frmMain& w, const QStringList& group) {
        QStringList names;
        for (const QString& n : group) {
            if (w.action(n)->isChecked())
                names << n;
        }
        return names;
    }

  private slots:
    void init() { f.reset(); }  // not a first run: no welcome window
    void cleanup() { f.finish(); }

    void preferenceCommands_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("hundredths");  // 0: a face, the size stays at 10
        QTest::newRow("size 8") << "mnuqn8" << "fontsize" << "8" << 800;
        QTest::newRow("size 10") << "mnuqn10" << "fontsize" << "10" << 1000;
        QTest::newRow("size 12") << "mnuqn12" << "fontsize" << "12" << 1200;
        QTest::newRow("size 14") << "mnuqn14" << "fontsize" << "14" << 1400;
        QTest::newRow("arial") << "mnuqnarial" << "font" << "Arial" << 0;
        QTest::newRow("times stores the face") << "mnuqntimes" << "font" << "Times New Roman" << 0;
        QTest::newRow("verdana") << "mnuqnverdana" << "font" << "Verdana" << 0;
    }

    void preferenceCommands() {
        QFETCH(QString, item);
        QFETCH(QString, section);
        QFETCH(QString, stored);
        QFETCH(int, hundredths);
        frmMain& w = f.start(true);
        const QStringList& group = section == "fontsize" ? kSizes : kFaces;
        const QStringList& other = section == "fontsize" ? kFaces : kSizes;
        const QStringList otherBefore = checked(w, other);
        w.Text1().setBytes("<P>some text</P>");
        f.docChanged() = 0;
        // Twice: choosing the checked item again changes nothing.
        for (int round = 0; round < 2; ++round) {
            w.action(item)->trigger();
            QCOMPARE(SettingsStore::read(section, "Value"), stored);
            QCOMPARE(checked(w, group), QStringList{item});
            QCOMPARE(checked(w, other), otherBefore);
            QCOMPARE(w.Text1().baseFontSizeHundredths(), hundredths ? hundredths : 1000);
        }
        // Display only: the document is untouched.
        QCOMPARE(w.Text1().bytes().toByteArray(), QByteArray("<P>some text</P>"));
        QCOMPARE(f.docChanged(), qint16(0));
        QCOMPARE(w.caption(), QString("Quindo HTML Editor"));
    }

    void faceOfTheSelectionOnly_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("family");
        QTest::newRow("arial") << "mnuqnarial" << "Arial";
        QTest::newRow("times") << "mnuqntimes" << "Times New Roman";
    }

    void faceOfTheSelectionOnly() {
        QFETCH(QString, item);
        QFETCH(QString, family);
        frmMain& w = f.start(true);
        EditingArea& area = w.Text1();
        area.setBytes("one two three");
        f.docChanged() = 0;
        QCOMPARE(faceRuns(area), QString("Verdana:13"));
        select(area, 4, 7);
        w.action(item)->trigger();
        QCOMPARE(faceRuns(area), QString("Verdana:4 %1:3 Verdana:6").arg(family));
        QCOMPARE(area.selectedBytes(), QByteArray("two"));
        // A second, overlapping selection takes another face; the rest stays.
        select(area, 6, 9);
        w.runCommand("mnuqnverdana");
        select(area, 0, 3);
        w.runCommand("mnuqnarial");
        QCOMPARE(faceRuns(area), QString("Arial:3 Verdana:1 %1:2 Verdana:7").arg(family));
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one two three"));
        QCOMPARE(f.docChanged(), qint16(0));
        QCOMPARE(area.baseFontSizeHundredths(), 1000);
    }

    void faceOfTheTextTypedNext() {
        frmMain& w = f.start(true);
        w.show();
        EditingArea& area = w.Text1();
        area.setBytes("abcdef");
        area.SetFocus();
        area.setSelStart(3);
        w.runCommand("mnuqnarial");
        // Nothing visible changes until text is typed.
        QCOMPARE(faceRuns(area), QString("Verdana:6"));
        QTest::keyClicks(&area, "XY");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("abcXYdef"));
        QCOMPARE(faceRuns(area), QString("Verdana:3 Arial:2 Verdana:3"));
        // Typing on goes on in the face before the caret.
        QTest::keyClicks(&area, "Z");
        QCOMPARE(faceRuns(area), QString("Verdana:3 Arial:3 Verdana:3"));
        // Elsewhere, typed text takes the face of the text it joins.
        area.setSelStart(9);
        QTest::keyClicks(&area, "!");
        area.setSelStart(0);
        QTest::keyClicks(&area, "<");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("<abcXYZdef!"));
        QCOMPARE(faceRuns(area), QString("Verdana:4 Arial:3 Verdana:4"));
        QCOMPARE(f.docChanged(), qint16(1));  // the typing, not the face
    }

    void chosenFaceWaitsOnlyAtTheCaret() {
        frmMain& w = f.start(true);
        EditingArea& area = w.Text1();
        area.setBytes("abcdef");
        area.setSelStart(2);
        w.runCommand("mnuqntimes");
        // Text inserted elsewhere first takes the face of its neighbour and drops the choice.
        area.setSelStart(5);
        area.setSelText("x");
        area.setSelStart(2);
        area.setSelText("y");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("abycdexf"));
        QCOMPARE(faceRuns(area), QString("Verdana:8"));
    }

    void typingOverASelectionKeepsItsFace() {
        frmMain& w = f.start(true);
        w.show();
        EditingArea& area = w.Text1();
        area.setBytes("one two three");
        area.SetFocus();
        select(area, 4, 7);
        w.runCommand("mnuqnarial");
        QTest::keyClicks(&area, "2");
        QCOMPARE(area.bytes().toByteArray(), QByteArray("one 2 three"));
        QCOMPARE(faceRuns(area), QString("Verdana:4 Arial:1 Verdana:6"));
    }

    void newTextKeepsTheChosenFaceForTyping() {
        // A face chosen with nothing selected (as the start-up restores it) still applies
        // to typing after a new text has been loaded; the loaded text is in the base face.
        frmMain& w = f.start(true);
        EditingArea& area = w.Text1();
        area.setSelStart(0);
        w.runCommand("mnuqnarial");
        area.setBytes("loaded");
        QCOMPARE(faceRuns(area), QString("Verdana:6"));
        area.setSelText("new ");
        QCOMPARE(faceRuns(area), QString("Arial:4 Verdana:6"));
    }

    void facesFollowTheBaseSize() {
        frmMain& w = f.start(true);
        EditingArea& area = w.Text1();
        area.setBytes("a b c d");
        for (int i = 0; i < 3; ++i) {
            select(area, 2 * i, 2 * i + 1);
            w.runCommand(kFaces[i]);
        }
        for (const QString& size : kSizes) {
            w.runCommand(size);
            const long points = size.mid(5).toLong();
            for (long pos = 0; pos < 7; ++pos) {
                const long style = area.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                      static_cast<unsigned long>(pos));
                QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                            static_cast<unsigned long>(style)),
                         points);
            }
        }
        QCOMPARE(faceRuns(area), QString("Arial:1 Verdana:1 Times New Roman:1 Verdana:4"));
    }

    void statusBarTwice() {
        frmMain& w = f.start(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50);  // let the first layout settle
        const QRect area = w.Text1().geometry();
        QAction* item = w.action("mnuViewStatusBar");
        const bool states[] = {false, true};
        for (bool shown : states) {
            item->trigger();
            QCOMPARE(item->isChecked(), shown);
            QCOMPARE(w.StatusBar1().isVisible(), shown);
            QCoreApplication::processEvents();
            QCOMPARE(w.Text1().geometry(), area);
        }
        QCOMPARE(f.docChanged(), qint16(0));
        // Not stored: a new start shows the bar again.
        item->trigger();
        auto again = f.another();
        again->Form_Load();
        again->show();
        QVERIFY(again->action("mnuViewStatusBar")->isChecked());
        QVERIFY(again->StatusBar1().isVisible());
    }
};

QTEST_MAIN(DisplayTest)
#include "test_display.moc"
