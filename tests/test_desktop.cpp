// SPDX-License-Identifier: GPL-3.0-or-later
// What a person sees on a real X display (run by run_on_xvfb.sh: Xvfb with openbox):
// the splash painted before the hand-over, the first layout, the keyboard through the
// button row and the small windows, stacking, and the text boxes' paste.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/SplashPictures.h"
#include "app/frmsplash.h"
#include "document/Document.h"
#include "ui/frmMain.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"

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

// Two pictures of the same size whose pixels differ by less than one step in a hundred
// on average (text drawn by another platform's rasteriser rounds a little differently).
bool sameAsDrawn(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return false;
    }
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double difference = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const uchar*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const uchar*>(y.constScanLine(row));
        for (int i = 0; i < x.width() * 4; ++i) {
            difference += std::abs(int(p[i]) - int(q[i]));
        }
    }
    return difference / (x.width() * x.height() * 4.0) < 2.55;
}

QRect globalRect(const QWidget& w) {
    return QRect(w.mapToGlobal(QPoint(0, 0)), w.size());
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    TestEnvironment env_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<frmMain> w_;

    frmMain& startWindow() {
        w_ = std::make_unique<frmMain>(dialogs_, QString());
        w_->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(w_.get())); }();
        return *w_;
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }

    void cleanup() {
        if (w_) {
            w_->document().state().SaveAnswer = DocumentState::kExitConfirmed;
            w_.reset();
        }
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
        dialogs_.clear();
    }

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
    // bar, the status bar 255 twips high.
    void firstLayout() {
        frmMain& w = startWindow();
        QCOMPARE(w.width(), Twips::toPixels(9030));
        const int areaBottom = w.Text1().mapTo(&w, QPoint(0, w.Text1().height())).y();
        const int statusTop = w.StatusBar1().mapTo(&w, QPoint(0, 0)).y();
        QVERIFY2(qAbs(statusTop - areaBottom - Twips::toPixels(5)) <= 1,
                 qPrintable(QStringLiteral("area ends at %1, status bar starts at %2")
                                .arg(areaBottom)
                                .arg(statusTop)));
        QCOMPARE(w.StatusBar1().height(), Twips::toPixels(255));
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
                    dialogs_.answerFile(QString());
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
        env_.resetSettings();
        QtDialogs real;
        w_ = std::make_unique<frmMain>(real, QStringLiteral("/nonexistent/page.html"));
        real.setParent(w_.get());
        QStringList stacking;
        WId boxId = 0;
        WId welcomeId = 0;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget* box = QApplication::activeModalWidget();
            boxId = box->winId();
            welcomeId = w_->secondaryWindow(QStringLiteral("frmfirst"))->winId();
            QTest::qWait(300);  // let the window manager stack them
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
            xprop.waitForFinished();
            const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
            stacking = out.section(QLatin1Char('#'), 1).split(QLatin1Char(','));
            box->close();
        });
        w_->Form_Load();
        QVERIFY(boxId && welcomeId);
        qsizetype boxAt = -1;
        qsizetype welcomeAt = -1;
        for (qsizetype i = 0; i < stacking.size(); ++i) {
            const auto id = stacking[i].trimmed().toULongLong(nullptr, 16);
            boxAt = id == boxId ? i : boxAt;
            welcomeAt = id == welcomeId ? i : welcomeAt;
        }
        // Bottom to top: the box comes after (above) the welcome window.
        QVERIFY2(boxAt > welcomeAt && welcomeAt >= 0, qPrintable(stacking.join(' ')));
    }

    // The button faces are drawn for the screen's pixel density (run again at
    // QT_SCALE_FACTOR=2), and the windows' pictures at that density are the ones drawn when
    // the program was built: the drawings, at the same size and (but for the rounding of
    // text drawn on another platform) the same pixels. Any other size is drawn when asked.
    void sharpButtonFaces() {
        frmMain& w = startWindow();
        const qreal ratio = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        for (const auto& [name, word] :
             {std::pair{"Command1", QString("new")}, std::pair{"Command9", QString("image...")},
              std::pair{"Command16", QString("e-mail")}}) {
            const QPixmap& face = w.button(name)->face();
            QCOMPARE(face.devicePixelRatio(), ratio);
            for (const bool pressed : {false, true}) {
                const QImage drawn = Pictures::drawButtonFace(word, pressed, ratio);
                const auto stored =
                    Pictures::stored(Pictures::faceName(word, pressed), drawn.size());
                QVERIFY(stored);
                QVERIFY2(sameAsDrawn(*stored, drawn), qPrintable(word));
                if (!pressed)
                    QVERIFY(sameAsDrawn(face.toImage(), drawn));
            }
        }
        const int logo = Twips::toDevicePixels(Pictures::kLogoTwips, ratio);
        const QSize scene = Twips::toDevicePixels(SplashPictures::kSceneTwips, ratio);
        const QSize banner = Twips::toDevicePixels(SplashPictures::kBannerTwips, ratio);
        for (const auto& [name, drawn] :
             {std::pair{QString("logo"), Pictures::drawLogo(logo)},
              std::pair{QString("logo"), Pictures::drawLogo(Pictures::kIconPixels)},
              std::pair{QString("scene"), SplashPictures::drawScene(scene)},
              std::pair{QString("banner"), SplashPictures::drawBanner(banner)}}) {
            const auto stored = Pictures::stored(name, drawn.size());
            QVERIFY2(stored && sameAsDrawn(*stored, drawn), qPrintable(name));
        }
        QVERIFY(!Pictures::stored("logo", QSize(logo + 1, logo + 1)));
        QCOMPARE(Pictures::buttonFace("new", false, 1.5).size(), QSize(54, 54));
    }
};

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
