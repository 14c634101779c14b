// SPDX-License-Identifier: GPL-3.0-or-later
// The main window offscreen: start-up, settings store, layout rule, document state, the
// command surface, the display preferences, the editing area's bytes and caret, the splash
// hand-over, the first-run welcome, the auxiliary windows and a real second instance.
#include "MainWindowFixture.h"
#include "Program.h"
#include "app/AuxiliaryWindows.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "app/SmallWindows.h"
#include "app/frmsplash.h"
#include "document/DocumentState.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <csignal>

namespace {

const QStringList kSizes{"mnuqn8", "mnuqn10", "mnuqn12", "mnuqn14"};
const QStringList kFaces{"mnuqnarial", "mnuqntimes", "mnuqnverdana"};

// The display as one line: the checked size and face items, then the base size in hundredths.
QString display(frmMain& w) {
    QStringList on;
    for (const QString& n : kSizes + kFaces)
        if (w.action(n)->isChecked())
            on << n;
    return on.join(' ') + QStringLiteral("|%1").arg(w.Text1().baseFontSizeHundredths());
}

// The face of every byte of the text, one name per run of equal faces: "Verdana:4 Arial:3".
QString faceRuns(const EditingArea& area) {
    QStringList runs;
    QString face;
    int count = 0;
    for (qint64 i = 0; i <= area.byteLength(); ++i) {
        const QString at = i < area.byteLength() ? area.faceAt(i) : QString();
        if (at != face && count > 0) {
            runs << QStringLiteral("%1:%2").arg(face).arg(count);
            count = 0;
        }
        face = at;
        ++count;
    }
    return runs.join(QLatin1Char(' '));
}

// Orphans may linger as zombies until init reaps them; those have ended too.
bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().split(')').last().startsWith(" Z");
}

// The running editor processes whose settings live in the given config home.
QList<qint64> editorsUsing(const QString& configHome) {
    QList<qint64> pids;
    const QString program = QFileInfo(QStringLiteral(QUINDO_EXECUTABLE)).canonicalFilePath();
    for (const QString& pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile environ("/proc/" + pid + "/environ");
        if (!processEnded(pid.toLongLong()) &&
            QFileInfo("/proc/" + pid + "/exe").canonicalFilePath() == program &&
            environ.open(QIODevice::ReadOnly) &&
            environ.readAll().split('\0').contains("XDG_CONFIG_HOME=" + configHome.toLocal8Bit()))
            pids << pid.toLongLong();
    }
    return pids;
}

// Runs the callback when a window of that name first appears.
struct ShowWatcher : QObject {
    QString name;
    std::function<void()> onShow;
    ShowWatcher(QString n, std::function<void()> f) : name(std::move(n)), onShow(std::move(f)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->objectName() == name && onShow)
            std::exchange(onShow, nullptr)();
        return false;
    }
};

struct CounterRow {
    const char* name;
    QString stored, written;
} const kCounter[] = {
    {"zero brings the welcome back", "0", "1"},
    {"negative", "-5", "-4"},
    {"leading zeros", "007", "8"},
    {"blanks around", " 12 ", "13"},
    {"top of range stays", "32767", "32767"},
    {"bottom of range", "-32768", "-32767"},
    {"past the range", "32768", "1"},
    {"not a number", "abc", "1"},
    {"empty", "", "1"},
    {"fraction", "2.5", "1"},
};

// What is stored, the display it gives at start-up; a display command, what it stores, and
// the display after it. The other section's stored text stays as it was, recognised or not.
struct PreferenceRow {
    const char* name;
    QString size, face, display, item, section, stored, after;
} const kPreferences[] = {
    {"12 Arial, size 8", "12", "Arial", "mnuqn12 mnuqnarial|1200", "mnuqn8", "fontsize", "8",
     "mnuqn8 mnuqnarial|800"},
    {"8 Times, size 10", "8", "Times New Roman", "mnuqn8 mnuqntimes|800", "mnuqn10", "fontsize",
     "10", "mnuqn10 mnuqntimes|1000"},
    {"14 Verdana, size 12", "14", "Verdana", "mnuqn14 mnuqnverdana|1400", "mnuqn12", "fontsize",
     "12", "mnuqn12 mnuqnverdana|1200"},
    {"9 arial ignored, size 14", "9", "arial", "|975", "mnuqn14", "fontsize", "14", "mnuqn14|1400"},
    {"padded ignored, arial", " 10", "Verdana ", "|975", "mnuqnarial", "font", "Arial",
     "mnuqnarial|975"},
    {"caption not a face, times stores the face", "10", "Times Font", "mnuqn10|1000", "mnuqntimes",
     "font", "Times New Roman", "mnuqn10 mnuqntimes|1000"},
    {"verdana", "12", "Arial", "mnuqn12 mnuqnarial|1200", "mnuqnverdana", "font", "Verdana",
     "mnuqn12 mnuqnverdana|1200"},
};

