// SPDX-License-Identifier: GPL-3.0-or-later
// The browser preference and launch, Test Page, the help commands and the Options window,
// driven through the real main window offscreen, with a real stand-in browser process.
#include "MainWindowFixture.h"
#include "StubBrowser.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "browser/BrowserPreference.h"
#include "browser/frmOptions.h"
#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Twips.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kPrimerNotice = QStringLiteral(
    "The following document was created and copyright by Microsoft Inc. They provided it for "
    "free with Explorer 3 and ActiveX Control Pad.  It is intended for educational purposes "
    "only. It is not intended for for commercial reproduction.  Remember, Quindo is freeware "
    "and this document is for education only.");
const QString kPrimerNoBrowser = QStringLiteral(
    "Please select your Internet Browser and then click on HTML PRIMER again to view the Help "
    "document.");
const QString kUsingNoBrowser = QStringLiteral(
    "Please select your Internet Browser and then click on Using Quindo again to view the Help "
    "document.");

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QString stub_;  // a stand-in browser in a folder with an awkward name
    QString record_;

    void chooseStub() { SettingsStore::write("browser", "name", stub_); }

  private slots:
    void initTestCase() {
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

    void cleanup() { f.finish(); }

    // ---- preference and launch ----------------------------------------------------

    void chosenFromEightCharacters_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("absent") << QString() << false;
        QTest::newRow("7 characters") << "/bin/ab" << false;
        QTest::newRow("8 characters") << "/bin/abc" << true;
        QTest::newRow("8 blanks") << "        " << true;
        QTest::newRow("long, missing file") << "/no/such/browser/anywhere" << true;
    }

    void chosenFromEightCharacters() {
        QFETCH(QString, path);
        QFETCH(bool, chosen);
        if (!path.isNull())
            SettingsStore::write("browser", "name", path);
        QCOMPARE(ReadBrowserPath(), path.isNull() ? QString("") : path);
        QCOMPARE(IsBrowserChosen(ReadBrowserPath()), chosen);
    }

    void launchPassesBothPathsUntouched_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("plain") << "/tmp/page.html";
        QTest::newRow("blanks") << "/tmp/my pages/first page.html";
        QTest::newRow("quotes") << "/tmp/it's \"quoted\".html";
        QTest::newRow("shell characters") << "/tmp/a;b $HOME `x` |c& >d.html";
        QTest::newRow("leading dash") << "-page.html";
        QTest::newRow("line break") << "/tmp/two\nlines.html";
    }

    void launchPassesBothPathsUntouched() {
        QFETCH(QString, target);
        StubBrowser browser(record_);
        LaunchInBrowser(stub_, target);
        const auto run = browser.waitForRun();
        QVERIFY2(run, "the browser was not started");
        QCOMPARE(run->argv, QStringList({stub_, target}));
        QCOMPARE(run->workingFolder, QDir::currentPath());
    }

    void launchesNothingWithoutAProgram() {
        // With no program, the target must not become the program: it is an executable
        // script here, and it must not run. A program that cannot start fails silently.
        StubBrowser browser(record_);
        LaunchInBrowser(QString(), stub_);
        LaunchInBrowser(QString(), QString());
        LaunchInBrowser(f.path("no such browser"), "/tmp/page.html");
        LaunchInBrowser(f.path("record"), "/tmp/page.html");  // not a program
        QVERIFY(browser.nothingStarted());
        QVERIFY(f.dialogs.calls().isEmpty());
    }

    // ---- Options window -------------------------------------------------------------

    void bothOptionsItemsOpenTheOneWindow() {
        f->runCommand("mnuset");
        frmOptions* first = f.options();
        QVERIFY(first);
        f->runCommand("mnukeys");
        QCOMPARE(f.options(), first);
        f.showOptions();
        QCOMPARE(f.options(), first);
        QCOMPARE(f->findChildren<frmOptions*>().size(), 1);
        first->Command3()->click();
        QVERIFY(!f.options());
        f->runCommand("mnukeys");
        QVERIFY(f.options());
    }

    void optionsWindowDesign() {
        f.showOptions();
        frmOptions* o = f.options();
        QCOMPARE(o->windowTitle(), QString("Quindo Options"));
        QCOMPARE(o->size(), Twips::toPixels(QSize(4200, 3180)));
        QCOMPARE(o->minimumSize(), o->maximumSize());
        const Qt::WindowFlags flags = o->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!o->isModal() && o->isVisible());
        auto* label = o->findChild<QLabel*>("Label2");
        QCOMPARE(label->geometry(), Twips::rect(1710, 1665, 2355, 735));
        QCOMPARE(label->text(),
                 QString("Set Registry Keys to add right click editing to your Web Documents."));
        QVERIFY(label->wordWrap());
        QCOMPARE(o->Command3()->geometry(), Twips::rect(1530, 2655, 960, 375));
        QCOMPARE(o->Command1()->text(), QString("Select"));
        QVERIFY(!o->findChild<QLabel*>("Image1")->pixmap().isNull());
        auto* line = o->findChild<QFrame*>("Line1");
        QCOMPARE(line->frameShape(), QFrame::HLine);
        QCOMPARE(line->x(), Twips::toPixels(180));
        QCOMPARE(line->width(), Twips::toPixels(3960 - 180));
        QVERIFY(line->geometry().contains(line->x() + 5, Twips::toPixels(2520)));
        // Focus: Select, Install, Close, round again.
        o->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o));
        for (QPushButton* b : {o->Command1(), o->Command2(), o->Command3(), o->Command1()}) {
            QCOMPARE(QApplication::focusWidget(), b);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void selectStoresTheChoiceAsChosen_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("startFolder");
        QTest::newRow("first choice") << QString() << "/usr/bin/firefox-esr" << "/usr/bin";
        QTest::newRow("replaces an earlier one")
            << "/opt/old browser/run" << "/opt/new browser/run it" << "/opt/old browser";
        QTest::newRow("not a program") << QString() << "/etc/hostname" << "/usr/bin";
        QTest::newRow("cancelled") << "/usr/bin/chromium" << QString() << "/usr/bin";
    }

    void selectStoresTheChoiceAsChosen() {
        QFETCH(QString, earlier);
        QFETCH(QString, chosen);
        QFETCH(QString, startFolder);
        if (!earlier.isEmpty())
            SettingsStore::write("browser", "name", earlier);
        f.showOptions();
        frmOptions* o = f.options();
        f.dialogs.answerFile(chosen);
        o->Command1()->click();
        QCOMPARE(f.dialogs.calls().size(), 1);
        const auto& call = f.dialogs.calls().constFirst();
        QCOMPARE(call.kind, ScriptedDialogs::Kind::ChooseProgram);
        QCOMPARE(call.request.filter, QString("Executable Files (*)"));
        QCOMPARE(call.request.fileName, QString());
        QCOMPARE(call.request.directory, startFolder);
        QCOMPARE(ReadBrowserPath(), chosen.isEmpty() ? earlier : chosen);
        // A choice closes the window; a cancel leaves it open.
        QCOMPARE(f.options(), chosen.isEmpty() ? o : nullptr);
    }

    void realChooserListsTheFolder() {
        // The desktop's own file dialog, opened on a folder with a program and a plain file.
        const QString folder = f.path("chooser");
        QVERIFY(StubBrowser::create(folder + "/some browser"));
        writeFile(folder + "/notes.txt", {});
        QStringList listed;
        QTimer::singleShot(0, this, [&listed] {
            QFileDialog* dialog = nullptr;
            QTRY_VERIFY((dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())));
            // The dialog closes however the checks end, so a failure cannot hang the test.
            const auto close = qScopeGuard([dialog] { dialog->reject(); });
            auto* view = dialog->findChild<QAbstractItemView*>("treeView");
            QVERIFY(view);
            QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) >= 2);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        });
        QtDialogs real;
        Dialogs::FileRequest request;
        request.filter = "Executable Files (*)";
        request.directory = folder;
        QCOMPARE(real.chooseProgram(request), QString());
        listed.sort();
        QCOMPARE(listed, QStringList({"notes.txt", "some browser"}));
    }

    void choiceCountsFromTheNextCommand() {
        // The window is not modal: the command that opened it goes on with what it read.
        StubBrowser browser(record_);
        f->runCommand("mnuset");
        f.dialogs.answerFile(stub_);
        f.options()->Command1()->click();
        f->runCommand("mnuusing");
        const auto run = browser.waitForRun();
        QVERIFY(run);
        QCOMPARE(run->argv.constFirst(), stub_);
    }

    // ---- help documents -------------------------------------------------------------

    void helpCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("browserChosen");
        QTest::addColumn<QStringList>("messages");  // "title|icon|text", in order
        QTest::addColumn<QString>("file");
        const QString notice = "Quindo - copyright information|stop|" + kPrimerNotice;
        QTest::newRow("primer, browser chosen")
            << "mnuprimer" << true << QStringList{notice} << "HTMLREF2.HTM";
        QTest::newRow("primer, no browser")
            << "mnuprimer" << false << QStringList{notice, "Quindo|none|" + kPrimerNoBrowser}
            << "HTMLREF2.HTM";
        QTest::newRow("using, browser chosen") << "mnuusing" << true << QStringList{} << "aboutqn.html";
        QTest::newRow("using, no browser")
            << "mnuusing" << false << QStringList{"Quindo|none|" + kUsingNoBrowser} << "aboutqn.html";
    }

    void helpCommands() {
        QFETCH(QString, command);
        QFETCH(bool, browserChosen);
        QFETCH(QStringList, messages);
        QFETCH(QString, file);
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
            for (const auto& call : f.dialogs.calls()) {
                QCOMPARE(call.buttons, Dialogs::Buttons::Ok);
                shown << call.title + "|" + (call.icon == Dialogs::Icon::Stop ? "stop" : "none") +
                             "|" + call.text;
            }
            QCOMPARE(shown, messages);
            QCOMPARE(f.options() != nullptr, !browserChosen);
            if (browserChosen) {
                const auto run = browser.waitForRun();
                QVERIFY(run);
                QCOMPARE(run->argv, QStringList({stub_, folder + "/" + file}));
            } else {
                QVERIFY(browser.nothingStarted());
            }
        }
    }

    void shortBrowserPathIsStillTried_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("7 characters") << "./brwsr" << false;
        QTest::newRow("8 characters") << "./browsr" << true;
    }

    void shortBrowserPathIsStillTried() {
        QFETCH(QString, relativePath);
        QFETCH(bool, chosen);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.dir.path()));
        QVERIFY(StubBrowser::create(f.path(relativePath)));
        SettingsStore::write("browser", "name", relativePath);
        if (!chosen)
            f.dialogs.answer(Dialogs::Ok);
        StubBrowser browser(record_);
        f->runCommand("mnuusing");
        const auto run = browser.waitForRun();
        QDir::setCurrent(previous);
        QVERIFY(run);
        QCOMPARE(run->argv.constFirst(), relativePath);
        QCOMPARE(f.options() != nullptr, !chosen);
        QCOMPARE(f.dialogs.calls().size(), chosen ? 0 : 1);
    }

    // ---- Test Page ------------------------------------------------------------------

    void testPage_data() {
        QTest::addColumn<QString>("caption");  // empty: the caption of the file
        QTest::addColumn<QString>("file");      // in the test folder; empty: no file name
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("browserChosen");
        QTest::addColumn<QString>("saveAs");  // what Save As answers; null: no Save As
        QTest::addColumn<bool>("launches");
        const QString none;
        const QString saved = "saved page.html";
        QTest::newRow("empty page") << "" << "old.html" << QByteArray() << true << none << false;
        QTest::newRow("empty page, no browser") << "" << "old.html" << QByteArray() << false << none << false;
        QTest::newRow("named page") << "" << "page.html" << QByteArray("<P>hello") << true << none << true;
        QTest::newRow("blanks only") << "" << "blank page.html" << QByteArray(" \r\n ") << true << none << true;
        QTest::newRow("odd name") << "" << "-it's; $HOME \"x\".html" << QByteArray("<B>") << true << none << true;
        QTest::newRow("sample page") << Caption::kSample << "sample.html" << QByteArray("<HR>") << true << none << true;
        QTest::newRow("named, no browser") << "" << "page.html" << QByteArray("<P>x") << false << none << false;
        QTest::newRow("after a cancelled Save As")
            << Caption::forPath(f.path("old.html")) << "" << QByteArray("<P>x") << true << none << false;
        QTest::newRow("new untitled") << Caption::kNewUntitled << "" << QByteArray("<P>my page") << true << saved << true;
        QTest::newRow("blank template") << Caption::kBlankTemplate << "" << QByteArray("<P>my page") << true << saved << true;
        QTest::newRow("after Close") << Caption::kNoDocument << "" << QByteArray("<P>my page") << true << saved << true;
        QTest::newRow("unnamed, no browser") << Caption::kNewUntitled << "" << QByteArray("<P>my page") << false << saved << false;
        QTest::newRow("Save As cancelled")
            << Caption::kNoDocument << "old.html" << QByteArray("typed after Close") << true << "" << false;
    }

    void testPage() {
        QFETCH(QString, caption);
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(bool, browserChosen);
        QFETCH(QString, saveAs);
        QFETCH(bool, launches);
        if (browserChosen)
            chooseStub();
        const QString path = file.isEmpty() ? QString() : f.path(file);
        const QString savedPath = saveAs.isEmpty() ? QString() : f.path(saveAs);
        QFile::remove(savedPath);
        f.text().setBytes(text);
        f.fileName() = path;
        f->setCaption(caption.isEmpty() ? Caption::forPath(path) : caption);
        const bool empty = text.isEmpty();
        if (empty)
            f.dialogs.answer(Dialogs::Ok);
        if (!saveAs.isNull())
            f.dialogs.answerFile(savedPath);
        StubBrowser browser(record_);
        f->runCommand("mnuTest");

        if (empty) {
            QCOMPARE(f.dialogs.calls().size(), 1);
            QCOMPARE(f.dialogs.calls()[0].text, QString("Create and Save a page first!"));
            QCOMPARE(f.dialogs.calls()[0].title, QString("Quindo"));
            QCOMPARE(f.dialogs.calls()[0].icon, Dialogs::Icon::None);
            QCOMPARE(f.dialogs.calls()[0].buttons, Dialogs::Buttons::Ok);
        } else if (!saveAs.isNull()) {
            // An unnamed page is saved first, with at most one Save As.
            QCOMPARE(f.dialogs.calls().size(), 1);
            QCOMPARE(f.dialogs.calls()[0].kind, ScriptedDialogs::Kind::SaveFile);
            QCOMPARE(f.fileName(), savedPath);
            if (!saveAs.isEmpty())
                QVERIFY(readFile(savedPath).startsWith(text));
        } else {
            // A page with a file is shown as last saved: no dialog, no save.
            QVERIFY(f.dialogs.calls().isEmpty());
            QVERIFY(path.isEmpty() || !QFile::exists(path));
        }
        QCOMPARE(f.options() != nullptr, !browserChosen && !empty);
        if (launches) {
            const auto run = browser.waitForRun();
            QVERIFY(run);
            QCOMPARE(run->argv, QStringList({stub_, saveAs.isNull() ? path : savedPath}));
        } else {
            QVERIFY(browser.nothingStarted());
        }
    }

    // ---- sample page ----------------------------------------------------------------

    void sample_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::newRow("unchanged: no prompt") << false << 0;
        QTest::newRow("changed, No") << true << int(Dialogs::No);
        QTest::newRow("changed, Cancel") << true << int(Dialogs::Cancel);
    }

    void sample() {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        f.start(false, true);
        f.setText("my unsaved work", 0, 0, changed ? 1 : 0);
        f->setCaption(Caption::kNewUntitled);
        f.dialogFileName() = "/tmp/earlier.html";
        if (changed)
            f.dialogs.answer(answer);
        f->runCommand("mnusample");
        QCOMPARE(f.dialogs.calls().size(), changed ? 1 : 0);
        if (changed) {
            QCOMPARE(f.dialogs.calls()[0].text, QString("Save current document?"));
            QCOMPARE(f.dialogs.calls()[0].buttons, Dialogs::Buttons::YesNoCancel);
            QCOMPARE(f.saveAnswer(), qint16(answer));
        }
        if (answer == Dialogs::Cancel) {
            QCOMPARE(f->caption(), Caption::kNewUntitled);
            QCOMPARE(f.bytes(), QByteArray("my unsaved work"));
            return;
        }
        QCOMPARE(f->caption(), QString("Quindo- Tamblor9 Sample document."));
        QCOMPARE(f.fileName(), QString(QUINDO_BUILD_DIR "/sample.html"));
        QCOMPARE(f.bytes(), readFile(QUINDO_BUILD_DIR "/sample.html"));
        QCOMPARE(f.docChanged(), qint16(1));
        QVERIFY(f.dialogFileName().isEmpty());
        QVERIFY(f.text().hasFocus());
    }
};

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
