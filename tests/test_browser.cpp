// SPDX-License-Identifier: GPL-3.0-or-later
// The browser preference and launch, Test Page, the help commands, the Options window and
// "Edit with Quindo" (the desktop entry and associations written into a temporary XDG home,
// read back by the desktop's own tools), with a real stand-in browser process.
#include "MainWindowFixture.h"
#include "StubBrowser.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "browser/BrowserPreference.h"
#include "browser/EditEntry.h"
#include "browser/frmOptions.h"
#include "document/DocumentState.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QProcess>
#include <QPushButton>

namespace {

const QString kPrimerNotice = QStringLiteral(
    "The following document was created and copyright by Microsoft Inc. They provided it for "
    "free with Explorer 3 and ActiveX Control Pad.  It is intended for educational purposes "
    "only. It is not intended for for commercial reproduction.  Remember, Quindo is freeware "
    "and this document is for education only.");
// What the stand-in browser was started with: empty when it did not start (which is waited
// for briefly when no start is expected).
QStringList argvOf(const StubBrowser& browser, bool expected) {
    if (!expected)
        return browser.nothingStarted() ? QStringList() : QStringList("<started>");
    const auto run = browser.waitForRun();
    return run ? run->argv : QStringList("<not started>");
}

QString readText(const QString& path) {
    return QString::fromUtf8(readFile(path));
}
bool writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) &&
           f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// Runs one of the desktop's tools: its exit code (-1 when it did not end) and its output.
