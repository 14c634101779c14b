// SPDX-License-Identifier: GPL-3.0-or-later
// Paths that used to lose typed text or damage a file, tried through the real window and
// real files: Cut All, selections, files that cannot be read, nodes that are no files,
// copy-only drops, where the document dialogs start, a failed save before Test Page, and
// the real open dialog.
#include "MainWindowFixture.h"
#include "StubBrowser.h"
#include "browser/BrowserPreference.h"
#include "document/DocumentState.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

class NothingLostTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

  private slots:
    void init() {
        f.reset();
        f.start(false, true);
    }
    void cleanup() { f.finish(); }

    // Cut All is one edit that Undo takes back, and keeps the display mode and line ends,
    // so 8-bit bytes pasted back are the same bytes.
    void cutAll_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("8-bit") << QByteArray("caf\xE9\nna\xEFve");
        QTest::newRow("UTF-8, CR LF") << QByteArray("caf\xC3\xA9\r\nx");
    }
    void cutAll() {
        QFETCH(QByteArray, bytes);
        f.text().setBytes(bytes);
        const bool utf8 = f.text().isUtf8();
        const long eolMode = f.text().SendScintilla(QsciScintillaBase::SCI_GETEOLMODE);
        f->runCommand("mnucutall");
        QCOMPARE(f.bytes(), QByteArray());
        QCOMPARE(f.text().isUtf8(), utf8);
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_GETEOLMODE), eolMode);
        f.text().undo();
        QCOMPARE(f.bytes(), bytes);
        f->runCommand("mnucutall");
        f->runCommand("mnuEditPaste");
        QCOMPARE(f.bytes(), bytes);
        QVERIFY(f.saveFileAs(f.path("pasted.html")));
        QCOMPARE(readFile(f.path("pasted.html")), bytes + "\r\n");
    }

    // The program knows one selection: a rectangular or multiple one becomes the plain
    // run from its anchor to its caret, and Cut takes exactly what it puts on the
    // clipboard.
    void oneSelection_data() {
        QTest::addColumn<int>("modifier");
        QTest::newRow("Alt drag") << int(Qt::AltModifier);
        QTest::newRow("Super drag") << int(Qt::MetaModifier);
        QTest::newRow("Alt+Shift+Down") << -1;
    }
    void oneSelection() {
        QFETCH(int, modifier);
        f.text().setBytes("abcd\r\nefgh\r\nijkl");
        QWidget* view = f.text().viewport();
        const auto at = [&](long position) {
            const auto x =
                f.text().SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position);
            const auto y =
                f.text().SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position);
            return QPoint(static_cast<int>(x), static_cast<int>(y) + 4);
        };
        if (modifier < 0) {
            f.text().SendScintilla(QsciScintillaBase::SCI_SETSEL, 1UL, 1L);
            QTest::keyClick(&f.text(), Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
        } else {
            const auto mods = Qt::KeyboardModifiers(modifier);
            QTest::mousePress(view, Qt::LeftButton, mods, at(1));
            QTest::mouseMove(view, at(8));
            QTest::mouseMove(view, at(15));
            QTest::mouseRelease(view, Qt::LeftButton, mods, at(15));
        }
        QTest::qWait(50);
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_SELECTIONISRECTANGLE), 0L);
        QCOMPARE(f.text().SendScintilla(QsciScintillaBase::SCI_GETSELECTIONS), 1L);
        // Cut takes exactly what it puts on the clipboard.
        f.text().SendScintilla(QsciScintillaBase::SCI_SETSEL, 1UL, 8L);
        const QByteArray before = f.bytes();
        f->runCommand("mnuEditCut");
        const QByteArray cut = QGuiApplication::clipboard()->text().toUtf8();
        QCOMPARE(cut, QByteArray("bcd\r\nef"));
        QCOMPARE(f.bytes(), before.left(1) + before.mid(1 + cut.size()));
    }

    // Open, the command line and a drop of a path that cannot be read: reported like a
    // file that cannot be opened, the text, caption and name stay as they were, and a
    // following Save writes nothing over the path. A name that does not exist yet is
    // taken (the first Save creates it). Nothing blocks on a pipe.
    void unreadablePaths_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("road");
        for (const char* road : {"open", "command line", "drop"}) {
            for (const char* kind : {"directory", "fifo", "device", "link loop", "missing"}) {
                QTest::addRow("%s, %s", road, kind) << kind << road;
            }
        }
        QTest::newRow("open, /proc/self/mem") << "mem"
                                              << "open";
    }
    void unreadablePaths() {
        QFETCH(QString, kind);
        QFETCH(QString, road);
        QString target = f.path(QString(QTest::currentDataTag()).replace('/', '-') + ".html");
        if (kind == "device") {
            target = "/dev/zero";
        } else if (kind == "mem") {
            target = "/proc/self/mem";
        } else if (kind != "missing") {
            makeNode(kind, target);
        }
        writeFile(f.path("before.html"), "the text so far");
        f.load(f.path("before.html"));
        const QString caption = f->caption();

        if (road == "open") {
            f.dialogs.answerFile(target);
            f.dialogs.answer(Dialogs::Ok);
            f->runCommand("mnuFileOpen");
        } else if (road == "command line") {
            f.dialogs.answer(Dialogs::Ok);
            f.start(true, false, target);
        } else {
            f.dialogs.answer(Dialogs::No);  // the drop's own question first
            f.dialogs.answer(Dialogs::Ok);
            QVERIFY(f.drop(MainWindowFixture::files({target})));
        }
        const auto& calls = f.dialogs.calls();
        QVERIFY(!calls.isEmpty());
        QCOMPARE(calls.last().text, "Can't open file: " + target);
        if (kind == "missing") {
            QCOMPARE(f.fileName(), target);
            QCOMPARE(f->caption(), "Quindo- " + target);
            return;
        }
        if (road == "command line") {
            QCOMPARE(f.fileName(), QString());
            QCOMPARE(f->caption(), QString("Quindo HTML Editor"));
            return;
        }
        QCOMPARE(f.bytes(), QByteArray("the text so far"));
        QCOMPARE(f.fileName(), f.path("before.html"));
        QCOMPARE(f->caption(), caption);
    }

    // Drops are only copies: a drag that offers nothing but a move is refused, nothing is
    // loaded, and the dragged file stays.
    void moveOnlyDropRefused() {
        writeFile(f.path("dragged.html"), "<P>mine</P>");
        QVERIFY(!f.drop(MainWindowFixture::files({f.path("dragged.html")}), Qt::MoveAction));
        QCOMPARE(f.bytes(), QByteArray());
        QCOMPARE(f.fileName(), QString());
        QVERIFY(QFile::exists(f.path("dragged.html")));
    }

    // The program chooser hands nothing to the document dialogs: a first Save As starts
    // in the home folder, or in the document's folder, with no name from the chooser.
    void documentDialogsStartAtHome() {
        f.dialogs.answerFile("/usr/bin/firefox-esr");
        QVERIFY(ChooseBrowser(f.dialogs));
        f.text().setBytes("x");
        f.dialogs.answerFile(QString());
        f->runCommand("mnuFileSaveAs");
        const auto request = f.dialogs.calls().last().request;
        QCOMPARE(request.fileName, QString());
        QCOMPARE(request.directory, QDir::homePath());
        writeFile(f.path("page.html"), "<P>x</P>");
        f.load(f.path("page.html"));
        f.dialogs.answerFile(QString());
        f->runCommand("mnuFileOpen");
        QCOMPARE(f.dialogs.calls().last().request.directory,
                 QFileInfo(f.path("page.html")).absolutePath());
    }

    // Test Page stops after a save that failed: no browser is started on a file that does
    // not exist.
    void testPageStopsAfterFailedSave() {
        const QString browser = f.path("browser/stub-browser");
        QVERIFY(StubBrowser::create(browser));
        StubBrowser stub(f.path("record"));
        f.dialogs.answerFile(browser);
        QVERIFY(ChooseBrowser(f.dialogs));
        f->setCaption("Quindo- New Untitled Document.");
        f.text().setBytes("<P>x</P>");
        f.dialogs.answerFile(f.path("no folder/page.html"));
        f.dialogs.answer(Dialogs::Ok);
        f->runCommand("mnuTest");
        QVERIFY(!stub.waitForRun(500));
        QCOMPARE(f->caption(), QString("Quindo- New Untitled Document."));
        QVERIFY(f.dialogs.calls().last().text.startsWith("Can't save "));
    }

    // The real open dialog takes a name that does not exist yet, with the default suffix.
    void openDialogTakesNewName() {
        QtDialogs real(&f.window());
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("new-page");
            QTest::keyClick(dialog->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
        });
        const QString chosen =
            real.openFile({"HTML or Text Files (*.HTM* *.txt)", {}, "html", f.path(".")});
        QCOMPARE(chosen, f.path("new-page.html"));
    }
};

QTEST_MAIN(NothingLostTest)
#include "test_nothinglost.moc"
