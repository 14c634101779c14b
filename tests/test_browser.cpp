// SPDX-License-Identifier: GPL-3.0-or-later
// The browser preference and launch, Test Page, the help commands and the Options window,
// driven through the real main window offscreen, with a real stand-in browser process.
#include "ScriptedDialogs.h"
#include "StubBrowser.h"
#include "TestEnvironment.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "browser/BrowserPreference.h"
#include "browser/frmOptions.h"
#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

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

// Awkward names for folders and files: blanks, quotes, '$', ';', a leading '-'.
const QString kOddFolder = QStringLiteral("my browsers; $HOME 'single' \"double\"");
const QString kOddProgram = QStringLiteral("-web browser $1");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    ScriptedDialogs dialogs_;
    QTemporaryDir tmp_;
    QString stub_;  // a stand-in browser in a folder with an awkward name
    QString record_;

    std::unique_ptr<frmMain> makeWindow() { return std::make_unique<frmMain>(dialogs_, QString()); }

    static frmOptions* optionsWindow(frmMain& w) {
        return qobject_cast<frmOptions*>(w.secondaryWindow(QStringLiteral("frmOptions")));
    }

    void chooseStub() { SettingsStore::write("browser", "name", stub_); }

    // The document commands of the main window are built separately; the checks that
    // need a real load, Save As or save prompt run once those are in.
    bool documentCommandsWork() {
        ScriptedDialogs probe;
        frmMain w(probe, {});
        const QString file = tmp_.filePath("probe.html");
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("probe");
        f.close();
        w.OpenFile(file);
        const bool loads = w.Text1().bytes() == QByteArrayView("probe");
        w.setCaption(Caption::kNewUntitled);
        probe.answerFile(QString());
        w.mnuFileSaveAs_Click();
        w.DocChanged = 1;
        probe.answer(Dialogs::Cancel);
        const bool prompts = !w.askSaveCurrentDocument();
        return loads && prompts && probe.pending() == 0;
    }

  private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        stub_ = tmp_.filePath(kOddFolder + "/" + kOddProgram);
        QVERIFY(StubBrowser::create(stub_));
        record_ = tmp_.filePath("record");
    }

    void init() {
        env_.resetSettings();
        dialogs_.clear();
        ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
    }

    void cleanup() {
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
        QCOMPARE(dialogs_.pending(), 0);
    }

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

    void emptyBrowserPathStartsNothing() {
        // With no program, the target must not become the program: it is an executable
        // script here, and it must not run.
        StubBrowser browser(record_);
        LaunchInBrowser(QString(), stub_);
        LaunchInBrowser(QString(), QString());
        QVERIFY(browser.nothingStarted());
    }

    void failedStartIsSilent() {
        StubBrowser browser(record_);
        LaunchInBrowser(tmp_.filePath("no such browser"), "/tmp/page.html");
        LaunchInBrowser(tmp_.filePath("record"), "/tmp/page.html");  // not a program
        QVERIFY(browser.nothingStarted(200));
        QVERIFY(dialogs_.calls().isEmpty());
    }

    // ---- Options window -------------------------------------------------------------

    void bothOptionsItemsOpenTheOneWindow() {
        auto w = makeWindow();
        QVERIFY(!optionsWindow(*w));
        w->runCommand("mnuset");
        frmOptions* first = optionsWindow(*w);
        QVERIFY(first);
        w->runCommand("mnukeys");
        QCOMPARE(optionsWindow(*w), first);
        ShowOptionsWindow(*w);
        QCOMPARE(optionsWindow(*w), first);
        QCOMPARE(w->findChildren<frmOptions*>().size(), 1);
        first->Command3()->click();
        QVERIFY(!optionsWindow(*w));
        w->runCommand("mnukeys");
        QVERIFY(optionsWindow(*w));
        QVERIFY(optionsWindow(*w) != nullptr);
    }

    void optionsWindowFrame() {
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        frmOptions* o = optionsWindow(*w);
        QVERIFY(o);
        QCOMPARE(o->windowTitle(), QString("Quindo Options"));
        QCOMPARE(o->size(), Twips::toPixels(QSize(4200, 3180)));
        QCOMPARE(o->minimumSize(), o->maximumSize());
        const Qt::WindowFlags flags = o->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!o->isModal());
        QVERIFY(o->isVisible());
    }

    void optionsWindowControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Image1") << "Image1" << QString() << QRect(45, 45, 540, 540);
        QTest::newRow("Command1") << "Command1"
                                  << "Select" << QRect(675, 90, 960, 375);
        QTest::newRow("Label1")
            << "Label1"
            << "Select the Internet Browser to use with Quindo. You must select a browser in "
               "order to preview your web pages and to use the online help documents.  Most "
               "people use Netscape Navigator or Internet Explorer."
            << QRect(1710, 45, 2355, 1545);
        QTest::newRow("Command2") << "Command2"
                                  << "Install" << QRect(675, 1710, 960, 375);
        QTest::newRow("Label2")
            << "Label2"
            << "Set Registry Keys to add right click editing to your Web Documents."
            << QRect(1710, 1665, 2355, 735);
        QTest::newRow("Command3") << "Command3"
                                  << "Close" << QRect(1530, 2655, 960, 375);
    }

    void optionsWindowControls() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        QWidget* control = optionsWindow(*w)->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(),
                 Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), text);
        } else if (auto* label = qobject_cast<QLabel*>(control); label && !text.isEmpty()) {
            QCOMPARE(label->text(), text);
            QVERIFY(label->wordWrap());
        } else {
            QVERIFY(!qobject_cast<QLabel*>(control)->pixmap().isNull());
        }
    }

    void optionsWindowLine() {
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        auto* line = optionsWindow(*w)->findChild<QFrame*>("Line1");
        QVERIFY(line);
        QCOMPARE(line->frameShape(), QFrame::HLine);
        QCOMPARE(line->x(), Twips::toPixels(180));
        QCOMPARE(line->width(), Twips::toPixels(3960 - 180));
        QVERIFY(line->geometry().contains(line->x() + 5, Twips::toPixels(2520)));
    }

    void optionsWindowFocusOrder() {
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        frmOptions* o = optionsWindow(*w);
        o->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o));
        QCOMPARE(QApplication::focusWidget(), o->Command1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), o->Command2());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), o->Command3());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), o->Command1());
    }

    void selectStoresTheChoiceAsChosen_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("startFolder");
        QTest::newRow("first choice") << QString() << "/usr/bin/firefox-esr"
                                      << "/usr/bin";
        QTest::newRow("replaces an earlier one") << "/opt/old browser/run"
                                                 << "/opt/new browser/run it"
                                                 << "/opt/old browser";
        QTest::newRow("not a program") << QString() << "/etc/hostname"
                                       << "/usr/bin";
    }

    void selectStoresTheChoiceAsChosen() {
        QFETCH(QString, earlier);
        QFETCH(QString, chosen);
        QFETCH(QString, startFolder);
        if (!earlier.isEmpty())
            SettingsStore::write("browser", "name", earlier);
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        dialogs_.answerFile(chosen);
        optionsWindow(*w)->Command1()->click();
        QCOMPARE(dialogs_.calls().size(), 1);
        const auto& call = dialogs_.calls().constFirst();
        QCOMPARE(call.kind, ScriptedDialogs::Kind::ChooseProgram);
        QCOMPARE(call.request.filter, QString("Executable Files (*)"));
        QCOMPARE(call.request.fileName, QString());
        QCOMPARE(call.request.directory, startFolder);
        QCOMPARE(ReadBrowserPath(), chosen);
        QVERIFY(!optionsWindow(*w));
    }

    void realChooserListsTheFolder() {
        // The desktop's own file dialog, opened on a folder with a program and a plain file.
        const QString folder = tmp_.filePath("chooser");
        QVERIFY(StubBrowser::create(folder + "/some browser"));
        QFile plain(folder + "/notes.txt");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
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

    void selectCancelledKeepsEverything() {
        SettingsStore::write("browser", "name", "/usr/bin/chromium");
        auto w = makeWindow();
        ShowOptionsWindow(*w);
        frmOptions* o = optionsWindow(*w);
        dialogs_.answerFile(QString());
        o->Command1()->click();
        QCOMPARE(ReadBrowserPath(), QString("/usr/bin/chromium"));
        QCOMPARE(optionsWindow(*w), o);
    }

    void choiceCountsFromTheNextCommand() {
        // The window is not modal: the command that opened it goes on with what it read.
        auto w = makeWindow();
        StubBrowser browser(record_);
        w->runCommand("mnuset");
        dialogs_.answerFile(stub_);
        optionsWindow(*w)->Command1()->click();
        w->runCommand("mnuusing");
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
        QTest::newRow("using, browser chosen")
            << "mnuusing" << true << QStringList{} << "aboutqn.html";
        QTest::newRow("using, no browser")
            << "mnuusing" << false << QStringList{"Quindo|none|" + kUsingNoBrowser}
            << "aboutqn.html";
    }

    void helpCommands() {
        QFETCH(QString, command);
        QFETCH(bool, browserChosen);
        QFETCH(QStringList, messages);
        QFETCH(QString, file);
        // A program folder with blanks and quotes reaches the browser as it is.
        const QString folder = tmp_.filePath("program folder 'q' $x");
        QDir().mkpath(folder);
        ProgramInfo::setProgramFolder(folder);
        if (browserChosen)
            chooseStub();
        auto w = makeWindow();
        for (int i = 0; i < messages.size(); ++i)
            dialogs_.answer(Dialogs::Ok);
        StubBrowser browser(record_);
        w->runCommand(command);

        QStringList shown;
        for (const auto& call : dialogs_.calls()) {
            QCOMPARE(call.kind, ScriptedDialogs::Kind::Message);
            QCOMPARE(call.buttons, Dialogs::Buttons::Ok);
            shown << call.title + "|" + (call.icon == Dialogs::Icon::Stop ? "stop" : "none") + "|" +
                         call.text;
        }
        QCOMPARE(shown, messages);
        QCOMPARE(optionsWindow(*w) != nullptr, !browserChosen);
        if (browserChosen) {
            const auto run = browser.waitForRun();
            QVERIFY(run);
            QCOMPARE(run->argv, QStringList({stub_, folder + "/" + file}));
        } else {
            QVERIFY(browser.nothingStarted());
        }
    }

    void helpNoticeComesEveryTime() {
        chooseStub();
        auto w = makeWindow();
        for (int i = 0; i < 3; ++i) {
            dialogs_.answer(Dialogs::Ok);
            StubBrowser browser(record_);
            w->runCommand("mnuprimer");
            QVERIFY(browser.waitForRun());
        }
        QCOMPARE(dialogs_.calls().size(), 3);
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
        QCOMPARE(relativePath.size(), chosen ? 8 : 7);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp_.path()));
        QVERIFY(StubBrowser::create(tmp_.filePath(relativePath)));
        SettingsStore::write("browser", "name", relativePath);
        auto w = makeWindow();
        if (!chosen)
            dialogs_.answer(Dialogs::Ok);
        StubBrowser browser(record_);
        w->runCommand("mnuusing");
        const auto run = browser.waitForRun();
        QDir::setCurrent(previous);
        QVERIFY(run);
        QCOMPARE(run->argv.constFirst(), relativePath);
        QCOMPARE(optionsWindow(*w) != nullptr, !chosen);
        QCOMPARE(dialogs_.calls().size(), chosen ? 0 : 1);
    }

    // ---- Test Page ------------------------------------------------------------------

    void testPageOnAnEmptyPage_data() {
        QTest::addColumn<bool>("browserChosen");
        QTest::newRow("browser chosen") << true;
        QTest::newRow("no browser") << false;
    }

    void testPageOnAnEmptyPage() {
        QFETCH(bool, browserChosen);
        if (browserChosen)
            chooseStub();
        auto w = makeWindow();
        w->CurrentFileName = tmp_.filePath("old.html");
        w->setCaption(Caption::forPath(w->CurrentFileName));
        dialogs_.answer(Dialogs::Ok);
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(dialogs_.calls()[0].text, QString("Create and Save a page first!"));
        QCOMPARE(dialogs_.calls()[0].title, QString("Quindo"));
        QCOMPARE(dialogs_.calls()[0].icon, Dialogs::Icon::None);
        QCOMPARE(dialogs_.calls()[0].buttons, Dialogs::Buttons::Ok);
        QVERIFY(!optionsWindow(*w));
        QVERIFY(browser.nothingStarted());
    }

    void testPageLaunchesTheNamedFile_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("named page") << QString() << "page.html" << QByteArray("<P>hello");
        QTest::newRow("blanks only") << QString() << "blank page.html" << QByteArray(" \r\n ");
        QTest::newRow("odd name") << QString() << "-it's; $HOME \"x\".html" << QByteArray("<B>");
        QTest::newRow("sample page") << Caption::kSample << "sample.html" << QByteArray("<HR>");
    }

    void testPageLaunchesTheNamedFile() {
        QFETCH(QString, caption);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, text);
        chooseStub();
        auto w = makeWindow();
        const QString path = tmp_.filePath(fileName);
        w->Text1().setBytes(text);
        w->CurrentFileName = path;
        w->setCaption(caption.isEmpty() ? Caption::forPath(path) : caption);
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        const auto run = browser.waitForRun();
        QVERIFY(run);
        QCOMPARE(run->argv, QStringList({stub_, path}));
        // A page with a file is shown as last saved: no dialog, no save.
        QVERIFY(dialogs_.calls().isEmpty());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!optionsWindow(*w));
    }

    void testPageWithoutBrowserOpensOptions() {
        auto w = makeWindow();
        const QString path = tmp_.filePath("page.html");
        w->Text1().setBytes("<P>x");
        w->CurrentFileName = path;
        w->setCaption(Caption::forPath(path));
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        QVERIFY(optionsWindow(*w));
        QVERIFY(dialogs_.calls().isEmpty());
        QVERIFY(browser.nothingStarted());
    }

    void testPageAfterACancelledSaveAsLaunchesNothing() {
        // The caption still names the old file while the file name was emptied.
        chooseStub();
        auto w = makeWindow();
        w->Text1().setBytes("<P>x");
        w->setCaption(Caption::forPath(tmp_.filePath("old.html")));
        w->CurrentFileName.clear();
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        QVERIFY(dialogs_.calls().isEmpty());
        QVERIFY(browser.nothingStarted());
    }

    void testPageSavesAnUnnamedPageFirst_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("browserChosen");
        QTest::newRow("new untitled") << Caption::kNewUntitled << true;
        QTest::newRow("blank template") << Caption::kBlankTemplate << true;
        QTest::newRow("after Close") << Caption::kNoDocument << true;
        QTest::newRow("no browser") << Caption::kNewUntitled << false;
    }

    void testPageSavesAnUnnamedPageFirst() {
        if (!documentCommandsWork())
            QSKIP("needs the document commands");
        QFETCH(QString, caption);
        QFETCH(bool, browserChosen);
        if (browserChosen)
            chooseStub();
        auto w = makeWindow();
        w->Text1().setBytes("<P>my page");
        w->setCaption(caption);
        const QString path = tmp_.filePath("saved page.html");
        QFile::remove(path);
        dialogs_.answerFile(path);
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        QCOMPARE(dialogs_.calls().size(), 1);  // at most one Save As
        QCOMPARE(dialogs_.calls()[0].kind, ScriptedDialogs::Kind::SaveFile);
        QVERIFY(readAll(path).startsWith("<P>my page"));
        QCOMPARE(w->CurrentFileName, path);
        QCOMPARE(optionsWindow(*w) != nullptr, !browserChosen);
        if (browserChosen) {
            const auto run = browser.waitForRun();
            QVERIFY(run);
            QCOMPARE(run->argv, QStringList({stub_, path}));
        } else {
            QVERIFY(browser.nothingStarted());
        }
    }

    void testPageSaveAsCancelledLaunchesNothing() {
        if (!documentCommandsWork())
            QSKIP("needs the document commands");
        chooseStub();
        auto w = makeWindow();
        w->Text1().setBytes("typed after Close");
        w->setCaption(Caption::kNoDocument);
        w->CurrentFileName = tmp_.filePath("old.html");
        dialogs_.answerFile(QString());
        StubBrowser browser(record_);
        w->runCommand("mnuTest");
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(w->CurrentFileName.isEmpty());
        QVERIFY(browser.nothingStarted());
    }

    // ---- sample page ----------------------------------------------------------------

    void sampleBecomesTheDocument() {
        auto w = makeWindow();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->dialogFileName = "/tmp/earlier.html";
        w->DocChanged = 0;
        w->runCommand("mnusample");
        QVERIFY(dialogs_.calls().isEmpty());  // nothing changed: no prompt
        QCOMPARE(w->caption(), QString("Quindo- Tamblor9 Sample document."));
        QCOMPARE(w->CurrentFileName, QString(QUINDO_BUILD_DIR "/sample.html"));
        QCOMPARE(w->DocChanged, qint16(1));
        QVERIFY(w->dialogFileName.isEmpty());
        QVERIFY(w->Text1().hasFocus());
    }

    void sampleLoadsTheSampleFile() {
        if (!documentCommandsWork())
            QSKIP("needs the document commands");
        auto w = makeWindow();
        w->Text1().setBytes("old text");
        w->DocChanged = 0;
        w->runCommand("mnusample");
        QCOMPARE(QByteArray(w->Text1().bytes().data(), w->Text1().byteLength()),
                 readAll(QUINDO_BUILD_DIR "/sample.html"));
        QCOMPARE(w->DocChanged, qint16(1));
    }

    void sampleAsksBeforeDiscardingChanges_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no") << int(Dialogs::No) << true;
        QTest::newRow("cancel") << int(Dialogs::Cancel) << false;
    }

    void sampleAsksBeforeDiscardingChanges() {
        if (!documentCommandsWork())
            QSKIP("needs the document commands");
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        auto w = makeWindow();
        w->Text1().setBytes("my unsaved work");
        w->DocChanged = 1;
        w->setCaption(Caption::kNewUntitled);
        dialogs_.answer(answer);
        w->runCommand("mnusample");
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(dialogs_.calls()[0].text, QString("Save current document?"));
        QCOMPARE(dialogs_.calls()[0].buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(w->SaveAnswer, qint16(answer));
        if (replaced) {
            QCOMPARE(w->caption(), Caption::kSample);
            QCOMPARE(QByteArray(w->Text1().bytes().data(), w->Text1().byteLength()),
                     readAll(QUINDO_BUILD_DIR "/sample.html"));
        } else {
            QCOMPARE(w->caption(), Caption::kNewUntitled);
            QVERIFY(w->Text1().bytes() == QByteArrayView("my unsaved work"));
        }
    }
};

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