struct ArgvRow {
    const char* name;
    QStringList argv;
    QString text;
} const kArgv[] = {
    {"none", {"quindo"}, ""},
    {"one", {"quindo", "/tmp/a b.html"}, "/tmp/a b.html"},
    {"two words", {"quindo", "/tmp/a", "b.html"}, "/tmp/a b.html"},
    {"quotes kept", {"quindo", "\"x.html\""}, "\"x.html\""},
    {"leading dash", {"quindo", "-style"}, "-style"},
    {"empty word", {"quindo", "", "x"}, " x"},
};

struct FaceScriptRow {
    const char* name;
    QStringList steps;
} const kFaceScripts[] = {
    // The selection only; a second, overlapping selection takes another face.
    {"selection",
     {"text=one two three", "runs=Verdana:13", "sel=4-7", "mnuqntimes",
      "runs=Verdana:4 Times New Roman:3 Verdana:6", "sel=6-9", "mnuqnverdana", "sel=0-3",
      "mnuqnarial", "runs=Arial:3 Verdana:1 Times New Roman:2 Verdana:7", "bytes=one two three",
      "changed=0", "size=10"}},
    // Nothing visible changes until text is typed; typing goes on in the face before the
    // caret; elsewhere, typed text takes the face of the text it joins; typing over a
    // selection given a face keeps that face.
    {"typed next",
     {"text=abcdef", "caret=3", "mnuqnarial", "runs=Verdana:6", "type=XY",
      "runs=Verdana:3 Arial:2 Verdana:3", "type=Z", "runs=Verdana:3 Arial:3 Verdana:3", "caret=9",
      "type=!", "caret=0", "type=<", "bytes=<abcXYZdef!", "runs=Verdana:4 Arial:3 Verdana:4",
      "changed=1", "sel=1-4", "mnuqntimes", "type=2",
      "runs=Verdana:1 Times New Roman:1 Arial:3 Verdana:4"}},
    // Text inserted elsewhere takes its neighbour's face and drops the choice; a choice made
    // with nothing selected (as the start-up restores it) outlives a load.
    {"only at the caret",
     {"text=abcdef", "caret=2", "mnuqntimes", "caret=5", "insert=x", "caret=2", "insert=y",
      "bytes=abycdexf", "runs=Verdana:8", "caret=0", "mnuqnarial", "text=loaded", "runs=Verdana:6",
      "insert=new ", "runs=Arial:4 Verdana:6"}},
    {"base size",
     {"text=a b c d", "sel=0-1", "mnuqnarial", "sel=2-3", "mnuqntimes", "sel=4-5", "mnuqnverdana",
      "mnuqn8", "size=8", "mnuqn14", "size=14",
      "runs=Arial:1 Verdana:1 Times New Roman:1 Verdana:4"}},
};

struct WindowRow {
    const char* name;
    QString window, command, caption;
    bool centred, topmost;
    QString firstFocus;
} const kWindows[] = {
    {"splash", "frmsplash", "", "Quindo", true, false, ""},
    {"about", "frmAbout", "mnuabout", "Tamblor Hyper Text Editor", true, false, "Command1"},
    {"list", "frmList", "mnulistex", "List Code Examples", false, false, "Text1"},
    {"welcome", "frmfirst", "", "Quindo", true, true, "Command1"},
    {"pad", "frmPad", "mnuPad", "Scratch Pad", false, true, "Text1"},
};

