// SPDX-License-Identifier: GPL-3.0-or-later
// The File and Edit commands through the real window: every save prompt and its answers,
// the new-document window, Close, Exit and the close request, drops onto the editing area,
// the clipboard and the picture buttons.
#include "MainWindowFixture.h"
#include "app/ProgramInfo.h"
#include "document/DocumentState.h"
#include "document/frmNew.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>

namespace {

// How a Yes answer's save turns out.
enum class SaveOutcome { Saved, DialogCancelled, WriteFailed };

struct Prompt {
    QString text;
    Dialogs::Buttons buttons;
    QString title;
};

const QString kSaveCurrent = QStringLiteral("Save current document?");
const QHash<QString, Prompt> kPrompts{
    {"mnuFileNew", {kSaveCurrent, Dialogs::Buttons::YesNoCancel, "quindo"}},
    {"mnuFileOpen", {kSaveCurrent, Dialogs::Buttons::YesNoCancel, "quindo"}},
    {"mnuFileClose", {kSaveCurrent, Dialogs::Buttons::YesNoCancel, "quindo"}},
    {"mnuFileExit", {kSaveCurrent, Dialogs::Buttons::YesNoCancel, "Quindo"}},
    {"close request", {kSaveCurrent, Dialogs::Buttons::YesNo, "Quindo"}},
    {"drop",
     {"Save current document before loading the dropped document?",
      Dialogs::Buttons::YesNoCancel, "Drag and Drop Load"}},
};

const QString kUnsupported =
    "The drag and drop command could not be completed because the data is in an invalid "
    "format or is not supported.";

}  // namespace

Q_DECLARE_METATYPE(SaveOutcome)

class DocumentCommandsTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

    QString path(const QString& name) const { return f.path(name); }
    const QList<ScriptedDialogs::Call>& calls() const { return f.dialogs.calls(); }

  private slots:
    void init() {
        f.reset();
        for (const QString& name : QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QVERIFY(QFileInfo(path(name)).isDir() ? QDir(path(name)).removeRecursively()
                                                  : QFile::remove(path(name)));
        f.start(false, true);
    }
    void cleanup() { f.finish(); }

    // Every row of the save-prompt table: when it asks, what it asks, and what each answer
    // does, including a Yes whose save did not happen.
    void savePrompt_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("condition");
        QTest::addColumn<int>("answer");
        QTest::addColumn<SaveOutcome>("outcome");
        QTest::addColumn<bool>("goesOn");
        for (const QString c : {"mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileExit",
                                 "close request", "drop"}) {
            const QByteArray n = c.toLatin1();
            QTest::addRow("%s: not asked", n.data()) << c << false << 0 << SaveOutcome::Saved << true;
            QTest::addRow("%s: Yes, saved", n.data())
                << c << true << int(Dialogs::Yes) << SaveOutcome::Saved << true;
            QTest::addRow("%s: Yes, dialog cancelled", n.data())
                << c << true << int(Dialogs::Yes) << SaveOutcome::DialogCancelled << false;
            QTest::addRow("%s: Yes, write failed", n.data())
                << c << true << int(Dialogs::Yes) << SaveOutcome::WriteFailed << false;
            QTest::addRow("%s: No", n.data())
                << c << true << int(Dialogs::No) << SaveOutcome::Saved << true;
            if (c != "close request")
                QTest::addRow("%s: Cancel", n.data())
                    << c << true << int(Dialogs::Cancel) << SaveOutcome::Saved << false;
        }
    }

    void savePrompt() {
        QFETCH(QString, command);
        QFETCH(bool, condition);
        QFETCH(int, answer);
        QFETCH(SaveOutcome, outcome);
        QFETCH(bool, goesOn);
        const bool isDrop = command == "drop";
        const QString docPath = path("doc.html");
        const QString savedAs = path("saved as.html");
        const QString other = path("other.html");
        writeFile(docPath, "old");
        writeFile(other, "other file");

        // The document: named, or unnamed for a Save that turns into Save As.
        if (outcome == SaveOutcome::DialogCancelled) {
            f.text().setBytes("old");
        } else if (outcome == SaveOutcome::WriteFailed) {
            QVERIFY(QDir().mkpath(path("a folder")));
            f.fileName() = path("a folder");
            f->setCaption(Caption::forPath(f.fileName()));
            f.text().setBytes("old");
        } else {
            f.load(docPath);
        }
        f.text().setSelStart(3);
        f.text().setSelText(" typed");
        const QByteArray typed = f.bytes();
        QCOMPARE(f.docChanged(), qint16(1));
        if (!condition) {
            // The condition is false but everything else would ask.
            if (command == "mnuFileClose" || isDrop)
                f.setText({}, 0, 0, 1);
            else
                f.docChanged() = 0;
        }
        const QByteArray before = f.bytes();
        const QString captionBefore = f->caption();
        f.saveAnswer() = 0;

        // The script: the prompt, then what its save asks, then what the command asks.
        const bool saveAsDialog = isDrop || outcome == SaveOutcome::DialogCancelled;
        if (condition) {
            f.dialogs.answer(answer);
            if (answer == Dialogs::Yes && saveAsDialog)
                f.dialogs.answerFile(outcome == SaveOutcome::DialogCancelled ? QString()
                                     : outcome == SaveOutcome::WriteFailed  ? path("a folder")
                                                                            : savedAs);
            if (answer == Dialogs::Yes && outcome == SaveOutcome::WriteFailed)
                f.dialogs.answer(Dialogs::Ok);
        }
        if (goesOn && command == "mnuFileOpen")
            f.dialogs.answerFile(other);

        bool closed = false;
        if (isDrop)
            QVERIFY(f.drop(f.files({other})));
        else if (command == "close request")
            closed = f->close();
        else
            QVERIFY(f->runCommand(command));

        // What was asked.
        if (condition) {
            QVERIFY(!calls().isEmpty());
            const Prompt& p = kPrompts[command];
            QCOMPARE(calls()[0].kind, ScriptedDialogs::Kind::Message);
            QCOMPARE(calls()[0].text, p.text);
            QCOMPARE(calls()[0].buttons, p.buttons);
            QCOMPARE(calls()[0].icon, Dialogs::Icon::None);
            QCOMPARE(calls()[0].title, p.title);
            if (answer == Dialogs::Yes && saveAsDialog)
                QCOMPARE(calls()[1].kind, ScriptedDialogs::Kind::SaveFile);
        } else if (command != "mnuFileOpen") {
            QCOMPARE(calls().size(), 0);
        }
        QCOMPARE(f.dialogs.pending(), 0);

        // What the answer saved.
        const bool saved = condition && answer == Dialogs::Yes && outcome == SaveOutcome::Saved;
        QCOMPARE(readFile(docPath), saved && !isDrop ? typed + "\r\n" : QByteArray("old"));
        QCOMPARE(readFile(savedAs), saved && isDrop ? typed + "\r\n" : QByteArray("<unreadable>"));

        // The drop keeps its answer apart; the others keep it in SaveAnswer.
        qint16 answerKept = condition && !isDrop ? qint16(answer) : qint16(0);
        if (command == "mnuFileExit" && goesOn)
            answerKept = 1000;
        QCOMPARE(f.saveAnswer(), answerKept);

        if (!goesOn) {
            // The command stopped: the document is as it was.
            QCOMPARE(f.bytes(), before);
            QCOMPARE(f.docChanged(), qint16(1));
            QVERIFY(f->isVisible());
            QCOMPARE(f.ended, 0);
            QVERIFY(!f.newWindow());
            if (outcome != SaveOutcome::DialogCancelled)
                QCOMPARE(f->caption(), outcome == SaveOutcome::WriteFailed
                                           ? "Quindo- " + path("a folder")
                                           : captionBefore);
        } else if (command == "mnuFileNew") {
            QVERIFY(f.newWindow() && f.newWindow()->isVisible());
            QCOMPARE(f.docChanged(), qint16(0));
        } else if (command == "mnuFileOpen" || isDrop) {
            QCOMPARE(f.bytes(), QByteArray("other file"));
            QCOMPARE(f.fileName(), other);
            QCOMPARE(f->caption(), "Quindo- " + other);
            QCOMPARE(f.docChanged(), qint16(0));
        } else if (command == "mnuFileClose") {
            QVERIFY(f.text().isEmpty());
            QCOMPARE(f->caption(), QString("Quindo HTML Editor"));
            QCOMPARE(f.docChanged(), qint16(0));
        } else {
            QVERIFY(!f->isVisible());
            QCOMPARE(f.ended, 1);
            QCOMPARE(closed, command == "close request");
        }
    }

    void exitAsksOnce() {
        f.text().setBytes("x");
        f.dialogs.answer(Dialogs::No);
        f->runCommand("mnuFileExit");
        QCOMPARE(calls().size(), 1);
        QCOMPARE(f.saveAnswer(), qint16(1000));
        QVERIFY(!f->isVisible());
        QCOMPARE(f.ended, 1);
        // Exit without a change asks nothing at all.
        f->show();
        f.saveAnswer() = 0;
        f.docChanged() = 0;
        f->runCommand("mnuFileExit");
        QCOMPARE(calls().size(), 1);
        QCOMPARE(f.ended, 2);
    }

    void closeRequestAsksAgainAfterFailedSave() {
        QVERIFY(QDir().mkpath(path("dir.html")));
        f.fileName() = path("dir.html");
        f->setCaption(Caption::forPath(f.fileName()));
        f.text().setBytes("precious");
        f.dialogs.answer(Dialogs::Yes);
        f.dialogs.answer(Dialogs::Ok);
        QVERIFY(!f->close());
        QVERIFY(f->isVisible());
        QCOMPARE(f.bytes(), QByteArray("precious"));
        // The user picks another way out: No lets the window go.
        f.dialogs.answer(Dialogs::No);
        QVERIFY(f->close());
        QCOMPARE(calls().size(), 3);
        QCOMPARE(f.ended, 1);
    }

    // The secondary windows close in one fixed order; those not open are skipped.
    void secondaryWindowsCloseInOrder() {
        QStringList closedOrder;
        struct Recorder : QWidget {
            QStringList* log;
            void closeEvent(QCloseEvent* e) override {
                *log << objectName();
                QWidget::closeEvent(e);
            }
        };
        const QStringList opened{"frmsplash", "frmNew", "frmfirst", "frmPad"};
        for (const QString& name : opened) {
            f->showSecondaryWindow(name, [&] {
                auto* r = new Recorder;
                r->log = &closedOrder;
                return r;
            });
        }
        f->runCommand("mnuFileExit");
        QCOMPARE(closedOrder, (QStringList{"frmfirst", "frmPad", "frmNew", "frmsplash"}));
        for (const QString& name : opened)
            QVERIFY(!f->secondaryWindow(name));
    }

    void closeEmptiesButKeepsTheName() {
        const QString file = path("page.html");
        writeFile(file, "unchanged");
        f.load(file);
        // Close asks even for an unchanged document while the area holds text.
        f.dialogs.answer(Dialogs::No);
        f->runCommand("mnuFileClose");
        QCOMPARE(calls().size(), 1);
        QVERIFY(f.text().isEmpty());
        QCOMPARE(f->caption(), QString("Quindo HTML Editor"));
        QCOMPARE(f.fileName(), file);
        QCOMPARE(f.docChanged(), qint16(0));
        // Save then asks for a name instead of writing over the old file.
        f.text().setBytes("new");
        f.dialogs.answerFile({});
        QVERIFY(!f.save());
        QCOMPARE(calls().last().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(readFile(file), QByteArray("unchanged"));
        QCOMPARE(f.fileName(), QString());
    }

    void openSaveAndTheirDialogs() {
        const QString file = path("Page.HTML");
        writeFile(file, "<p>hi</p>");
        f.dialogFileName() = path("remembered.html");
        f.dialogs.answerFile(file);
        f->runCommand("mnuFileOpen");
        QCOMPARE(calls().size(), 1);
        const auto& open = calls()[0].request;
        QCOMPARE(open.filter, QString("HTML or Text Files (*.HTM* *.txt)"));
        QCOMPARE(open.fileName, path("remembered.html"));
        QCOMPARE(open.defaultSuffix, QString("html"));
        QCOMPARE(f.bytes(), QByteArray("<p>hi</p>"));
        QCOMPARE(f.dialogFileName(), file);
        // Save writes back to the same path without a dialog.
        f.text().setSelStart(0);
        f.text().setSelText("x");
        QVERIFY(f.save());
        QCOMPARE(calls().size(), 1);
        QCOMPARE(readFile(file), QByteArray("x<p>hi</p>\r\n"));
        QCOMPARE(f.docChanged(), qint16(0));
        // Save As starts from the shared name.
        const QString copy = path("copy.html");
        f.dialogs.answerFile(copy);
        QVERIFY(f.saveAs());
        const auto& save = calls()[1].request;
        QCOMPARE(save.filter, QString("HTML Files (*.HTM*)"));
        QCOMPARE(save.fileName, file);
        QCOMPARE(save.defaultSuffix, QString("html"));
        QCOMPARE(f->caption(), "Quindo- " + copy);
        QCOMPARE(f.dialogFileName(), copy);
        // Save As cancelled empties the name and leaves the caption.
        f.dialogs.answerFile({});
        QVERIFY(!f.saveAs());
        QCOMPARE(f.fileName(), QString());
        QCOMPARE(f->caption(), "Quindo- " + copy);
    }

    void openWithSelectionAndFailedLoad() {
        f.setText("keep this part", 5, 10);
        const QString missing = path("typed name.html");
        f.dialogs.answerFile(missing);
        f.dialogs.answer(Dialogs::Ok);
        f->runCommand("mnuFileOpen");
        QCOMPARE(calls()[1].text, "Can't open file: " + missing);
        // The selection went before the load failed; the name is taken all the same.
        QCOMPARE(f.bytes(), QByteArray("keep part"));
        QCOMPARE(f.fileName(), missing);
        QCOMPARE(f->caption(), "Quindo- " + missing);
        QCOMPARE(f.docChanged(), qint16(0));
        // A following Save creates that file.
        QVERIFY(f.save());
        QCOMPARE(readFile(missing), QByteArray("keep part\r\n"));
    }

    void newWindowLayout() {
        f->runCommand("mnuFileNew");
        frmNew* n = f.newWindow();
        QVERIFY(n);
        QVERIFY(QTest::qWaitForWindowExposed(n));
        QCOMPARE(n->windowTitle(), QString("New document? Current content will be lost..."));
        QCOMPARE(n->size(), Twips::toPixels(QSize(4995, 1830)));
        QVERIFY((n->windowFlags() & Qt::Tool) && !n->isModal());
        auto* label = n->findChild<QLabel*>("Label2");
        QVERIFY(label);
        QCOMPARE(label->geometry(), Twips::rect(1935, 540, 2940, 465));
        QCOMPARE(label->text(),
                 QString("Create a new blank document with headers and meta tags already in place."));
        QCOMPARE(n->findChild<QPushButton*>("Command4")->geometry(), Twips::rect(720, 540, 1140, 375));
        QCOMPARE(n->findChild<QPushButton*>("Command2")->text(), QString("Cancel"));
        QVERIFY(n->findChild<QWidget*>("Line1") && n->findChild<QWidget*>("Image1"));
        // Focus: New, Cancel, Load Blank.
        QTRY_COMPARE(QApplication::focusWidget(), n->findChild<QWidget*>("Command1"));
        QCOMPARE(n->findChild<QWidget*>("Command1")->nextInFocusChain(),
                 n->findChild<QWidget*>("Command2"));
        QWidget* after = n->findChild<QWidget*>("Command2")->nextInFocusChain();
        while (after->focusPolicy() == Qt::NoFocus)
            after = after->nextInFocusChain();
        QCOMPARE(after, n->findChild<QWidget*>("Command4"));
        // Centred on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((n->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        // One window only: New again shows the same one.
        f->runCommand("mnuFileNew");
        QCOMPARE(f.newWindow(), n);
        QCOMPARE(f->findChildren<frmNew*>().size(), 1);
    }

    void newWindowButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("templatePresent");
        QTest::newRow("New") << "Command1" << true;
        QTest::newRow("Load Blank") << "Command4" << true;
        QTest::newRow("Load Blank without template") << "Command4" << false;
        QTest::newRow("Cancel") << "Command2" << true;
    }

    void newWindowButtons() {
        QFETCH(QString, button);
        QFETCH(bool, templatePresent);
        const QString file = path("before.html");
        writeFile(file, "before");
        f.load(file);
        f.dialogFileName() = file;
        f->runCommand("mnuFileNew");
        QCOMPARE(calls().size(), 0);
        QVERIFY(f.newWindow());
        if (!templatePresent) {
            ProgramInfo::setProgramFolder(f.dir.path());
            f.dialogs.answer(Dialogs::Ok);
        }
        QTest::mouseClick(f.newWindow()->findChild<QPushButton*>(button), Qt::LeftButton);
        ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
        QTRY_VERIFY(!f.newWindow());
        QCOMPARE(f.fileName(), file);
        if (button == "Command2") {
            QCOMPARE(f.bytes(), QByteArray("before"));
            QCOMPARE(f->caption(), "Quindo- " + file);
            QCOMPARE(f.docChanged(), qint16(0));
            QCOMPARE(f.dialogFileName(), file);
            return;
        }
        QCOMPARE(f.dialogFileName(), QString());
        QCOMPARE(f.docChanged(), qint16(1));
        if (button == "Command1") {
            QVERIFY(f.text().isEmpty());
            QCOMPARE(f->caption(), QString("Quindo- New Untitled Document."));
            QVERIFY(f.text().hasFocus() || QApplication::focusWidget() == &f.text());
        } else if (templatePresent) {
            QCOMPARE(f.bytes(), readFile(ProgramInfo::besideProgram("blank.html")));
            QVERIFY(f.bytes().contains("<meta name=\"viewport\""));
            QCOMPARE(f->caption(), QString("Quindo- Tamblor9 blank document."));
        } else {
            QCOMPARE(calls().size(), 1);
            QCOMPARE(calls()[0].text, "Can't open file: " + f.dir.path() + "/blank.html");
            QCOMPARE(calls()[0].title, QString("quindo"));
            QCOMPARE(calls()[0].icon, Dialogs::Icon::None);
            QVERIFY(f.text().isEmpty());
            QCOMPARE(f->caption(), QString("Quindo- Tamblor9 blank document."));
        }
        // An unnamed caption: Save asks for a name.
        f.dialogs.answerFile({});
        f.save();
        QCOMPARE(calls().last().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(readFile(file), QByteArray("before"));
    }

    void newOverEmptyDocumentStaysUnchanged() {
        f->runCommand("mnuFileNew");
        QTest::mouseClick(f.newWindow()->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(f.docChanged(), qint16(0));
    }

    void drops_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("startEmpty");
        QTest::newRow("one file, empty area") << "one" << true;
        QTest::newRow("three files") << "three" << false;
        QTest::newRow("text only") << "text" << false;
        QTest::newRow("text onto empty area") << "text" << true;
        QTest::newRow("image") << "image" << false;
        QTest::newRow("empty list") << "empty" << false;
        QTest::newRow("remote URL") << "remote" << false;
        QTest::newRow("unreadable file") << "missing" << false;
    }

    void drops() {
        QFETCH(QString, kind);
        QFETCH(bool, startEmpty);
        const bool loads = kind == "one" || kind == "three";
        const QString first = path("first.html");
        writeFile(first, "first \xe9");
        writeFile(path("second.html"), "second");
        if (!startEmpty) {
            f.text().setBytes("mine");
            f.dialogs.answer(Dialogs::No);
        }
        f.docChanged() = 1;
        f.saveAnswer() = 0;
        auto* data = new QMimeData;
        if (kind == "one")
            data->setUrls({QUrl::fromLocalFile(first)});
        else if (kind == "three")
            data->setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(path("second.html")),
                           QUrl::fromLocalFile(path("third.html"))});
        else if (kind == "text")
            data->setText("dropped text");
        else if (kind == "image")
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        else if (kind == "empty")
            data->setUrls({});
        else if (kind == "remote")
            data->setUrls({QUrl("https://example.org/page.html")});
        else
            data->setUrls({QUrl::fromLocalFile(path("gone.html"))});
        if (!loads)
            f.dialogs.answer(Dialogs::Ok);
        QVERIFY(f.drop(data));
        QCOMPARE(f.dialogs.pending(), 0);
        QCOMPARE(calls().size(), (startEmpty ? 0 : 1) + (loads ? 0 : 1));
        if (!startEmpty)
            QCOMPARE(calls()[0].title, QString("Drag and Drop Load"));
        QCOMPARE(f.saveAnswer(), qint16(0));
        if (loads) {
            QCOMPARE(f.bytes(), QByteArray("first \xe9"));
            QVERIFY(!f.text().isUtf8());
            QCOMPARE(f.fileName(), first);
            QCOMPARE(f->caption(), "Quindo- " + first);
            QCOMPARE(f.docChanged(), qint16(0));
        } else if (kind == "missing") {
            QCOMPARE(calls().last().text, "Can't open file: " + path("gone.html"));
            QCOMPARE(calls().last().title, QString("quindo"));
            QVERIFY(f.text().isEmpty());
            QCOMPARE(f->caption(), "Quindo- " + path("gone.html"));
            QCOMPARE(f.docChanged(), qint16(0));
        } else {
            QCOMPARE(calls().last().text, kUnsupported);
            QCOMPARE(calls().last().buttons, Dialogs::Buttons::Ok);
            QCOMPARE(calls().last().icon, Dialogs::Icon::None);
            QCOMPARE(calls().last().title, QString("Quindo"));
            // Nothing was inserted.
            QCOMPARE(f.bytes(), startEmpty ? QByteArray() : QByteArray("mine"));
            QCOMPARE(f->caption(), QString("Quindo HTML Editor"));
            QCOMPARE(f.docChanged(), qint16(1));
        }
    }

    void dropYesAlwaysUsesTheSaveDialog() {
        const QString file = path("named.html");
        writeFile(file, "named");
        f.load(file);
        f.text().setSelText("+");
        f.dialogs.answer(Dialogs::Yes);
        f.dialogs.answerFile(file);
        f.dialogs.answer(Dialogs::Ok);
        QVERIFY(f.drop(f.files({path("none.html")})));
        QCOMPARE(calls().size(), 3);
        QCOMPARE(calls()[1].kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(calls()[1].request.fileName, QString());
        QCOMPARE(readFile(file), QByteArray("+named\r\n"));
        QCOMPARE(calls()[2].text, "Can't open file: " + path("none.html"));
    }

    void clipboard_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("selFrom");
        QTest::addColumn<int>("selTo");
        QTest::addColumn<QString>("clipboardBefore");  // "" = an image only
        QTest::addColumn<QByteArray>("documentAfter");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::addColumn<bool>("changed");
        const QByteArray doc("one two three");
        QTest::newRow("cut") << "mnuEditCut" << doc << 4 << 8 << "old" << QByteArray("one three")
                             << "two " << true;
        QTest::newRow("cut nothing selected")
            << "mnuEditCut" << doc << 3 << 3 << "old" << doc << "" << false;
        QTest::newRow("copy") << "mnuEditCopy" << doc << 0 << 3 << "old" << doc << "one" << false;
        QTest::newRow("copy nothing selected")
            << "mnuEditCopy" << doc << 5 << 5 << "" << doc << "" << false;
        QTest::newRow("paste over selection")
            << "mnuEditPaste" << doc << 4 << 7 << "2" << QByteArray("one 2 three") << "2" << true;
        QTest::newRow("paste at caret")
            << "mnuEditPaste" << doc << 3 << 3 << "\xc3\xa9!"
            << QByteArray("one\xc3\xa9! two three") << "\xc3\xa9!" << true;
        QTest::newRow("paste without text deletes selection")
            << "mnuEditPaste" << doc << 3 << 7 << "" << QByteArray("one three") << "" << true;
        QTest::newRow("cut all") << "mnucutall" << doc << 2 << 5 << "old" << QByteArray()
                                 << QString(doc) << true;
        QTest::newRow("cut all empty")
            << "mnucutall" << QByteArray() << 0 << 0 << "old" << QByteArray() << "" << false;
        QTest::newRow("copy all") << "mnucopyall" << doc << 1 << 2 << "" << doc << QString(doc)
                                  << false;
        QTest::newRow("copy 8-bit text") << "mnucopyall" << QByteArray("caf\xe9") << 0 << 0 << "old"
                                         << QByteArray("caf\xe9") << "caf\u00e9" << false;
        QTest::newRow("paste into 8-bit text")
            << "mnuEditPaste" << QByteArray("\xe9") << 1 << 1 << "\u00fc" << QByteArray("\xe9\xfc")
            << "\u00fc" << true;
        QTest::newRow("button 5 cuts")
            << "Command5" << doc << 0 << 4 << "old" << QByteArray("two three") << "one " << true;
        QTest::newRow("button 6 copies")
            << "Command6" << doc << 8 << 13 << "old" << doc << "three" << false;
        QTest::newRow("button 7 pastes")
            << "Command7" << doc << 0 << 13 << "all" << QByteArray("all") << "all" << true;
    }

    void clipboard() {
        QFETCH(QString, command);
        QFETCH(QByteArray, document);
        QFETCH(int, selFrom);
        QFETCH(int, selTo);
        QFETCH(QString, clipboardBefore);
        QFETCH(QByteArray, documentAfter);
        QFETCH(QString, clipboardAfter);
        QFETCH(bool, changed);
        QClipboard* clip = QGuiApplication::clipboard();
        auto* before = new QMimeData;
        before->setHtml("<b>rich</b>");
        before->setImageData(QImage(2, 2, QImage::Format_RGB32));
        if (!clipboardBefore.isEmpty())
            before->setText(clipboardBefore);
        clip->setMimeData(before);
        f.setText(document, selFrom, selTo);
        f->setFocus();
        if (command.startsWith("Command"))
            QTest::mouseClick(f->button(command), Qt::LeftButton);
        else
            f->action(command)->trigger();
        QCOMPARE(f.bytes(), documentAfter);
        QCOMPARE(f.docChanged(), qint16(changed ? 1 : 0));
        QCOMPARE(clip->text(), clipboardAfter);
        if (command != "mnuEditPaste" && command != "Command7") {
            // Plain text and nothing else.
            QCOMPARE(clip->mimeData()->formats(), QStringList{"text/plain"});
            QVERIFY(f.text().hasFocus());
        }
    }

    void pictureButtonsRunTheFileCommands() {
        // New document, with its prompt.
        f.text().setBytes("x");
        f.dialogs.answer(Dialogs::Cancel);
        QTest::mouseClick(f->button("Command1"), Qt::LeftButton);
        QCOMPARE(calls().size(), 1);
        QVERIFY(!f.newWindow());
        f.dialogs.answer(Dialogs::No);
        QTest::mouseClick(f->button("Command1"), Qt::LeftButton);
        QVERIFY(f.newWindow());
        // Open.
        f.dialogs.answerFile({});
        QTest::mouseClick(f->button("Command2"), Qt::LeftButton);
        QCOMPARE(calls().last().kind, ScriptedDialogs::Kind::OpenFile);
        // Save of an unnamed document.
        const QString file = path("button.html");
        f.dialogs.answerFile(file);
        QTest::mouseClick(f->button("Command3"), Qt::LeftButton);
        QCOMPARE(readFile(file), QByteArray("x\r\n"));
        // Print, on the printer the window is given.
        int asked = 0;
        f.setChoosePrinter([&asked](QPrinter&) { return ++asked, false; });
        QTest::mouseClick(f->button("Command4"), Qt::LeftButton);
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(DocumentCommandsTest)
#include "test_documentcommands.moc"
