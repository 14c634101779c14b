// SPDX-License-Identifier: GPL-3.0-or-later
// What a person sees on a real X display (run by run_on_xvfb.sh: Xvfb with openbox):
// the splash painted before the hand-over, the first layout, the keyboard through the
// button row and the small windows, stacking, and the text boxes' paste.
#include "MainWindowFixture.h"
#include "app/frmsplash.h"
#include "document/Document.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "ui/frmMain.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {

// How many different colours a rectangle of the screen shows, as the X server has it.
int coloursOnScreen(const QRect& global) {
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, global.x(), global.y(), global.width(), global.height())
                            .toImage();
    QSet<QRgb> seen;
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            seen.insert(shot.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

QRect globalRect(const QWidget& w) {
    return QRect(w.mapToGlobal(QPoint(0, 0)), w.size());
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    frmMain& startWindow() {
        frmMain& w = f.start(false, true);
        [&] { QVERIFY(QTest::qWaitForWindowActive(&w)); }();
        return w;
    }

  private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }
    void init() { f.reset(); }
    void cleanup() { f.finish(); }

    // The splash is on screen, pictures and bar painted, before the main window is built.
    void splashPaintedBeforeHandOver() {
        bool exposed = false;
        int pictureColours = 0;
        int barColoursAtEnd = 0;
        QPointer<frmsplash> splash = new frmsplash([&](frmsplash& self) {
            exposed = self.windowHandle() && self.windowHandle()->isExposed();
            pictureColours = coloursOnScreen(globalRect(*self.findChild<QLabel*>("Image1")));
            barColoursAtEnd = coloursOnScreen(globalRect(self.ProgressBar1()));
        });
        splash->Form_Load();
        splash->show();
        // The splash closes itself (and is deleted) after the hand-over.
        QTRY_VERIFY(splash.isNull());
        QVERIFY(exposed);
        // The drawn scene, not an empty frame; the filled bar, not a blank one.
        QVERIFY2(pictureColours > 20, qPrintable(QString::number(pictureColours)));
        QVERIFY2(barColoursAtEnd > 1, qPrintable(QString::number(barColoursAtEnd)));
    }

    // At first show: 9030 twips wide, the editing area ending 5 twips above the status
    // bar, the status bar 255 twips high (at 96 dots per inch, 15 twips to the pixel).
    void firstLayout() {
        frmMain& w = startWindow();
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        QCOMPARE(w.width(), 602);
        const int areaBottom = w.Text1().mapTo(&w, QPoint(0, w.Text1().height())).y();
        const int statusTop = w.StatusBar1().mapTo(&w, QPoint(0, 0)).y();
        QVERIFY2(qAbs(statusTop - areaBottom) <= 1,
                 qPrintable(QStringLiteral("area ends at %1, status bar starts at %2")
                                .arg(areaBottom)
                                .arg(statusTop)));
        QCOMPARE(w.StatusBar1().height(), 17);
        // The panels never hold the window wider than the user makes it.
        w.resize(300, w.height());
        QTRY_COMPARE(w.width(), 300);
    }

    // Tab and Shift+Tab walk the editing area and the button row; Ctrl+Tab types a tab.
    void keyboardThroughTheRow() {
        frmMain& w = startWindow();
        w.Text1().SetFocus();
        QTRY_VERIFY(w.Text1().hasFocus());
        QTest::keyClick(&w.Text1(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w.Text1().bytes().toByteArray(), QByteArray("\t"));
        QTest::keyClick(&w.Text1(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), w.button("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), w.button("Command2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), w.button("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&w.Text1()));
        QCOMPARE(w.Text1().bytes().toByteArray(), QByteArray("\t"));
    }

    // Each small window takes the focus on its first control; Return presses it and
    // Escape closes the window.
    void smallWindowKeys_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("firstButton");
        QTest::addColumn<bool>("returnCloses");
        QTest::newRow("new document") << "mnuFileNew"
                                      << "frmNew"
                                      << "New" << true;
        QTest::newRow("options") << "mnuset"
                                 << "frmOptions"
                                 << "Select" << false;
        QTest::newRow("about") << "mnuabout"
                               << "frmAbout"
                               << "Close" << true;
    }
    void smallWindowKeys() {
        QFETCH(QString, command);
        QFETCH(QString, window);
        QFETCH(QString, firstButton);
        QFETCH(bool, returnCloses);
        frmMain& w = startWindow();
        for (const bool useReturn : {true, false}) {
            QVERIFY(w.runCommand(command));
            QWidget* small = w.secondaryWindow(window);
            QVERIFY(small);
            QTRY_COMPARE(QApplication::activeWindow(), small);
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QVERIFY(focused);
            QCOMPARE(focused->text(), firstButton);
            if (useReturn) {
                // Select opens the browser chooser: cancelled, the window stays.
                if (!returnCloses) {
                    f.dialogs.answerFile(QString());
                }
                QTest::keyClick(focused, Qt::Key_Return);
                QTRY_COMPARE(w.secondaryWindow(window) == nullptr, returnCloses);
            }
            if (w.secondaryWindow(window)) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                QTRY_VERIFY(!w.secondaryWindow(window));
            }
            // Nothing typed into the document behind it.
            QCOMPARE(w.Text1().byteLength(), 0);
        }
    }

    // Ctrl+V with an empty clipboard in the small windows' text boxes does nothing (Qt's
    // own box crashed the program here); with text, it pastes.
    void pasteIntoTextBoxes_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::newRow("scratch pad") << "mnuPad"
                                     << "frmPad";
        QTest::newRow("list examples") << "mnulistex"
                                       << "frmList";
    }
    void pasteIntoTextBoxes() {
        QFETCH(QString, command);
        QFETCH(QString, window);
        frmMain& w = startWindow();
        QVERIFY(w.runCommand(command));
        auto* box = w.secondaryWindow(window)->findChild<QPlainTextEdit*>("Text1");
        QVERIFY(box);
        box->setFocus();
        box->clear();
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->toPlainText(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("<B>x</B>"));
        QTRY_VERIFY(QGuiApplication::clipboard()->text() == QLatin1String("<B>x</B>"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->toPlainText(), QStringLiteral("<B>x</B>"));
    }

    // First start with a command-line file that cannot be opened: its message box comes
    // above the always-on-top welcome window, in the window manager's stacking order.
    void errorBoxAboveWelcome() {
        f.reset({});
        QtDialogs real;
        frmMain& w = f.start(false, false, QStringLiteral("/nonexistent/page.html"), &real);
        real.setParent(&w);
        QStringList stacking;
        WId boxId = 0;
        WId welcomeId = 0;
        whenModal([&](QWidget* box) {
            QVERIFY(box);
            boxId = box->winId();
            welcomeId = w.secondaryWindow(QStringLiteral("frmfirst"))->winId();
            // The window manager stacks them once it has managed both (later on a busy
            // machine): ask until the box is listed above the welcome window, or give up.
            auto at = [&](WId id) {
                return stacking.indexOf(QStringLiteral("0x%1").arg(id, 0, 16));
            };
            [[maybe_unused]] const bool stacked = QTest::qWaitFor([&] {
                QProcess xprop;
                xprop.start(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
                xprop.waitForFinished();
                const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
                stacking.clear();
                for (const QString& id : out.section(QLatin1Char('#'), 1).split(QLatin1Char(',')))
                    stacking << id.trimmed();
                return at(welcomeId) >= 0 && at(boxId) > at(welcomeId);
            });
            box->close();
        });
        w.Form_Load();
        QVERIFY(boxId && welcomeId);
        qsizetype boxAt = -1;
        qsizetype welcomeAt = -1;
        for (qsizetype i = 0; i < stacking.size(); ++i) {
            const auto id = stacking[i].toULongLong(nullptr, 16);
            boxAt = id == boxId ? i : boxAt;
            welcomeAt = id == welcomeId ? i : welcomeAt;
        }
        // Bottom to top: the box comes after (above) the welcome window.
        QVERIFY2(boxAt > welcomeAt && welcomeAt >= 0, qPrintable(stacking.join(' ')));
    }

    // The button faces are drawn for the screen's pixel density (run again at
    // QT_SCALE_FACTOR=2), and the program carries the windows' pictures at that density, at
    // their sizes in pixels at 96 dots per inch (15 twips to the pixel).
    void sharpButtonFaces() {
        frmMain& w = startWindow();
        const int ratio = qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2 ? 2 : 1;
        const QPixmap& face = w.button("Command16")->face();
        QCOMPARE(face.devicePixelRatio(), qreal(ratio));
        QCOMPARE(face.size(), QSize(36, 36) * ratio);
        for (const auto& [name, size] :
             {std::pair{Pictures::faceName("new", false), QSize(36, 36)},
              std::pair{Pictures::faceName("image...", true), QSize(36, 36)},
              std::pair{QString("logo"), QSize(36, 36)}, std::pair{QString("scene"), QSize(79, 67)},
              std::pair{QString("banner"), QSize(166, 44)}})
            QVERIFY2(Pictures::stored(name, size * ratio), qPrintable(name));
        QVERIFY(Pictures::stored("logo", QSize(128, 128)));
        QVERIFY(!Pictures::stored("logo", QSize(37, 37) * ratio));
        QCOMPARE(Pictures::buttonFace("new", false, 1.5).size(), QSize(54, 54));
    }
};

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