// Escape on a small window: it closes, except the scratch pad, which would take the
// user's notes with it.
struct EscapeRow {
    const char* name;
    QString command, window, focus, typed;
    bool stays;
} const kEscape[] = {
    {"pad with notes", "mnuPad", "frmPad", "Text1", "my notes", true},
    {"empty pad", "mnuPad", "frmPad", "Text1", "", true},
    {"list examples", "mnulistex", "frmList", "Text1", "scribbled", false},
    {"about box", "mnuabout", "frmAbout", "Command1", "", false},
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    frmMain& startWindow() { return f.start(true, true); }

  private slots:
    void init() { f.reset(); }
    void cleanup() {
        f.finish();
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ---- start-up and settings ------------------------------------------------------

    void settingsStore() {
        f.env.resetSettings();
        QCOMPARE(SettingsStore::read("browser", "name"), QString());
        QCOMPARE(SettingsStore::read("Run", "Value", "0"), QString("0"));
        SettingsStore::write("browser", "name", "/usr/bin/my browser");
        QCOMPARE(SettingsStore::read("browser", "name"), QString("/usr/bin/my browser"));
        QCOMPARE(f.env.settingsFile(), f.env.configHome() + "/quindo/quindo.ini");
        QVERIFY(f.env.settingsText().contains("[browser]\nname=/usr/bin/my browser"));
        // Another instance writes the file directly; the next read sees it.
        writeFile(f.env.settingsFile(), "[Run]\nValue=42\n");
        QFile file(f.env.settingsFile());
        // File times have a coarse resolution on some systems; nudge the stamp.
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                         QFileDevice::FileModificationTime);
        file.close();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("42"));
    }

    void firstStartWithEmptyStore() {
        f.env.resetSettings();
        frmMain& w = f.start(true);
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("1"));
        QCOMPARE(SettingsStore::read("fontsize", "Value"), QString("10"));
        QCOMPARE(SettingsStore::read("font", "Value"), QString("Verdana"));
        QCOMPARE(SettingsStore::read("browser", "name", "absent"), QString("absent"));
        QVERIFY(w.action("mnuViewStatusBar")->isChecked());
        QCOMPARE(display(w), QString("mnuqn10 mnuqnverdana|1000"));
        QCOMPARE(w.caption(), QString("Quindo HTML Editor"));
        QVERIFY(f.fileName().isEmpty() && w.Text1().isEmpty());
        QCOMPARE(f.docChanged() + f.saveAnswer(), 0);
    }

    void startupCounter_data() { addRows(kCounter); }
    void startupCounter() {
        const auto& r = fetchRow(kCounter);
        SettingsStore::write("Run", "Value", r.stored);
        frmMain& w = f.start(true);
        QCOMPARE(SettingsStore::read("Run", "Value"), r.written);
        QCOMPARE(w.startupCount(), qint16(r.written.toInt()));
    }

    void commandLineJoining_data() { addRows(kArgv); }
    void commandLineJoining() {
        const auto& r = fetchRow(kArgv);
        QList<QByteArray> storage;
        std::vector<char*> pointers;
        for (const QString& a : r.argv)
            pointers.push_back((storage << a.toLocal8Bit()).last().data());
        pointers.push_back(nullptr);
        QCOMPARE(Program::argumentText(static_cast<int>(r.argv.size()), pointers.data()), r.text);
    }

    void commandLineNamesTheDocument() {
        f.dialogs.answer(Dialogs::Ok);  // the load's own failure report
        frmMain& w = f.start(true, false, "/no/such folder/page.html");
        QCOMPARE(f.fileName(), QString("/no/such folder/page.html"));
        QCOMPARE(w.caption(), QString("Quindo- /no/such folder/page.html"));
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // ---- layout, document state and the command surface -----------------------------

    // Text set from outside counts as a change too (the load clears it after).
    void changeNotification() {
        frmMain& w = f.start();
        w.Text1().setBytes("loaded");
        QCOMPARE(f.docChanged(), qint16(1));
    }

    // The menus are built from the command table: every entry in its menu, in order, with
    // its caption and kind.
    void menuTree() {
        frmMain& w = f.start();
        QStringList bar;
        for (QAction* a : w.menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, (QStringList{"File", "Edit", "Text", "Fonts", "Tables", "Scripts",
                                   "Test Page...", "Window", "&Options", "Help", "About..."}));
        QHash<QString, int> position;
        for (const auto& e : CommandSurface::menus()) {
            const QString parent = QString::fromLatin1(e.parent);
            if (parent.isEmpty())
                continue;
            QMenu* m = w.menu(parent);
            QVERIFY2(m, e.parent);
            QAction* a = m->actions().value(position[parent]++);
            QVERIFY2(a, e.name);
            QCOMPARE(a->objectName(), QString::fromLatin1(e.name));
            QCOMPARE(a->isSeparator(), e.kind == CommandSurface::Kind::Separator);
            if (!a->isSeparator()) {
                QCOMPARE(a->text(), QString::fromLatin1(e.caption));
                QVERIFY(a->shortcut().isEmpty() && a->isEnabled() && !a->text().contains('&'));
            }
            QCOMPARE(a->menu() != nullptr, e.kind == CommandSurface::Kind::Menu);
        }
        for (auto it = position.cbegin(); it != position.cend(); ++it)
            QCOMPARE(w.menu(it.key())->actions().size(), it.value());
        QVERIFY(!w.action("mnuTest")->menu() && !w.action("mnuabout")->menu());
    }

    // Focus goes from the editing area along the button row; each button is named for
    // screen readers by its tip.
    void buttonRow() {
        frmMain& w = f.start();
        QWidget* at = &w.Text1();
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 13, 14, 15, 16}) {
            QAbstractButton* b = w.button(QStringLiteral("Command%1").arg(n));
            QVERIFY(b && !b->toolTip().isEmpty());
            QCOMPARE(b->accessibleName(), b->toolTip());
            do
                at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus);
            QCOMPARE(at, b);
        }
    }

    // ---- display preferences ----------------------------------------------------------

    void preferenceCommands_data() { addRows(kPreferences); }
    void preferenceCommands() {
        const auto& r = fetchRow(kPreferences);
        SettingsStore::write("fontsize", "Value", r.size);
        SettingsStore::write("font", "Value", r.face);
        frmMain& w = f.start(true);
        QCOMPARE(display(w), r.display);
        w.Text1().setBytes("<P>some text</P>");
        f.docChanged() = 0;
        // Twice: choosing the checked item again changes nothing.
        for (int round = 0; round < 2; ++round) {
            w.action(r.item)->trigger();
            QCOMPARE(display(w), r.after);
            QCOMPARE(SettingsStore::read("fontsize", "Value"),
                     r.section == "fontsize" ? r.stored : r.size);
            QCOMPARE(SettingsStore::read("font", "Value"), r.section == "font" ? r.stored : r.face);
        }
        // Display only: the document is untouched.
        QCOMPARE(w.Text1().bytes().toByteArray(), QByteArray("<P>some text</P>"));
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // Runs a face script on the shown window's editing area: "text=" loads (unchanged),
    // "caret=", "sel=from-to" (bytes), "type=" keys, "insert=" at the caret, a menu item's
    // name runs it; "runs=", "bytes=", "changed=" and "size=" (of every byte) check.
    void faces_data() { addRows(kFaceScripts); }
    void faces() {
        frmMain& w = f.start(true, true);
        EditingArea& area = w.Text1();
        area.SetFocus();
        for (const QString& step : fetchRow(kFaceScripts).steps) {
            const QString key = step.section('=', 0, 0);
            const QString value = step.section('=', 1);
            if (key == "text") {
                area.setBytes(value.toUtf8());
                f.docChanged() = 0;
            } else if (key == "caret") {
                area.setSelStart(value.toLongLong());
            } else if (key == "sel") {
                f.select(value.section('-', 0, 0).toLong(), value.section('-', 1).toLong());
            } else if (key == "type") {
                QTest::keyClicks(&area, value);
            } else if (key == "insert") {
                area.setSelText(value.toUtf8());
            } else if (key == "runs") {
                QCOMPARE(faceRuns(area), value);
            } else if (key == "bytes") {
                QCOMPARE(area.bytes().toByteArray(), value.toUtf8());
            } else if (key == "changed") {
                QCOMPARE(f.docChanged(), qint16(value.toInt()));
            } else if (key == "size") {
                for (unsigned long pos = 0; pos < unsigned(area.byteLength()); ++pos) {
                    const long style = area.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos);
                    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                                static_cast<unsigned long>(style)),
                             value.toLong());
                }
            } else {
                QVERIFY(w.runCommand(key));
            }
        }
    }

    void resizeAndStatusBar() {
        frmMain& w = f.start(true, true);
        // At 96 dots per inch, 15 twips to the pixel: 7500 twips wide, the area 5 twips less.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        w.resize(500, w.height() + 100);
        QTRY_COMPARE(w.Text1().width(), 500);
        QTest::qWait(50);  // let the layout settle
        const QRect area = w.Text1().geometry();
        QAction* item = w.action("mnuViewStatusBar");
        for (bool shown : {false, true}) {
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
        QVERIFY(again->action("mnuViewStatusBar")->isChecked() && again->StatusBar1().isVisible());
    }

    // ---- splash, welcome and the small windows ----------------------------------------

    // Each small window is a fixed-size, non-modal tool window with a close box only.
    void smallWindows_data() { addRows(kWindows); }
    void smallWindows() {
        const auto& r = fetchRow(kWindows);
        frmMain& main = startWindow();
        std::unique_ptr<frmsplash> splash;
        QWidget* w = nullptr;
        if (r.window == "frmsplash") {
            splash = std::make_unique<frmsplash>([](frmsplash&) {});
            splash->setAttribute(Qt::WA_DeleteOnClose, false);
            splash->Timer1().stop();  // no hand-over here
            splash->Form_Load();
            splash->show();
            w = splash.get();
        } else {
            if (r.command.isEmpty())
                main.smallWindows().showFirstRunWelcome();
            else
                main.action(r.command)->trigger();
            w = main.secondaryWindow(r.window);
        }
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), r.caption);
        QCOMPARE(w->minimumSize(), w->size());
        QCOMPARE(w->maximumSize(), w->size());
        const Qt::WindowFlags flags = w->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(bool(flags & Qt::WindowStaysOnTopHint), r.topmost);
        QVERIFY(!w->isModal());
        if (r.centred) {
            const QPoint screenCentre = w->screen()->availableGeometry().center();
            QVERIFY((w->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
        }
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY(w->rect().contains(c->geometry()));
        QCOMPARE(w->focusWidget() ? w->focusWidget()->objectName() : QString(), r.firstFocus);
    }

    void splashHandsOverToTheMainWindow() {
        f.env.resetSettings();  // a first run: the welcome comes up during the load
        frmMain* main = nullptr;
        QPointer<frmsplash> splash;
        int made = 0;
        QString atMake, atWelcome;
        ShowWatcher watch("frmfirst", [&] {
            atWelcome = QStringLiteral("splash %1, main %2, registered %3")
                            .arg(splash && splash->isVisible())
                            .arg(main && main->isVisible())
                            .arg(main && main->secondaryWindow("frmsplash") == splash.data());
        });
        splash = new frmsplash([&](frmsplash& self) {
            ++made;
            const QProgressBar& bar = splash->ProgressBar1();
            atMake = QStringLiteral("visible %1, timer %2, %3-%4 at %5")
                         .arg(splash->isVisible())
                         .arg(splash->Timer1().isActive())
                         .arg(bar.minimum())
                         .arg(bar.maximum())
                         .arg(bar.value());
            // A second tick while the load runs (a message box's event loop) hands over
            // nothing more.
            splash->Timer1_Timer();
            Program::showMainWindow(*(main = &f.start()), self);
        });
        QVERIFY(splash->Timer1().isActive());
        splash->Form_Load();
        splash->show();
        QTRY_VERIFY(splash.isNull());
        QCOMPARE(made, 1);
        QCOMPARE(atMake, QString("visible 1, timer 0, 0-4000 at 4000"));
        QCOMPARE(atWelcome, QString("splash 1, main 0, registered 1"));
        QVERIFY(main->isVisible());
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("1"));
        QVERIFY(main->secondaryWindow("frmfirst") && !main->secondaryWindow("frmsplash"));
    }

    void welcomeOnlyOnAFirstRun() {
        for (const QString stored : {"", "0", "1", "250"}) {
            f.env.resetSettings();
            if (!stored.isEmpty())
                SettingsStore::write("Run", "Value", stored);
            frmMain& main = startWindow();
            auto* first = static_cast<frmfirst*>(main.secondaryWindow("frmfirst"));
            QCOMPARE(first != nullptr, stored.toInt() < 1);
            if (!first)
                continue;
            QVERIFY(!QApplication::activeModalWidget());
            // The main window goes on working while the welcome is open.
            main.Text1().setSelText("<B></B>");
            QCOMPARE(f.docChanged(), qint16(1));
            QTest::mouseClick(&first->Command1(), Qt::LeftButton);
            QVERIFY(!main.secondaryWindow("frmfirst"));
            QCOMPARE(main.Text1().bytes().toByteArray(), QByteArray("<B></B>"));
        }
    }

    // Shown again while open: the same window, its text kept; closed and shown again: a
    // fresh one. The document is not touched.
    void escapeClosesAllButThePad_data() { addRows(kEscape); }
    void escapeClosesAllButThePad() {
        const auto& r = fetchRow(kEscape);
        frmMain& main = startWindow();
        QVERIFY(main.runCommand(r.command));
        QPointer<QWidget> window = main.secondaryWindow(r.window);
        QVERIFY(window);
        auto* box = window->findChild<QPlainTextEdit*>("Text1");
        const QString fresh = r.window == "frmList" ? frmList::exampleText() : QString();
        if (box) {
            QCOMPARE(box->toPlainText().replace('\n', "\r\n"), fresh);
            box->selectAll();
            QTest::keyClicks(box, r.typed);
            QVERIFY(main.runCommand(r.command));
            QCOMPARE(main.secondaryWindow(r.window), window.data());
        }
        auto* focus = window->findChild<QWidget*>(r.focus);
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(main.secondaryWindow(r.window) != nullptr, r.stays);
        QCOMPARE(!window.isNull() && window->isVisible(), r.stays);
        if (box) {
            if (r.stays)
                QCOMPARE(box->toPlainText(), r.typed);
            if (window)
                window->close();
            QTRY_VERIFY(window.isNull());
            QVERIFY(main.runCommand(r.command));
            box = main.secondaryWindow(r.window)->findChild<QPlainTextEdit*>("Text1");
            QCOMPARE(box->toPlainText().replace('\n', "\r\n"), fresh);
        }
        QVERIFY(main.Text1().isEmpty());
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // The about box shows the stored count as it is written, read when the box is loaded.
    void aboutShowsTheStoredCount() {
        frmMain& main = startWindow();
        SettingsStore::write("Run", "Value", "007");
        main.action("mnuabout")->trigger();
        auto* about = static_cast<frmAbout*>(main.secondaryWindow("frmAbout"));
        QCOMPARE(about->Label6().text(), QString("Quindo has been run 007 times."));
        // Not refreshed while open; the logo opens the same box.
        SettingsStore::write("Run", "Value", "lots");
        QTest::mouseClick(&main.Image1(), Qt::LeftButton);
        QCOMPARE(main.secondaryWindow("frmAbout"), about);
        QCOMPARE(about->Label6().text(), QString("Quindo has been run 007 times."));
        // Closing with its button unloads it; the next opening reads the store again.
        QPointer<frmAbout> old = about;
        QTest::mouseClick(&about->Command1(), Qt::LeftButton);
        QTRY_VERIFY(old.isNull());
        QTest::mouseClick(&main.Image1(), Qt::LeftButton);
        about = static_cast<frmAbout*>(main.secondaryWindow("frmAbout"));
        QCOMPARE(about->Label6().text(), QString("Quindo has been run lots times."));
    }

    // ---- a further editor -------------------------------------------------------------

    void newEditorWindowStartsASecondInstance() {
        ProgramInfo::setProgramPath(QStringLiteral(QUINDO_EXECUTABLE));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        frmMain& main = startWindow();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("4"));
        main.action("mnunewwin")->trigger();
        // The second instance's start-up counts its run in the shared store.
        QTRY_COMPARE_WITH_TIMEOUT(SettingsStore::read("Run", "Value"), QString("5"), 20000);
        QList<qint64> pids;
        QTRY_VERIFY_WITH_TIMEOUT(!(pids = editorsUsing(f.env.configHome())).isEmpty(), 5000);
        QCOMPARE(pids.size(), 1);
        const qint64 pid = pids.first();
        // This instance sees it in the about box.
        main.runCommand("mnuabout");
        QCOMPARE(static_cast<frmAbout*>(main.secondaryWindow("frmAbout"))->Label6().text(),
                 QString("Quindo has been run 5 times."));
        // It lives on its own and ends on the session manager's request.
        QVERIFY(!processEnded(pid));
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 10000);
        QVERIFY(main.isVisible());
    }

    void newEditorWindowThatCannotStartSaysSo() {
        ProgramInfo::setProgramPath(QDir(f.env.configHome()).filePath("gone/quindo"));
        auto restore = qScopeGuard([] { ProgramInfo::setProgramPath({}); });
        frmMain& main = startWindow();
        f.dialogs.answer(Dialogs::Ok);
        main.action("mnunewwin")->trigger();
        QCOMPARE(f.dialogs.shown(0),
                 f.dialogs.box("Can't start a new editor window.", "Quindo", Dialogs::Buttons::Ok,
                               Dialogs::Icon::Exclamation));
        QCOMPARE(f.docChanged(), qint16(0));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_app.moc"
