// SPDX-License-Identifier: GPL-3.0-or-later
// The splash hand-over, the first-run welcome, the auxiliary windows, a real second
// instance, and the design of every small window, on the real widgets offscreen.
#include "MainWindowFixture.h"
#include "app/AuxiliaryWindows.h"
#include "app/SmallWindows.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "Program.h"
#include "app/frmsplash.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <csignal>

namespace {

QString textOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(w))
        return box->toPlainText().replace('\n', "\r\n");
    return {};
}

// The focusable controls of a window, from its first focus along the Tab chain.
QStringList focusChain(QWidget* window) {
    QStringList names;
    QWidget* first = window->focusWidget();
    if (!first)
        return names;
    QWidget* at = first;
    do {
        if (at != window && window->isAncestorOf(at) && at->isVisibleTo(window) &&
            (at->focusPolicy() & Qt::TabFocus))
            names << at->objectName();
        at = at->nextInFocusChain();
    } while (at != first);
    return names;
}

const QString kList =
    "Unordered List with Bullets-\r\n<UL>\r\n  <LI>Bullet 1</LI>\r\n  <LI>Bullet 2</LI>\r\n"
    "  <LI>Bullet 3</LI>\r\n</UL>\r\nOrdered List with Numbers-\r\n<OL>\r\n"
    "  <LI>Line #1</LI>\r\n  <LI>Line #2</LI>\r\n  <LI>Line #3</LI>\r\n</OL>\r\n";

const QString kWelcome =
    QString(
        "Welcome to Quindo!  It appears this is the first time you have run the Editor.  "
        "Please take a moment to read ") +
    '"' + "Using Quindo" + '"' +
    " in the Help menu to become familiar with the editor and it's functions.  If you want to "
    "add right click editing to your HTML documents, then select Options and then Set "
    "Registry Keys. Thanks and happy creating! -Tamblor.";

bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // Orphans may linger as zombies until init reaps them; those have ended too.
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) == "Z";
}

// The running editor processes whose settings live in the given config home.
QList<qint64> editorsUsing(const QString& configHome) {
    QList<qint64> pids;
    const QString program = QFileInfo(QStringLiteral(QUINDO_EXECUTABLE)).canonicalFilePath();
    const QByteArray marker = "XDG_CONFIG_HOME=" + configHome.toLocal8Bit();
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || processEnded(pid))
            continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != program)
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(marker))
            pids << pid;
    }
    return pids;
}

