// SPDX-License-Identifier: GPL-3.0-or-later
// The splash hand-over, the first-run welcome, the auxiliary windows, a real second
// instance, and the design of every small window, on the real widgets offscreen.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/AuxiliaryWindows.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "app/frmsplash.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>

namespace {

struct ControlDesign {
    QString name;
    QString text;  // labels, buttons and text boxes; text boxes with CR LF line ends
    QRect twips;
};

struct WindowDesign {
    QString caption;
    QSize inner;
    bool centred;
    bool topmost;
    QList<ControlDesign> controls;
    QStringList focusOrder;  // the controls that take the focus, in Tab order
};

}  // namespace

Q_DECLARE_METATYPE(WindowDesign)

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

  private:
    TestEnvironment env_;
    ScriptedDialogs dialogs_;

    std::unique_ptr<frmMain> startWindow() {
        auto w = std::make_unique<frmMain>(dialogs_, QString());
        w->Form_Load();
        w->show();
        return w;
    }

  private slots:
    void init() {
        env_.resetSettings();
        SettingsStore::write("Run", "Value", "3");
        dialogs_.clear();
    }

    void cleanup() {
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows)
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ---- the small windows' designs ------------------------------------------------

    void windowDesigns_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<WindowDesign>("design");
        const QString version = "Version- 1.1.164";
        const QString maker = QString::fromUtf8("\u00a9 1999 Tamblor9, by Tamblor");
        QTest::newRow("splash")
            << "frmsplash"
            << WindowDesign{
                   "Quindo",
                   {3885, 2670},
                   true,
                   false,
                   {{"Image1", "", {45, 45, 1185, 1005}},
                    {"Image2", "", {1305, 45, 2490, 660}},
                    {"Label3", version, {1305, 720, 2460, 285}},
                    {"Label1",
                     "Easily create your own Web pages while learning the Hyper Text Mark-Up "
                     "Language.",
                     {1305, 1035, 2460, 690}},
                    {"Label2", maker, {1305, 1755, 2460, 240}},
                    {"Label4", "www.tamblor9.example", {1305, 2025, 2460, 240}},
                    {"ProgressBar1", "", {1305, 2340, 2475, 255}}},
                   {}};
        QTest::newRow("about")
            << "frmAbout"
            << WindowDesign{
                   "Tamblor Hyper Text Editor",
                   {3960, 3915},
                   true,
                   false,
                   {{"Image1", "", {45, 45, 540, 540}},
                    {"Label1", "Quindo HTML Editor", {630, 45, 3135, 255}},
                    {"Label7", version, {630, 315, 3135, 255}},
                    {"Label2", maker, {630, 585, 3135, 255}},
                    {"Label3", "www.tamblor9.example", {630, 855, 3135, 255}},
                    {"Label4", "tamblor@tamblor9.example", {630, 1125, 3135, 255}},
                    {"Label5",
                     "This is the third generation of Quindo.  A few crashes and changes in "
                     "Visual Studio have caused me to rewrite this program several times.  The "
                     "good side is, it's better than ever and excellent for hardcore HTML geeks "
                     "and newbies alike.  I hope you enjoy it.",
                     {630, 1440, 3135, 1605}},
                    {"Label6", "Quindo has been run 3 times.", {630, 3105, 3135, 255}},
                    {"Command1", "Close", {1575, 3465, 1230, 330}}},
                   {"Command1"}};
        QTest::newRow("list") << "frmList"
                              << WindowDesign{"List Code Examples",
                                              {2715, 2700},
                                              false,
                                              false,
                                              {{"Text1", kList, {45, 45, 2625, 2625}}},
                                              {"Text1"}};
        QTest::newRow("welcome") << "frmfirst"
                                 << WindowDesign{"Quindo",
                                                 {3360, 2310},
                                                 true,
                                                 true,
                                                 {{"Label1", kWelcome, {45, 45, 3255, 1725}},
                                                  {"Command1", "Close", {1125, 1890, 1185, 330}}},
                                                 {"Command1"}};
        QTest::newRow("pad") << "frmPad" << WindowDesign{"Scratch Pad",
                                                         {2355, 2355},
                                                         false,
                                                         true,
                                                         {{"Text1", "", {45, 45, 2265, 2265}}},
                                                         {"Text1"}};
    }

    void windowDesigns() {
        QFETCH(QString, window);
        QFETCH(WindowDesign, design);
        auto main = startWindow();
        SettingsStore::write("Run", "Value", "3");
        std::unique_ptr<frmsplash> splash;
        QWidget* w = nullptr;
        if (window == "frmsplash") {
            splash = std::make_unique<frmsplash>([&]() -> frmMain& { return *main; });
            splash->setAttribute(Qt::WA_DeleteOnClose, false);
            splash->Timer1().stop();  // no hand-over here
            splash->Form_Load();
            splash->show();
            w = splash.get();
        } else {
            const QHash<QString, QString> commands{
                {"frmAbout", "mnuabout"}, {"frmList", "mnulistex"}, {"frmPad", "mnuPad"}};
            if (window == "frmfirst")
                main->showFirstRunWelcome();
            else
                main->action(commands.value(window))->trigger();
            w = main->secondaryWindow(window);
        }
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), design.caption);

        // A fixed-size tool window: thin title with a close box, nothing to resize it.
        const QSize inner = Twips::toPixels(design.inner);
        QCOMPARE(w->size(), inner);
        QCOMPARE(w->minimumSize(), inner);
        QCOMPARE(w->maximumSize(), inner);
        const Qt::WindowFlags flags = w->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(bool(flags & Qt::WindowStaysOnTopHint), design.topmost);
        QVERIFY(!w->isModal());
        if (design.centred) {
            const QPoint screenCentre = w->screen()->availableGeometry().center();
            QVERIFY((w->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
        }

        for (const ControlDesign& c : design.controls) {
            auto* control = w->findChild<QWidget*>(c.name);
            QVERIFY2(control, qPrintable(c.name));
            QCOMPARE(control->parentWidget(), w);
            QCOMPARE(control->geometry(),
                     Twips::rect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()));
            QCOMPARE(textOf(control), c.text);
            if (auto* label = qobject_cast<QLabel*>(control)) {
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
        QCOMPARE(focusChain(w), design.focusOrder);
        if (!design.focusOrder.isEmpty())
            QCOMPARE(w->focusWidget()->objectName(), design.focusOrder.first());
    }

    void textBoxesScrollBars() {
        auto main = startWindow();
        main->mnuPad_Click();
        main->mnulistex_Click();
        auto* pad = static_cast<frmPad*>(main->secondaryWindow("frmPad"));
        auto* list = static_cast<frmList*>(main->secondaryWindow("frmList"));
        QCOMPARE(pad->Text1().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(pad->Text1().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(list->Text1().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->Text1().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!list->Text1().isReadOnly());
        QVERIFY(!pad->Text1().isReadOnly());
    }

    // ---- splash and first run ------------------------------------------------------

    void splashHandsOverToTheMainWindow() {
        env_.resetSettings();  // a first run: the welcome comes up during the load
        std::unique_ptr<frmMain> main;
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
        splash = new frmsplash([&]() -> frmMain& {
            ++made;
            atMake = {splash->isVisible(), !splash->Timer1().isActive(),
                      splash->ProgressBar1().minimum(), splash->ProgressBar1().maximum(),
                      splash->ProgressBar1().value()};
            // A second tick while the load runs (a message box's event loop) hands over
            // nothing more.
            splash->Timer1_Timer();
            main = std::make_unique<frmMain>(dialogs_, QString());
            return *main;
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
        env_.resetSettings();
        if (!stored.isNull())
            SettingsStore::write("Run", "Value", stored);
        auto main = startWindow();
        auto* first = static_cast<frmfirst*>(main->secondaryWindow("frmfirst"));
        QCOMPARE(first != nullptr, welcome);
        if (!first)
            return;
        QVERIFY(first->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(first->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        // The main window goes on working while the welcome is open.
        main->Text1().setSelText("<B></B>");
        QCOMPARE(main->DocChanged, qint16(1));
        QTest::mouseClick(&first->Command1(), Qt::LeftButton);
        QVERIFY(!main->secondaryWindow("frmfirst"));
        QCOMPARE(main->Text1().bytes().toByteArray(), QByteArray("<B></B>"));
        QCOMPARE(main->caption(), QString("Quindo HTML Editor"));
    }

    // ---- auxiliary windows ---------------------------------------------------------

    void padIsEmptyAfterReopening() {
        auto main = startWindow();
        main->action("mnuPad")->trigger();
        auto* pad = static_cast<frmPad*>(main->secondaryWindow("frmPad"));
        QVERIFY(pad);
        QVERIFY(pad->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(pad->Text1().toPlainText().isEmpty());
        QTest::keyClicks(&pad->Text1(), "notes");
        // Shown again while open: the same pad, text kept.
        main->action("mnuPad")->trigger();
        QCOMPARE(main->secondaryWindow("frmPad"), pad);
        QCOMPARE(pad->Text1().toPlainText(), QString("notes"));
        QPointer<frmPad> old = pad;
        pad->close();
        QTRY_VERIFY(old.isNull());
        main->mnuPad_Click();
        pad = static_cast<frmPad*>(main->secondaryWindow("frmPad"));
        QVERIFY(pad);
        QVERIFY(pad->Text1().toPlainText().isEmpty());
        // The document is not touched.
        QVERIFY(main->Text1().isEmpty());
        QCOMPARE(main->DocChanged, qint16(0));
    }

    void listExampleComesBackUnchanged() {
        // The definition: twelve lines of 207 characters in all, each ended by CR LF.
        const QString example = frmList::exampleText();
        QCOMPARE(example, kList);
        QCOMPARE(example.size(), 207);
        QVERIFY(example.endsWith("</OL>\r\n"));
        const QStringList lines = example.split("\r\n");
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines.last(), QString());
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(lines[i].startsWith("  "), (i >= 2 && i <= 4) || (i >= 8 && i <= 10));
            QVERIFY(!lines[i].contains('\r') && !lines[i].contains('\n'));
        }

        auto main = startWindow();
        main->action("mnulistex")->trigger();
        auto* list = static_cast<frmList*>(main->secondaryWindow("frmList"));
        QCOMPARE(list->text(), kList);
        QCOMPARE(list->Text1().document()->blockCount(), 13);  // the last break ends line 12
        list->Text1().selectAll();
        QTest::keyClicks(&list->Text1(), "scribbled");
        main->mnulistex_Click();
        QCOMPARE(main->secondaryWindow("frmList"), list);
        QCOMPARE(list->text(), QString("scribbled"));
        QPointer<frmList> old = list;
        list->close();
        QTRY_VERIFY(old.isNull());
        main->mnulistex_Click();
        list = static_cast<frmList*>(main->secondaryWindow("frmList"));
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
        auto main = startWindow();
        SettingsStore::write("Run", "Value", stored);
        main->action("mnuabout")->trigger();
        auto* about = static_cast<frmAbout*>(main->secondaryWindow("frmAbout"));
        QVERIFY(about);
        QCOMPARE(about->Label6().text(), "Quindo has been run " + stored + " times.");
        QCOMPARE(about->Label7().text(), QString("Version- 1.1.164"));
        // Not refreshed while open.
        SettingsStore::write("Run", "Value", "99");
        main->mnuabout_Click();
        QCOMPARE(main->secondaryWindow("frmAbout"), about);
        QCOMPARE(about->Label6().text(), "Quindo has been run " + stored + " times.");
        // Closing with its button unloads it; the next opening reads the store again.
        QPointer<frmAbout> old = about;
        QTest::mouseClick(&about->Command1(), Qt::LeftButton);
        QTRY_VERIFY(old.isNull());
        main->mnuabout_Click();
        about = static_cast<frmAbout*>(main->secondaryWindow("frmAbout"));
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
        auto main = startWindow();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        QTest::mouseClick(&main->Image1(), Qt::LeftButton);
        QWidget* about = main->secondaryWindow("frmAbout");
        QVERIFY(about);
        main->action("mnuabout")->trigger();
        QCOMPARE(main->secondaryWindow("frmAbout"), about);
        QCOMPARE(main->secondaryWindow("frmAbout")->windowTitle(),
                 QString("Tamblor Hyper Text Editor"));
    }

    // ---- a further editor ----------------------------------------------------------

    void newEditorWindowStartsASecondInstance() {
        ProgramInfo::setProgramPath(QStringLiteral(QUINDO_EXECUTABLE));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        auto main = startWindow();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("4"));
        main->action("mnuabout")->trigger();
        QCOMPARE(static_cast<frmAbout*>(main->secondaryWindow("frmAbout"))->Label6().text(),
                 QString("Quindo has been run 4 times."));

        main->action("mnunewwin")->trigger();
        // The second instance's start-up counts its run in the shared store.
        QTRY_COMPARE_WITH_TIMEOUT(SettingsStore::read("Run", "Value"), QString("5"), 20000);
        QList<qint64> pids;
        QTRY_VERIFY_WITH_TIMEOUT(!(pids = editorsUsing(env_.configHome())).isEmpty(), 5000);
        QCOMPARE(pids.size(), 1);
        const qint64 pid = pids.first();

        // This instance sees it after reopening the about box.
        main->secondaryWindow("frmAbout")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main->mnuabout_Click();
        QCOMPARE(static_cast<frmAbout*>(main->secondaryWindow("frmAbout"))->Label6().text(),
                 QString("Quindo has been run 5 times."));

        // It lives on its own and ends on the session manager's request.
        QVERIFY(!processEnded(pid));
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 10000);
        QVERIFY(main->isVisible());
        QVERIFY(dialogs_.calls().isEmpty());
    }

    void newEditorWindowThatCannotStartSaysSo() {
        ProgramInfo::setProgramPath(QDir(env_.configHome()).filePath("gone/quindo"));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        auto main = startWindow();
        dialogs_.answer(Dialogs::Ok);
        main->action("mnunewwin")->trigger();
        QCOMPARE(dialogs_.calls().size(), 1);
        const auto& call = dialogs_.calls().first();
        QCOMPARE(call.kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(call.title, QString("Quindo"));
        QCOMPARE(call.text, QString("Can't start a new editor window."));
        QCOMPARE(call.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(dialogs_.pending(), 0);
        QCOMPARE(main->DocChanged, qint16(0));
    }
};

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