std::pair<int, QString> runTool(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

// The value of a key in a desktop entry's text ("" when absent).
QString entryValue(const QString& text, const QString& key) {
    for (const QString& line : text.split('\n'))
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    return {};
}

struct HelpRow {
    const char* name;
    QString command;
    bool browserChosen;
    QString file, caption;  // the document, and the command as the no-browser box names it
} const kHelp[] = {
    {"primer, browser chosen", "mnuprimer", true, "HTMLREF2.HTM", "HTML PRIMER"},
    {"primer, no browser", "mnuprimer", false, "HTMLREF2.HTM", "HTML PRIMER"},
    {"using, browser chosen", "mnuusing", true, "aboutqn.html", "Using Quindo"},
    {"using, no browser", "mnuusing", false, "aboutqn.html", "Using Quindo"},
};

// A stored browser path counts as chosen from 8 characters on, without trimming or a look
// for the file; a shorter one is still tried, but the Options window opens too.
struct ChosenRow {
    const char* name;
    QString path;
    bool chosen, stub;  // the path is a stand-in browser in the test folder
} const kChosen[] = {
    {"absent", QString(), false, false},
    {"7 characters", "./brwsr", false, true},
    {"8 characters", "./browsr", true, true},
    {"8 blanks", "        ", true, false},
    {"long, missing file", "/no/such/browser/anywhere", true, false},
};

struct SelectRow {
    const char* name;
    QString earlier, chosen, startFolder;
} const kSelect[] = {
    {"first choice", "", "/usr/bin/firefox-esr", "/usr/bin"},
    {"replaces an earlier one", "/opt/old browser/run", "/opt/new browser/run it",
     "/opt/old browser"},
    {"not a program", "", "/etc/hostname", "/usr/bin"},
    {"cancelled", "/usr/bin/chromium", "", "/usr/bin"},
};

// Test Page: the caption ("" for the file's own, "@" + name for that file's), the file in
// the test folder ("" none), the text, whether a browser is chosen, what Save As answers
// (null: no Save As), whether the browser starts.
const QString kSaved = "saved page.html";
struct TestPageRow {
    const char* name;
    QString caption, file;
    QByteArray text;
    bool browserChosen;
    QString saveAs;
    bool launches;
} const kTestPages[] = {
    {"empty page", "", "old.html", "", true, {}, false},
    {"empty page, no browser", "", "old.html", "", false, {}, false},
    {"named page", "", "page.html", "<P>hello", true, {}, true},
    {"blanks only", "", "blank page.html", " \r\n ", true, {}, true},
    {"sample page", Caption::kSample, "sample.html", "<HR>", true, {}, true},
    {"named, no browser", "", "page.html", "<P>x", false, {}, false},
    {"after a cancelled Save As", "@old.html", "", "<P>x", true, {}, false},
    {"new untitled", Caption::kNewUntitled, "", "<P>my page", true, kSaved, true},
    {"blank template", Caption::kBlankTemplate, "", "<P>my page", true, kSaved, true},
    {"after Close", Caption::kNoDocument, "", "<P>my page", true, kSaved, true},
    {"unnamed, no browser", Caption::kNewUntitled, "", "<P>my page", false, kSaved, false},
    {"Save As cancelled", Caption::kNoDocument, "old.html", "typed after Close", true, "", false},
};

const QString kOurs =
    "[Added "
    "Associations]\ntext/html=quindo-edit.desktop;\napplication/xhtml+xml=quindo-edit.desktop;\n";
struct AssociationRow {
    const char* name;
    QString before, after;
} const kAssociations[] = {
    {"no file", QString(), kOurs},
    {"other sections only", "# my choices\n[Default Applications]\ntext/html=firefox.desktop\n",
     "# my choices\n[Default Applications]\ntext/html=firefox.desktop\n\n" + kOurs},
    {"lists of others",
     "[Added Associations]\ntext/html=other.desktop;more.desktop\n"
     "image/png=viewer.desktop;\n\n[Default Applications]\ntext/html=firefox.desktop;\n",
     "[Added Associations]\ntext/html=other.desktop;more.desktop;quindo-edit.desktop;\n"
     "image/png=viewer.desktop;\napplication/xhtml+xml=quindo-edit.desktop;\n\n"
     "[Default Applications]\ntext/html=firefox.desktop;\n"},
    {"already there",
     "[Added Associations]\ntext/html=quindo-edit.desktop;\n"
     "application/xhtml+xml=a.desktop;quindo-edit.desktop;\n",
     "[Added Associations]\ntext/html=quindo-edit.desktop;\n"
     "application/xhtml+xml=a.desktop;quindo-edit.desktop;\n"},
    {"no final line break", "[Removed Associations]\ntext/html=quindo-edit.desktop;",
     "[Removed Associations]\n\n" + kOurs},
};

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QString stub_;  // a stand-in browser in a folder with an awkward name
    QString record_;
    std::unique_ptr<QTemporaryDir> home_;  // an XDG home for "Edit with Quindo"

    void chooseStub() { SettingsStore::write("browser", "name", stub_); }

    // Points the desktop's data and config homes at a fresh folder for this test.
    void useTemporaryXdgHome() {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_->filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_->filePath("config")));
    }
    QString entryPath() const { return EditEntry::applicationsFolder() + "/quindo-edit.desktop"; }

  private slots:
    void initTestCase() {
        for (const char* tool : {"desktop-file-validate", "gio", "update-desktop-database"})
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString("%1 is missing; run scripts/install-deps.sh").arg(tool)));
        // Awkward names for folders and files: blanks, quotes, '$', ';', a leading '-'.
        stub_ = f.path("my browsers; $HOME 'single' \"double\"/-web browser $1");
        QVERIFY(StubBrowser::create(stub_));
        record_ = f.path("record");
    }

    void init() {
        f.reset();
        ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
        f.start();
    }

    void cleanup() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.env.configHome()));
        qunsetenv("XDG_DATA_HOME");
        f.finish();
    }

    // ---- preference and launch ----------------------------------------------------

    void chosenFromEightCharacters_data() { addRows(kChosen); }
    void chosenFromEightCharacters() {
        const auto& r = fetchRow(kChosen);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        if (r.stub)
            QVERIFY(StubBrowser::create(f.path(r.path)));
        if (!r.path.isNull())
            SettingsStore::write("browser", "name", r.path);
        QCOMPARE(ReadBrowserPath(), r.path.isNull() ? QString("") : r.path);
        QCOMPARE(IsBrowserChosen(ReadBrowserPath()), r.chosen);
        if (!r.chosen)
            f.dialogs.answer(Dialogs::Ok);
        StubBrowser browser(record_);
        f->runCommand("mnuusing");
        QCOMPARE(f.options() != nullptr, !r.chosen);
        QCOMPARE(argvOf(browser, r.stub).value(0), r.stub ? r.path : QString());
    }

    // The browser gets both paths as they are, from the current folder. With no program the
    // target must not become the program (it is the executable stand-in here); a program
    // that cannot start fails silently.
    void launchPassesBothPathsUntouched_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("target");
        for (const char* target :
             {"/tmp/page.html", "/tmp/my pages/first page.html", "/tmp/it's \"quoted\".html",
              "/tmp/a;b $HOME `x` |c& >d.html", "-page.html", "/tmp/two\nlines.html"})
            QTest::newRow(target) << stub_ << QString(target);
        QTest::newRow("no program") << QString() << stub_;
        QTest::newRow("nothing") << QString() << QString();
        QTest::newRow("no such program") << f.path("no such browser") << "/tmp/page.html";
        QTest::newRow("not a program") << f.path("record") << "/tmp/page.html";
    }
    void launchPassesBothPathsUntouched() {
        QFETCH(QString, program);
        QFETCH(QString, target);
        StubBrowser browser(record_);
        LaunchInBrowser(program, target);
        const bool starts = program == stub_;
        QCOMPARE(argvOf(browser, starts), starts ? QStringList({stub_, target}) : QStringList());
        if (starts)
            QCOMPARE(browser.waitForRun()->workingFolder, QDir::currentPath());
    }

    // ---- Options window -------------------------------------------------------------

    // Both items and the commands that need a browser open the one window: non-modal, a
    // fixed-size tool window, Tab going round Select, Install, Close.
    void optionsWindow() {
        f->runCommand("mnuset");
        frmOptions* o = f.options();
        QVERIFY(o && o->isVisible() && !o->isModal());
        f->runCommand("mnukeys");
        f.showOptions();
        QCOMPARE(f.options(), o);
        QCOMPARE(f->findChildren<frmOptions*>().size(), 1);
        QCOMPARE(o->minimumSize(), o->maximumSize());
        QCOMPARE(o->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        o->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o));
        for (QPushButton* b : {o->Command1(), o->Command2(), o->Command3(), o->Command1()}) {
            QCOMPARE(QApplication::focusWidget(), b);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        o->Command3()->click();
        QVERIFY(!f.options());
        f->runCommand("mnukeys");
        QVERIFY(f.options());
    }

    void selectStoresTheChoiceAsChosen_data() { addRows(kSelect); }
    void selectStoresTheChoiceAsChosen() {
        const auto& r = fetchRow(kSelect);
        if (!r.earlier.isEmpty())
            SettingsStore::write("browser", "name", r.earlier);
        f.showOptions();
        frmOptions* o = f.options();
        f.dialogs.answerFile(r.chosen);
        o->Command1()->click();
        const auto& call = f.dialogs.calls().constFirst();
        QCOMPARE(call.kind, ScriptedDialogs::Kind::ChooseProgram);
        QCOMPARE(call.request.filter, QString("Executable Files (*)"));
        QCOMPARE(call.request.fileName, QString());
        QCOMPARE(call.request.directory, r.startFolder);
        QCOMPARE(ReadBrowserPath(), r.chosen.isEmpty() ? r.earlier : r.chosen);
        // A choice closes the window; a cancel leaves it open.
        QCOMPARE(f.options(), r.chosen.isEmpty() ? o : nullptr);
    }

    // The desktop's own file dialog, opened on a folder with a program and a plain file.
    void realChooserListsTheFolder() {
        const QString folder = f.path("chooser");
        QVERIFY(StubBrowser::create(folder + "/some browser"));
        writeFile(folder + "/notes.txt", {});
        QStringList listed;
        whenModal([&listed](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            const auto close = qScopeGuard([dialog] { dialog->reject(); });
            auto* view = dialog->findChild<QAbstractItemView*>("treeView");
            QVERIFY(view);
            QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) >= 2);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        });
        QtDialogs real;
        QCOMPARE(real.chooseProgram({"Executable Files (*)", {}, {}, folder}), QString());
        listed.sort();
        QCOMPARE(listed, QStringList({"notes.txt", "some browser"}));
    }

    // ---- help documents -------------------------------------------------------------

    void helpCommands_data() { addRows(kHelp); }
    void helpCommands() {
        const auto& [name, command, browserChosen, file, caption] = fetchRow(kHelp);
        QStringList messages;
        if (command == "mnuprimer")
            messages << ScriptedDialogs::box(kPrimerNotice, "Quindo - copyright information",
                                             Dialogs::Buttons::Ok, Dialogs::Icon::Stop);
        if (!browserChosen)
            messages << ScriptedDialogs::box(
                "Please select your Internet Browser and then click on " + caption +
                    " again to view the Help document.",
                "Quindo");
        // A program folder with blanks and quotes reaches the browser as it is.
        const QString folder = f.path("program folder 'q' $x");
        QDir().mkpath(folder);
        ProgramInfo::setProgramFolder(folder);
        if (browserChosen)
            chooseStub();
        // Twice: the notice comes every time.
        for (int round = 0; round < 2; ++round) {
            f.dialogs.clear();
            for (int i = 0; i < messages.size(); ++i)
                f.dialogs.answer(Dialogs::Ok);
            StubBrowser browser(record_);
            f->runCommand(command);
            QStringList shown;
            for (int i = 0; i < f.dialogs.calls().size(); ++i)
                shown << f.dialogs.shown(i);
            QCOMPARE(shown, messages);
            QCOMPARE(f.options() != nullptr, !browserChosen);
            QCOMPARE(argvOf(browser, browserChosen),
                     browserChosen ? QStringList({stub_, folder + "/" + file}) : QStringList());
        }
    }

    // ---- Test Page ------------------------------------------------------------------

    void testPage_data() { addRows(kTestPages); }
    void testPage() {
        const auto& r = fetchRow(kTestPages);
        if (r.browserChosen)
            chooseStub();
        const QString path = r.file.isEmpty() ? QString() : f.path(r.file);
        const QString savedPath = r.saveAs.isEmpty() ? QString() : f.path(r.saveAs);
        QFile::remove(savedPath);
        f.text().setBytes(r.text);
        f.fileName() = path;
        f->setCaption(r.caption.isEmpty()         ? Caption::forPath(path)
                      : r.caption.startsWith('@') ? Caption::forPath(f.path(r.caption.mid(1)))
                                                  : r.caption);
        const bool empty = r.text.isEmpty();
        if (empty)
            f.dialogs.answer(Dialogs::Ok);
        if (!r.saveAs.isNull())
            f.dialogs.answerFile(savedPath);
        StubBrowser browser(record_);
        f->runCommand("mnuTest");
        // Every dialog is scripted: anything more is reported at the end of the test.
        if (empty) {
            QCOMPARE(f.dialogs.shown(0),
                     ScriptedDialogs::box("Create and Save a page first!", "Quindo"));
        } else if (!r.saveAs.isNull()) {
            // An unnamed page is saved first, with one Save As.
            QCOMPARE(f.dialogs.calls()[0].kind, ScriptedDialogs::Kind::SaveFile);
            QCOMPARE(f.fileName(), savedPath);
            if (!r.saveAs.isEmpty())
                QVERIFY(readFile(savedPath).startsWith(r.text));
        } else {
            // A page with a file is shown as last saved: no dialog, no save.
            QVERIFY(path.isEmpty() || !QFile::exists(path));
        }
        QCOMPARE(f.options() != nullptr, !r.browserChosen && !empty);
        QCOMPARE(argvOf(browser, r.launches),
                 r.launches ? QStringList({stub_, r.saveAs.isNull() ? path : savedPath})
                            : QStringList());
    }

    // ---- sample page ----------------------------------------------------------------

    void sample_data() {
        QTest::addColumn<int>("answer");  // 0: unchanged, no prompt
        QTest::newRow("unchanged: no prompt") << 0;
        QTest::newRow("changed, No") << int(Dialogs::No);
        QTest::newRow("changed, Cancel") << int(Dialogs::Cancel);
    }
    void sample() {
        QFETCH(int, answer);
        f.start(false, true);
        f.setText("my unsaved work", 0, 0, answer ? 1 : 0);
        f->setCaption(Caption::kNewUntitled);
        f.dialogFileName() = "/tmp/earlier.html";
        if (answer)
            f.dialogs.answer(answer);
        f->runCommand("mnusample");
        if (answer) {
            QCOMPARE(f.dialogs.shown(0), ScriptedDialogs::box("Save current document?", "quindo",
                                                              Dialogs::Buttons::YesNoCancel));
            QCOMPARE(f.saveAnswer(), qint16(answer));
        }
        if (answer == Dialogs::Cancel) {
            QCOMPARE(f->caption(), Caption::kNewUntitled);
            QCOMPARE(f.bytes(), QByteArray("my unsaved work"));
            return;
        }
        const QString sample = QUINDO_BUILD_DIR "/sample.html";
        QCOMPARE(std::tuple(f->caption(), f.bytes(), f.fileName(), f.docChanged()),
                 std::tuple(Caption::kSample, readFile(sample), sample, qint16(1)));
        QVERIFY(f.dialogFileName().isEmpty());
        QVERIFY(f.text().hasFocus());
    }

    // ---- "Edit with Quindo" ---------------------------------------------------------

    // The entry is written for a program in an awkward folder, checked by the validator and
    // then started by gio on a file: the program must receive exactly its own path and the
    // file's, however the folder is named.
    void entryStartsTheProgramOnTheFile_data() {
        QTest::addColumn<QString>("folder");
        for (const char* folder :
             {"lib/quindo", "my programs/quindo editor", "it's \"here\"", "$HOME/`id`/$(id)",
              "back\\slash\\\\double", "100% %f %u", "a;b&c|d>e<f*?#~", "first\nExec=/bin/false",
              "Übersicht/ドキュメント"})
            QTest::newRow(folder) << QString(folder);
    }
    void entryStartsTheProgramOnTheFile() {
        QFETCH(QString, folder);
        useTemporaryXdgHome();
        QCOMPARE(EditEntry::applicationsFolder(), home_->filePath("data") + "/applications");
        QCOMPARE(EditEntry::associationsFile(), home_->filePath("config") + "/mimeapps.list");
        const QString program = home_->filePath("programs/" + folder + "/quindo");
        QVERIFY(StubBrowser::create(program));
        QVERIFY(EditEntry::install(program, "quindo"));
        const auto [valid, complaints] = runTool("desktop-file-validate", {entryPath()});
        QVERIFY2(valid == 0 && !complaints.contains("error"), qPrintable(complaints));
        const QString text = readText(entryPath());
        QCOMPARE(text.count("\nExec="), 1);  // a line break in the path made no new key
        QCOMPARE(entryValue(text, "Name"), QString("Edit with Quindo"));
        QCOMPARE(entryValue(text, "NoDisplay"), QString("true"));
        if (folder.contains('%')) {
            // GLib looks the program up before it turns "%%" back into "%", so its desktops
            // cannot start a program whose path holds a percent sign; the validator above
            // has checked the entry.
            return;
        }
        const QString page = home_->filePath("pages/my page; $x 'q'.html");
        QVERIFY(writeText(page, "<P>hi"));
        StubBrowser started(home_->filePath("record"));
        const auto [launched, output] = runTool("gio", {"launch", entryPath(), page});
        QVERIFY2(launched == 0, qPrintable(output));
        const auto run = started.waitForRun();
        QVERIFY(run);
        QCOMPARE(run->argv, QStringList({program, page}));
    }

    // The desktop lists the entry for both types, and the user's own default stays the
    // default; the type cache is refreshed in the background.
    void gioListsTheEntryForHtml() {
        useTemporaryXdgHome();
        // The desktop lists only entries whose program exists.
        const QString program = home_->filePath("my programs/quindo");
        QVERIFY(StubBrowser::create(program));
        QVERIFY(writeText(EditEntry::applicationsFolder() + "/my-viewer.desktop",
                          "[Desktop Entry]\nType=Application\nName=My Viewer\nExec=/bin/true %f\n"
                          "MimeType=text/html;application/xhtml+xml;\n"));
        QVERIFY(writeText(EditEntry::associationsFile(),
                          "[Default Applications]\ntext/html=my-viewer.desktop;\n"
                          "application/xhtml+xml=my-viewer.desktop;\n"));
        QVERIFY(EditEntry::install(program, "quindo"));
        for (const QString type : {"text/html", "application/xhtml+xml"}) {
            const auto [code, output] = runTool("gio", {"mime", type});
            QCOMPARE(code, 0);
            QVERIFY2(output.contains(": my-viewer.desktop\n"), qPrintable(output));
            const qsizetype registered = output.indexOf("Registered applications:");
            QVERIFY2(
                registered >= 0 && output.indexOf("quindo-edit.desktop", registered) > registered,
                qPrintable(output));
        }
        QTRY_VERIFY2_WITH_TIMEOUT(
            readText(EditEntry::applicationsFolder() + "/mimeinfo.cache")
                .contains(QRegularExpression("text/html=.*quindo-edit.desktop;")),
            "no mimeinfo.cache entry", 20000);
    }

    void associationsKeepEveryOtherLine_data() { addRows(kAssociations); }
    void associationsKeepEveryOtherLine() {
        const auto& r = fetchRow(kAssociations);
        useTemporaryXdgHome();
        // No application of the system's handles the types, so no default is kept.
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_DIRS", dataDirs); });
        qputenv("XDG_DATA_DIRS", QFile::encodeName(home_->filePath("no system data")));
        if (!r.before.isNull())
            QVERIFY(writeText(EditEntry::associationsFile(), r.before.toUtf8()));
        // Installing again changes nothing.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
            QCOMPARE(readText(EditEntry::associationsFile()), r.after);
        }
        // A folder in the list's place cannot be replaced.
        QVERIFY(QFile::remove(EditEntry::associationsFile()));
        QVERIFY(QDir().mkpath(EditEntry::associationsFile()));
        QVERIFY(!EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
    }

    // The Install button: success closes the window and names the program and its icon;
    // a file where a folder must be is reported and keeps the window open.
    void installButton_data() {
        QTest::addColumn<QString>("blocked");
        for (const char* blocked : {"", "data/applications", "data", "config"})
            QTest::newRow(*blocked ? blocked : "installed") << QString(blocked);
    }
    void installButton() {
        QFETCH(QString, blocked);
        useTemporaryXdgHome();
        if (!blocked.isEmpty())
            QVERIFY(writeText(home_->filePath(blocked), "not a folder"));
        f.showOptions();
        frmOptions* window = f.options();
        f.dialogs.answer(Dialogs::Ok);
        window->Command2()->click();
        if (!blocked.isEmpty()) {
            QVERIFY(f.dialogs.shown(0).startsWith("Registry Error|There was an error writing"));
            QCOMPARE(f.options(), window);
            QCOMPARE(readText(home_->filePath(blocked)), QString("not a folder"));
            return;
        }
        QVERIFY(f.dialogs.shown(0).startsWith(
            "Registry Updated Successfully.|You can now right-click"));
        QVERIFY(!f.options());
        const QString text = readText(entryPath());
        QCOMPARE(entryValue(text, "Exec"), '"' + ProgramInfo::programPath() + "\" %f");
        QCOMPARE(entryValue(text, "Icon"), ProgramInfo::besideProgram("quindo.svg"));
        QVERIFY(QFile::exists(entryValue(text, "Icon")));
    }
};

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