// Records what was on screen when a window of that name first appeared.
class ShowWatcher : public QObject {
  public:
    ShowWatcher(QString name, std::function<void()> onShow)
        : name_(std::move(name)), onShow_(std::move(onShow)) {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->objectName() == name_ && o->isWidgetType() &&
            static_cast<QWidget*>(o)->isWindow()) {
            onShow_();
            onShow_ = [] {};
        }
        return false;
    }

  private:
    QString name_;
    std::function<void()> onShow_;
};

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    frmMain& startWindow() { return f.start(true, true); }

  private slots:
    void init() { f.reset(); }

    void cleanup() {
        f.finish();
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows)
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ---- the small windows' designs ------------------------------------------------

    // Each window's frame, size, focus order and one control checked against the design;
    // every control of every window is checked for its place and the drawing rules.
    void windowDesigns_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<bool>("topmost");
        QTest::addColumn<QStringList>("focusOrder");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("splash") << "frmsplash" << "Quindo" << QSize(3885, 2670) << true << false
                                << QStringList{} << "Label3" << "Version- 1.1.164"
                                << QRect(1305, 720, 2460, 285);
        QTest::newRow("about") << "frmAbout" << "Tamblor Hyper Text Editor" << QSize(3960, 3915)
                               << true << false << QStringList{"Command1"} << "Label2"
                               << QString::fromUtf8("\u00a9 1999 Tamblor9, by Tamblor")
                               << QRect(630, 585, 3135, 255);
        QTest::newRow("list") << "frmList" << "List Code Examples" << QSize(2715, 2700) << false
                              << false << QStringList{"Text1"} << "Text1" << kList
                              << QRect(45, 45, 2625, 2625);
        QTest::newRow("welcome") << "frmfirst" << "Quindo" << QSize(3360, 2310) << true << true
                                 << QStringList{"Command1"} << "Label1" << kWelcome
                                 << QRect(45, 45, 3255, 1725);
        QTest::newRow("pad") << "frmPad" << "Scratch Pad" << QSize(2355, 2355) << false << true
                             << QStringList{"Text1"} << "Text1" << "" << QRect(45, 45, 2265, 2265);
    }

    void windowDesigns() {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QSize, inner);
        QFETCH(bool, centred);
        QFETCH(bool, topmost);
        QFETCH(QStringList, focusOrder);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        frmMain& main = startWindow();
        std::unique_ptr<frmsplash> splash;
        QWidget* w = nullptr;
        if (window == "frmsplash") {
            splash = std::make_unique<frmsplash>([](frmsplash&) {});
            splash->setAttribute(Qt::WA_DeleteOnClose, false);
            splash->Timer1().stop();  // no hand-over here
            splash->Form_Load();
            splash->show();
            w = splash.get();
        } else {
            const QHash<QString, QString> commands{
                {"frmAbout", "mnuabout"}, {"frmList", "mnulistex"}, {"frmPad", "mnuPad"}};
            if (window == "frmfirst")
                main.smallWindows().showFirstRunWelcome();
            else
                main.action(commands.value(window))->trigger();
            w = main.secondaryWindow(window);
        }
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), caption);

        // A fixed-size tool window: thin title with a close box, nothing to resize it.
        QCOMPARE(w->size(), Twips::toPixels(inner));
        QCOMPARE(w->minimumSize(), w->size());
        QCOMPARE(w->maximumSize(), w->size());
        const Qt::WindowFlags flags = w->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(bool(flags & Qt::WindowStaysOnTopHint), topmost);
        QVERIFY(!w->isModal());
        if (centred) {
            const QPoint screenCentre = w->screen()->availableGeometry().center();
            QVERIFY((w->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
        }
        auto* spot = w->findChild<QWidget*>(control);
        QVERIFY2(spot, qPrintable(control));
        QCOMPARE(spot->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(textOf(spot), text);
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY(w->rect().contains(c->geometry()));
            if (auto* label = qobject_cast<QLabel*>(c)) {
                if (label->pixmap().isNull()) {
                    // Labels are drawn on the window background.
                    QVERIFY(label->autoFillBackground());
                    QCOMPARE(label->palette().color(QPalette::Window),
                             label->palette().color(QPalette::Base));
                } else {
                    QVERIFY(label->hasScaledContents());
                }
            }
        }
        QCOMPARE(focusChain(w), focusOrder);
        if (!focusOrder.isEmpty())
            QCOMPARE(w->focusWidget()->objectName(), focusOrder.first());
    }

    void textBoxesScrollBars() {
        frmMain& main = startWindow();
        main.runCommand("mnuPad");
        main.runCommand("mnulistex");
        auto* pad = static_cast<frmPad*>(main.secondaryWindow("frmPad"));
        auto* list = static_cast<frmList*>(main.secondaryWindow("frmList"));
        QCOMPARE(pad->Text1().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(pad->Text1().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(list->Text1().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->Text1().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!list->Text1().isReadOnly());
        QVERIFY(!pad->Text1().isReadOnly());
    }

    // ---- splash and first run ------------------------------------------------------

    void splashHandsOverToTheMainWindow() {
        f.env.resetSettings();  // a first run: the welcome comes up during the load
        frmMain* main = nullptr;
        QPointer<frmsplash> splash;
        int made = 0;
        struct Seen {
            bool splashVisible = false;
            bool timerStopped = false;
            int min = -1, max = -1, value = -1;
        } atMake;
        bool welcomeOverSplash = false;
        bool welcomeBeforeMain = false;
        bool splashRegistered = false;
        ShowWatcher watch("frmfirst", [&] {
            welcomeOverSplash = splash && splash->isVisible();
            welcomeBeforeMain = main && !main->isVisible();
            splashRegistered = main && main->secondaryWindow("frmsplash") == splash.data();
        });
        splash = new frmsplash([&](frmsplash& self) {
            ++made;
            atMake = {splash->isVisible(), !splash->Timer1().isActive(),
                      splash->ProgressBar1().minimum(), splash->ProgressBar1().maximum(),
                      splash->ProgressBar1().value()};
            // A second tick while the load runs (a message box's event loop) hands over
            // nothing more.
            splash->Timer1_Timer();
            Program::showMainWindow(*(main = &f.start()), self);
        });
        QCOMPARE(splash->Timer1().interval(), 1);
        QVERIFY(splash->Timer1().isActive());
        QCOMPARE(splash->ProgressBar1().maximum(), 100);
        QCOMPARE(splash->Label3().text(), QString());
        splash->Form_Load();
        QCOMPARE(splash->Label3().text(), QString("Version- 1.1.164"));
        splash->show();

        QTRY_VERIFY(splash.isNull());
        QCOMPARE(made, 1);
        QVERIFY(atMake.splashVisible);
        QVERIFY(atMake.timerStopped);
        QCOMPARE(atMake.min, 0);
        QCOMPARE(atMake.max, 4000);
        QCOMPARE(atMake.value, 4000);
        QVERIFY(welcomeOverSplash);
        QVERIFY(welcomeBeforeMain);
        QVERIFY(splashRegistered);
        QVERIFY(main->isVisible());
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("1"));
        QVERIFY(main->secondaryWindow("frmfirst"));
        QVERIFY(!main->secondaryWindow("frmsplash"));
    }

    void welcomeOnlyOnAFirstRun_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("welcome");
        QTest::newRow("empty store") << QString() << true;
        QTest::newRow("zero by hand") << "0" << true;
        QTest::newRow("one") << "1" << false;
        QTest::newRow("many") << "250" << false;
    }

    void welcomeOnlyOnAFirstRun() {
        QFETCH(QString, stored);
        QFETCH(bool, welcome);
        f.env.resetSettings();
        if (!stored.isNull())
            SettingsStore::write("Run", "Value", stored);
        frmMain& main = startWindow();
        auto* first = static_cast<frmfirst*>(main.secondaryWindow("frmfirst"));
        QCOMPARE(first != nullptr, welcome);
        if (!first)
            return;
        QVERIFY(first->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(first->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        // The main window goes on working while the welcome is open.
        main.Text1().setSelText("<B></B>");
        QCOMPARE(f.docChanged(), qint16(1));
        QTest::mouseClick(&first->Command1(), Qt::LeftButton);
        QVERIFY(!main.secondaryWindow("frmfirst"));
        QCOMPARE(main.Text1().bytes().toByteArray(), QByteArray("<B></B>"));
        QCOMPARE(main.caption(), QString("Quindo HTML Editor"));
    }

    // ---- auxiliary windows ---------------------------------------------------------

    void padIsEmptyAfterReopening() {
        frmMain& main = startWindow();
        main.action("mnuPad")->trigger();
        auto* pad = static_cast<frmPad*>(main.secondaryWindow("frmPad"));
        QVERIFY(pad);
        QVERIFY(pad->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(pad->Text1().toPlainText().isEmpty());
        QTest::keyClicks(&pad->Text1(), "notes");
        // Shown again while open: the same pad, text kept.
        main.action("mnuPad")->trigger();
        QCOMPARE(main.secondaryWindow("frmPad"), pad);
        QCOMPARE(pad->Text1().toPlainText(), QString("notes"));
        QPointer<frmPad> old = pad;
        pad->close();
        QTRY_VERIFY(old.isNull());
        main.runCommand("mnuPad");
        pad = static_cast<frmPad*>(main.secondaryWindow("frmPad"));
        QVERIFY(pad);
        QVERIFY(pad->Text1().toPlainText().isEmpty());
        // The document is not touched.
        QVERIFY(main.Text1().isEmpty());
        QCOMPARE(f.docChanged(), qint16(0));
    }

    void listExampleComesBackUnchanged() {
        // The definition: twelve lines, each ended by CR LF.
        QCOMPARE(frmList::exampleText(), kList);
        frmMain& main = startWindow();
        main.action("mnulistex")->trigger();
        auto* list = static_cast<frmList*>(main.secondaryWindow("frmList"));
        QCOMPARE(list->text(), kList);
        QCOMPARE(list->Text1().document()->blockCount(), 13);  // the last break ends line 12
        list->Text1().selectAll();
        QTest::keyClicks(&list->Text1(), "scribbled");
        main.runCommand("mnulistex");
        QCOMPARE(main.secondaryWindow("frmList"), list);
        QCOMPARE(list->text(), QString("scribbled"));
        QPointer<frmList> old = list;
        list->close();
        QTRY_VERIFY(old.isNull());
        main.runCommand("mnulistex");
        list = static_cast<frmList*>(main.secondaryWindow("frmList"));
        QCOMPARE(list->text(), kList);
    }

    void aboutShowsTheStoredCount_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("leading zeros") << "007";
        QTest::newRow("one") << "1";
        QTest::newRow("not a number") << "lots";
        QTest::newRow("blanks kept") << " 12 ";
    }

    void aboutShowsTheStoredCount() {
        QFETCH(QString, stored);
        frmMain& main = startWindow();
        SettingsStore::write("Run", "Value", stored);
        main.action("mnuabout")->trigger();
        auto* about = static_cast<frmAbout*>(main.secondaryWindow("frmAbout"));
        QVERIFY(about);
        QCOMPARE(about->Label6().text(), "Quindo has been run " + stored + " times.");
        QCOMPARE(about->Label7().text(), QString("Version- 1.1.164"));
        // Not refreshed while open.
        SettingsStore::write("Run", "Value", "99");
        main.runCommand("mnuabout");
        QCOMPARE(main.secondaryWindow("frmAbout"), about);
        QCOMPARE(about->Label6().text(), "Quindo has been run " + stored + " times.");
        // Closing with its button unloads it; the next opening reads the store again.
        QPointer<frmAbout> old = about;
        QTest::mouseClick(&about->Command1(), Qt::LeftButton);
        QTRY_VERIFY(old.isNull());
        main.runCommand("mnuabout");
        about = static_cast<frmAbout*>(main.secondaryWindow("frmAbout"));
        QCOMPARE(about->Label6().text(), QString("Quindo has been run 99 times."));
    }

    void aboutLabelsEmptyUntilLoaded() {
        frmAbout about(nullptr);
        QCOMPARE(about.Label6().text(), QString());
        QCOMPARE(about.Label7().text(), QString());
        about.Form_Load();
        QCOMPARE(about.Label6().text(), QString("Quindo has been run 3 times."));
        QCOMPARE(about.Label7().text(), QString("Version- 1.1.164"));
    }

    void logoOpensTheSameAboutBox() {
        frmMain& main = startWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTest::mouseClick(&main.Image1(), Qt::LeftButton);
        QWidget* about = main.secondaryWindow("frmAbout");
        QVERIFY(about);
        main.action("mnuabout")->trigger();
        QCOMPARE(main.secondaryWindow("frmAbout"), about);
        QCOMPARE(main.secondaryWindow("frmAbout")->windowTitle(),
                 QString("Tamblor Hyper Text Editor"));
    }

    // ---- a further editor ----------------------------------------------------------

    void newEditorWindowStartsASecondInstance() {
        ProgramInfo::setProgramPath(QStringLiteral(QUINDO_EXECUTABLE));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        frmMain& main = startWindow();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("4"));
        main.action("mnuabout")->trigger();
        QCOMPARE(static_cast<frmAbout*>(main.secondaryWindow("frmAbout"))->Label6().text(),
                 QString("Quindo has been run 4 times."));

        main.action("mnunewwin")->trigger();
        // The second instance's start-up counts its run in the shared store.
        QTRY_COMPARE_WITH_TIMEOUT(SettingsStore::read("Run", "Value"), QString("5"), 20000);
        QList<qint64> pids;
        QTRY_VERIFY_WITH_TIMEOUT(!(pids = editorsUsing(f.env.configHome())).isEmpty(), 5000);
        QCOMPARE(pids.size(), 1);
        const qint64 pid = pids.first();

        // This instance sees it after reopening the about box.
        main.secondaryWindow("frmAbout")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.runCommand("mnuabout");
        QCOMPARE(static_cast<frmAbout*>(main.secondaryWindow("frmAbout"))->Label6().text(),
                 QString("Quindo has been run 5 times."));

        // It lives on its own and ends on the session manager's request.
        QVERIFY(!processEnded(pid));
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 10000);
        QVERIFY(main.isVisible());
        QVERIFY(f.dialogs.calls().isEmpty());
    }

    void newEditorWindowThatCannotStartSaysSo() {
        ProgramInfo::setProgramPath(QDir(f.env.configHome()).filePath("gone/quindo"));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        frmMain& main = startWindow();
        f.dialogs.answer(Dialogs::Ok);
        main.action("mnunewwin")->trigger();
        QCOMPARE(f.dialogs.calls().size(), 1);
        const auto& call = f.dialogs.calls().first();
        QCOMPARE(call.kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(call.title, QString("Quindo"));
        QCOMPARE(call.text, QString("Can't start a new editor window."));
        QCOMPARE(call.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(f.dialogs.pending(), 0);
        QCOMPARE(f.docChanged(), qint16(0));
    }
};

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
