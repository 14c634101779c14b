// SPDX-License-Identifier: GPL-3.0-or-later
// The File and Edit commands through the real window: every save prompt and its answers,
// the new-document window, Close, Exit and the close request, drops onto the editing area,
// the clipboard and the picture buttons.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/ProgramInfo.h"
#include "document/DocumentState.h"
#include "document/frmNew.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// How a Yes answer's save turns out.
enum class SaveOutcome { Saved, DialogCancelled, WriteFailed };

struct Prompt {
    QString text;
    Dialogs::Buttons buttons;
    QString title;
};

const QHash<QString, Prompt>& prompts() {
    static const QHash<QString, Prompt> table{
        {"mnuFileNew", {"Save current document?", Dialogs::Buttons::YesNoCancel, "quindo"}},
        {"mnuFileOpen", {"Save current document?", Dialogs::Buttons::YesNoCancel, "quindo"}},
        {"mnuFileClose", {"Save current document?", Dialogs::Buttons::YesNoCancel, "quindo"}},
        {"mnuFileExit", {"Save current document?", Dialogs::Buttons::YesNoCancel, "Quindo"}},
        {"close request", {"Save current document?", Dialogs::Buttons::YesNo, "Quindo"}},
        {"drop",
         {"Save current document before loading the dropped document?",
          Dialogs::Buttons::YesNoCancel, "Drag and Drop Load"}},
    };
    return table;
}

const QString kUnsupported =
    "The drag and drop command could not be completed because the data is in an invalid "
    "format or is not supported.";

}  // namespace

Q_DECLARE_METATYPE(SaveOutcome)

class DocumentCommandsTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<frmMain> w_;
    int ended_ = 0;

    QString path(const QString& name) const { return dir_->filePath(name); }
    EditingArea& text() { return w_->Text1(); }
    QByteArray bytes() { return w_->Text1().bytes().toByteArray(); }

    void load(const QString& file) {
        w_->CurrentFileName = file;
        w_->OpenFile(file);
        w_->setCaption(Caption::forPath(file));
        w_->DocChanged = 0;
    }

    // Drags the data onto the editing area and drops it, as the window system delivers it.
    bool drop(QMimeData* data) {
        QWidget* viewport = text().viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        const bool accepted =
            enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
        delete data;
        // The drop is handled once the drag is over.
        QTest::qWait(20);
        return accepted;
    }

    static QMimeData* files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data->setUrls(urls);
        return data;
    }

    frmNew* newWindow() { return qobject_cast<frmNew*>(w_->secondaryWindow("frmNew")); }

  private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        dialogs_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        w_ = std::make_unique<frmMain>(dialogs_, QString());
        ended_ = 0;
        w_->endProgram = [this] { ++ended_; };
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }

    void cleanup() {
        // Nothing asks on the way out of a test.
        w_->SaveAnswer = 1000;
        w_.reset();
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
        QCOMPARE(dialogs_.pending(), 0);
    }

    // Every row of the save-prompt table: when it asks, what it asks, and what each answer
    // does, including a Yes whose save did not happen.
    void savePrompt_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("condition");
        QTest::addColumn<int>("answer");
        QTest::addColumn<SaveOutcome>("outcome");
        QTest::addColumn<bool>("goesOn");
        const QStringList commands{"mnuFileNew",  "mnuFileOpen",   "mnuFileClose",
                                   "mnuFileExit", "close request", "drop"};
        for (const QString& c : commands) {
            const QByteArray latin = c.toLatin1();
            const char* name = latin.constData();
            QTest::addRow("%s: not asked", name) << c << false << 0 << SaveOutcome::Saved << true;
            QTest::addRow("%s: Yes, saved", name)
                << c << true << int(Dialogs::Yes) << SaveOutcome::Saved << true;
            QTest::addRow("%s: Yes, dialog cancelled", name)
                << c << true << int(Dialogs::Yes) << SaveOutcome::DialogCancelled << false;
            QTest::addRow("%s: Yes, write failed", name)
                << c << true << int(Dialogs::Yes) << SaveOutcome::WriteFailed << false;
            QTest::addRow("%s: No", name)
                << c << true << int(Dialogs::No) << SaveOutcome::Saved << true;
            if (c != "close request") {
                QTest::addRow("%s: Cancel", name)
                    << c << true << int(Dialogs::Cancel) << SaveOutcome::Saved << false;
            }
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
            text().setBytes("old");
        } else if (outcome == SaveOutcome::WriteFailed) {
            QVERIFY(QDir().mkpath(path("a folder")));
            w_->CurrentFileName = path("a folder");
            w_->setCaption(Caption::forPath(w_->CurrentFileName));
            text().setBytes("old");
        } else {
            load(docPath);
        }
        text().setSelStart(3);
        text().setSelText(" typed");
        const QByteArray typed = bytes();
        QCOMPARE(w_->DocChanged, qint16(1));
        if (!condition) {
            // The condition is false but everything else would ask.
            const bool onText = command == "mnuFileClose" || isDrop;
            if (onText) {
                text().setBytes({});
                w_->DocChanged = 1;
            } else {
                w_->DocChanged = 0;
            }
        }
        const QByteArray before = bytes();
        const QString captionBefore = w_->caption();
        w_->SaveAnswer = 0;

        // The script: the prompt, then what its save asks, then what the command asks.
        const bool saveAsDialog = isDrop || outcome == SaveOutcome::DialogCancelled;
        if (condition) {
            dialogs_.answer(answer);
            if (answer == Dialogs::Yes) {
                if (saveAsDialog && outcome == SaveOutcome::DialogCancelled) {
                    dialogs_.answerFile({});
                } else if (saveAsDialog) {
                    dialogs_.answerFile(outcome == SaveOutcome::WriteFailed ? path("a folder")
                                                                            : savedAs);
                }
                if (outcome == SaveOutcome::WriteFailed) {
                    dialogs_.answer(Dialogs::Ok);
                }
            }
        }
        if (goesOn && command == "mnuFileOpen") {
            dialogs_.answerFile(other);
        }

        bool closed = false;
        if (isDrop) {
            QVERIFY(drop(files({other})));
        } else if (command == "close request") {
            closed = w_->close();
        } else {
            QVERIFY(w_->runCommand(command));
        }

        // What was asked.
        const auto& calls = dialogs_.calls();
        if (condition) {
            QVERIFY(!calls.isEmpty());
            const Prompt& p = prompts()[command];
            QCOMPARE(calls[0].kind, ScriptedDialogs::Kind::Message);
            QCOMPARE(calls[0].text, p.text);
            QCOMPARE(calls[0].buttons, p.buttons);
            QCOMPARE(calls[0].icon, Dialogs::Icon::None);
            QCOMPARE(calls[0].title, p.title);
        } else if (command != "mnuFileOpen") {
            QCOMPARE(calls.size(), 0);
        }
        QCOMPARE(dialogs_.pending(), 0);
        if (condition && answer == Dialogs::Yes && saveAsDialog) {
            QCOMPARE(calls[1].kind, ScriptedDialogs::Kind::SaveFile);
        }

        // What the answer saved.
        const bool saved = condition && answer == Dialogs::Yes && outcome == SaveOutcome::Saved;
        QCOMPARE(readFile(docPath), saved && !isDrop ? typed + "\r\n" : QByteArray("old"));
        QCOMPARE(QFileInfo::exists(savedAs), saved && isDrop);
        if (saved && isDrop) {
            QCOMPARE(readFile(savedAs), typed + "\r\n");
        }

        // The drop keeps its answer apart; the others keep it in SaveAnswer.
        qint16 answerKept = condition ? qint16(answer) : qint16(0);
        if (isDrop) {
            answerKept = 0;
        } else if (command == "mnuFileExit" && goesOn) {
            answerKept = 1000;
        }
        QCOMPARE(w_->SaveAnswer, answerKept);

        if (!goesOn) {
            // The command stopped: the document is as it was.
            QCOMPARE(bytes(), before);
            QCOMPARE(w_->DocChanged, qint16(1));
            QVERIFY(w_->isVisible());
            QCOMPARE(ended_, 0);
            QVERIFY(!newWindow());
            if (outcome != SaveOutcome::DialogCancelled) {
                QCOMPARE(w_->caption(), outcome == SaveOutcome::WriteFailed
                                            ? "Quindo- " + path("a folder")
                                            : captionBefore);
            }
            return;
        }
        if (command == "mnuFileNew") {
            QVERIFY(newWindow());
            QVERIFY(newWindow()->isVisible());
            QCOMPARE(w_->DocChanged, qint16(0));
        } else if (command == "mnuFileOpen" || isDrop) {
            QCOMPARE(bytes(), QByteArray("other file"));
            QCOMPARE(w_->CurrentFileName, other);
            QCOMPARE(w_->caption(), "Quindo- " + other);
            QCOMPARE(w_->DocChanged, qint16(0));
        } else if (command == "mnuFileClose") {
            QVERIFY(text().isEmpty());
            QCOMPARE(w_->caption(), QString("Quindo HTML Editor"));
            QCOMPARE(w_->DocChanged, qint16(0));
        } else {
            QVERIFY(!w_->isVisible());
            QCOMPARE(ended_, 1);
            if (command == "close request") {
                QVERIFY(closed);
            }
        }
    }

    void exitAsksOnce() {
        text().setBytes("x");
        dialogs_.answer(Dialogs::No);
        w_->mnuFileExit_Click();
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(w_->SaveAnswer, qint16(1000));
        QVERIFY(!w_->isVisible());
        QCOMPARE(ended_, 1);
        // Exit without a change asks nothing at all.
        w_->show();
        w_->SaveAnswer = 0;
        w_->DocChanged = 0;
        dialogs_.clear();
        w_->mnuFileExit_Click();
        QCOMPARE(dialogs_.calls().size(), 0);
        QCOMPARE(ended_, 2);
    }

    void closeRequestAsksAgainAfterFailedSave() {
        QVERIFY(QDir().mkpath(path("dir.html")));
        w_->CurrentFileName = path("dir.html");
        w_->setCaption(Caption::forPath(w_->CurrentFileName));
        text().setBytes("precious");
        dialogs_.answer(Dialogs::Yes);
        dialogs_.answer(Dialogs::Ok);
        QVERIFY(!w_->close());
        QVERIFY(w_->isVisible());
        QCOMPARE(bytes(), QByteArray("precious"));
        // The user picks another way out: No lets the window go.
        dialogs_.answer(Dialogs::No);
        QVERIFY(w_->close());
        QCOMPARE(dialogs_.calls().size(), 3);
        QCOMPARE(ended_, 1);
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
            w_->showSecondaryWindow(name, [&] {
                auto* r = new Recorder;
                r->log = &closedOrder;
                return r;
            });
        }
        w_->mnuFileExit_Click();
        QCOMPARE(closedOrder, (QStringList{"frmfirst", "frmPad", "frmNew", "frmsplash"}));
        for (const QString& name : opened)
            QVERIFY(!w_->secondaryWindow(name));
    }

    void closeEmptiesButKeepsTheName() {
        const QString file = path("page.html");
        writeFile(file, "unchanged");
        load(file);
        // Close asks even for an unchanged document while the area holds text.
        dialogs_.answer(Dialogs::No);
        w_->mnuFileClose_Click();
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(text().isEmpty());
        QCOMPARE(w_->caption(), QString("Quindo HTML Editor"));
        QCOMPARE(w_->CurrentFileName, file);
        QCOMPARE(w_->DocChanged, qint16(0));
        // Save then asks for a name instead of writing over the old file.
        text().setBytes("new");
        dialogs_.answerFile({});
        QVERIFY(!w_->mnuFileSave_Click());
        QCOMPARE(dialogs_.calls().last().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(readFile(file), QByteArray("unchanged"));
        QCOMPARE(w_->CurrentFileName, QString());
    }

    void openSaveAndTheirDialogs() {
        const QString file = path("Page.HTML");
        writeFile(file, "<p>hi</p>");
        w_->dialogFileName = path("remembered.html");
        dialogs_.answerFile(file);
        w_->mnuFileOpen_Click();
        QCOMPARE(dialogs_.calls().size(), 1);
        const auto& open = dialogs_.calls()[0].request;
        QCOMPARE(open.filter, QString("HTML or Text Files (*.HTM* *.txt)"));
        QCOMPARE(open.fileName, path("remembered.html"));
        QCOMPARE(open.defaultSuffix, QString("html"));
        QCOMPARE(bytes(), QByteArray("<p>hi</p>"));
        QCOMPARE(w_->dialogFileName, file);
        // Save writes back to the same path without a dialog.
        text().setSelStart(0);
        text().setSelText("x");
        QVERIFY(w_->mnuFileSave_Click());
        QCOMPARE(dialogs_.calls().size(), 1);
        QCOMPARE(readFile(file), QByteArray("x<p>hi</p>\r\n"));
        QCOMPARE(w_->DocChanged, qint16(0));
        // Save As starts from the shared name.
        const QString copy = path("copy.html");
        dialogs_.answerFile(copy);
        QVERIFY(w_->mnuFileSaveAs_Click());
        const auto& save = dialogs_.calls()[1].request;
        QCOMPARE(save.filter, QString("HTML Files (*.HTM*)"));
        QCOMPARE(save.fileName, file);
        QCOMPARE(save.defaultSuffix, QString("html"));
        QCOMPARE(w_->caption(), "Quindo- " + copy);
        QCOMPARE(w_->dialogFileName, copy);
        // Save As cancelled empties the name and leaves the caption.
        dialogs_.answerFile({});
        QVERIFY(!w_->mnuFileSaveAs_Click());
        QCOMPARE(w_->CurrentFileName, QString());
        QCOMPARE(w_->caption(), "Quindo- " + copy);
    }

    void openWithSelectionAndFailedLoad() {
        text().setBytes("keep this part");
        text().SendScintilla(QsciScintillaBase::SCI_SETSEL, 5UL, 10L);
        w_->DocChanged = 0;
        const QString missing = path("typed name.html");
        dialogs_.answerFile(missing);
        dialogs_.answer(Dialogs::Ok);
        w_->mnuFileOpen_Click();
        QCOMPARE(dialogs_.calls()[1].text, "Can't open file: " + missing);
        // The selection went before the load failed; the name is taken all the same.
        QCOMPARE(bytes(), QByteArray("keep part"));
        QCOMPARE(w_->CurrentFileName, missing);
        QCOMPARE(w_->caption(), "Quindo- " + missing);
        QCOMPARE(w_->DocChanged, qint16(0));
        // A following Save creates that file.
        QVERIFY(w_->mnuFileSave_Click());
        QCOMPARE(readFile(missing), QByteArray("keep part\r\n"));
    }

    void newWindowLayout() {
        w_->mnuFileNew_Click();
        frmNew* n = newWindow();
        QVERIFY(n);
        QVERIFY(QTest::qWaitForWindowExposed(n));
        QCOMPARE(n->windowTitle(), QString("New document? Current content will be lost..."));
        QCOMPARE(n->size(), Twips::toPixels(QSize(4995, 1830)));
        QVERIFY(n->windowFlags() & Qt::Tool);
        QVERIFY(!n->isModal());
        struct Control {
            const char* name;
            const char* text;
            QRect twips;
        };
        const Control controls[] = {
            {"Command1", "New", {720, 45, 1140, 375}},
            {"Command2", "Cancel", {720, 1350, 1140, 375}},
            {"Label1", "Create a new blank document.", {1935, 45, 2940, 240}},
            {"Command4", "Load Blank", {720, 540, 1140, 375}},
            {"Label2",
             "Create a new blank document with headers and meta tags already in place.",
             {1935, 540, 2940, 465}},
            {"Label4", "Return to current document.", {1935, 1350, 2940, 240}},
        };
        for (const Control& c : controls) {
            QWidget* widget = n->findChild<QWidget*>(c.name);
            QVERIFY2(widget, c.name);
            QCOMPARE(widget->geometry(),
                     Twips::rect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()));
            const QString shown = qobject_cast<QLabel*>(widget)
                                      ? qobject_cast<QLabel*>(widget)->text()
                                      : qobject_cast<QPushButton*>(widget)->text();
            QCOMPARE(shown, QString(c.text));
        }
        QVERIFY(n->findChild<QWidget*>("Line1"));
        QCOMPARE(n->findChild<QLabel*>("Image1")->geometry(), Twips::rect(90, 45, 540, 540));
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
        QVERIFY(qAbs(n->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(n->frameGeometry().center().y() - screen.center().y()) <= 1);
        // One window only: New again shows the same one.
        w_->mnuFileNew_Click();
        QCOMPARE(newWindow(), n);
        QCOMPARE(w_->findChildren<frmNew*>().size(), 1);
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
        load(file);
        w_->dialogFileName = file;
        w_->mnuFileNew_Click();
        QCOMPARE(dialogs_.calls().size(), 0);
        QCOMPARE(w_->DocChanged, qint16(0));
        frmNew* n = newWindow();
        QVERIFY(n);
        if (!templatePresent) {
            ProgramInfo::setProgramFolder(dir_->path());
            dialogs_.answer(Dialogs::Ok);
        }
        QTest::mouseClick(n->findChild<QPushButton*>(button), Qt::LeftButton);
        ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
        QTRY_VERIFY(!newWindow());
        QCOMPARE(w_->CurrentFileName, file);

        if (button == "Command2") {
            QCOMPARE(bytes(), QByteArray("before"));
            QCOMPARE(w_->caption(), "Quindo- " + file);
            QCOMPARE(w_->DocChanged, qint16(0));
            QCOMPARE(w_->dialogFileName, file);
            return;
        }
        QCOMPARE(w_->dialogFileName, QString());
        QCOMPARE(w_->DocChanged, qint16(1));
        if (button == "Command1") {
            QVERIFY(text().isEmpty());
            QCOMPARE(w_->caption(), QString("Quindo- New Untitled Document."));
            QVERIFY(text().hasFocus() || QApplication::focusWidget() == &text());
        } else if (templatePresent) {
            QCOMPARE(bytes(), readFile(ProgramInfo::besideProgram("blank.html")));
            QVERIFY(bytes().contains("<meta name=\"viewport\""));
            QCOMPARE(w_->caption(), QString("Quindo- Tamblor9 blank document."));
        } else {
            QCOMPARE(dialogs_.calls().size(), 1);
            QCOMPARE(dialogs_.calls()[0].text, "Can't open file: " + dir_->path() + "/blank.html");
            QCOMPARE(dialogs_.calls()[0].icon, Dialogs::Icon::None);
            QCOMPARE(dialogs_.calls()[0].title, QString("quindo"));
            QVERIFY(text().isEmpty());
            QCOMPARE(w_->caption(), QString("Quindo- Tamblor9 blank document."));
        }
        // An unnamed caption: Save asks for a name.
        dialogs_.answerFile({});
        w_->mnuFileSave_Click();
        QCOMPARE(dialogs_.calls().last().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(readFile(file), QByteArray("before"));
    }

    void newOverEmptyDocumentStaysUnchanged() {
        w_->mnuFileNew_Click();
        QTest::mouseClick(newWindow()->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(w_->DocChanged, qint16(0));
    }

    void drops_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("startEmpty");
        QTest::addColumn<bool>("loads");
        QTest::newRow("one file, empty area") << "one" << true << true;
        QTest::newRow("three files") << "three" << false << true;
        QTest::newRow("text only") << "text" << false << false;
        QTest::newRow("text onto empty area") << "text" << true << false;
        QTest::newRow("image") << "image" << false << false;
        QTest::newRow("empty list") << "empty" << false << false;
        QTest::newRow("remote URL") << "remote" << false << false;
        QTest::newRow("unreadable file") << "missing" << false << false;
    }

    void drops() {
        QFETCH(QString, kind);
        QFETCH(bool, startEmpty);
        QFETCH(bool, loads);
        const QString first = path("first.html");
        writeFile(first, "first \xe9");
        writeFile(path("second.html"), "second");
        if (!startEmpty) {
            text().setBytes("mine");
            dialogs_.answer(Dialogs::No);
        }
        w_->DocChanged = 1;
        w_->SaveAnswer = 0;
        QMimeData* data = nullptr;
        if (kind == "one") {
            data = files({first});
        } else if (kind == "three") {
            data = files({first, path("second.html"), path("third.html")});
        } else if (kind == "text") {
            data = new QMimeData;
            data->setText("dropped text");
        } else if (kind == "image") {
            data = new QMimeData;
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        } else if (kind == "empty") {
            data = new QMimeData;
            data->setUrls({});
        } else if (kind == "remote") {
            data = new QMimeData;
            data->setUrls({QUrl("https://example.org/page.html")});
        } else {
            data = files({path("gone.html")});
        }
        const bool failsToOpen = kind == "missing";
        if (!loads) {
            dialogs_.answer(Dialogs::Ok);
        }
        QVERIFY(drop(data));
        QCOMPARE(dialogs_.pending(), 0);
        const auto& calls = dialogs_.calls();
        QCOMPARE(calls.size(), (startEmpty ? 0 : 1) + (loads ? 0 : 1));
        if (!startEmpty) {
            QCOMPARE(calls[0].title, QString("Drag and Drop Load"));
        }
        QCOMPARE(w_->SaveAnswer, qint16(0));
        if (loads) {
            QCOMPARE(bytes(), QByteArray("first \xe9"));
            QVERIFY(!text().isUtf8());
            QCOMPARE(w_->CurrentFileName, first);
            QCOMPARE(w_->caption(), "Quindo- " + first);
            QCOMPARE(w_->DocChanged, qint16(0));
        } else if (failsToOpen) {
            QCOMPARE(calls.last().text, "Can't open file: " + path("gone.html"));
            QCOMPARE(calls.last().title, QString("quindo"));
            QVERIFY(text().isEmpty());
            QCOMPARE(w_->caption(), "Quindo- " + path("gone.html"));
            QCOMPARE(w_->DocChanged, qint16(0));
        } else {
            QCOMPARE(calls.last().text, kUnsupported);
            QCOMPARE(calls.last().buttons, Dialogs::Buttons::Ok);
            QCOMPARE(calls.last().icon, Dialogs::Icon::None);
            QCOMPARE(calls.last().title, QString("Quindo"));
            // Nothing was inserted.
            QCOMPARE(bytes(), startEmpty ? QByteArray() : QByteArray("mine"));
            QCOMPARE(w_->caption(), QString("Quindo HTML Editor"));
            QCOMPARE(w_->DocChanged, qint16(1));
        }
    }

    void dropYesAlwaysUsesTheSaveDialog() {
        const QString file = path("named.html");
        writeFile(file, "named");
        load(file);
        text().setSelText("+");
        dialogs_.answer(Dialogs::Yes);
        dialogs_.answerFile(file);
        dialogs_.answer(Dialogs::Ok);
        QVERIFY(drop(files({path("none.html")})));
        QCOMPARE(dialogs_.calls().size(), 3);
        QCOMPARE(dialogs_.calls()[1].kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(dialogs_.calls()[1].request.fileName, QString());
        QCOMPARE(readFile(file), QByteArray("+named\r\n"));
        QCOMPARE(dialogs_.calls()[2].text, "Can't open file: " + path("none.html"));
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

        text().setBytes(document);
        text().SendScintilla(QsciScintillaBase::SCI_SETSEL, ulong(selFrom), long(selTo));
        w_->DocChanged = 0;
        w_->setFocus();
        if (command.startsWith("Command")) {
            QTest::mouseClick(w_->button(command), Qt::LeftButton);
        } else {
            w_->action(command)->trigger();
        }
        QCOMPARE(bytes(), documentAfter);
        QCOMPARE(w_->DocChanged, qint16(changed ? 1 : 0));
        QCOMPARE(clip->text(), clipboardAfter);
        if (command != "mnuEditPaste" && command != "Command7") {
            // Plain text and nothing else.
            QCOMPARE(clip->mimeData()->formats(), QStringList{"text/plain"});
            QVERIFY(text().hasFocus());
        }
    }

    void pictureButtonsRunTheFileCommands() {
        // New document, with its prompt.
        text().setBytes("x");
        dialogs_.answer(Dialogs::Cancel);
        QTest::mouseClick(w_->button("Command1"), Qt::LeftButton);
        QCOMPARE(dialogs_.calls().size(), 1);
        QVERIFY(!newWindow());
        dialogs_.answer(Dialogs::No);
        QTest::mouseClick(w_->button("Command1"), Qt::LeftButton);
        QVERIFY(newWindow());
        // Open.
        dialogs_.answerFile({});
        QTest::mouseClick(w_->button("Command2"), Qt::LeftButton);
        QCOMPARE(dialogs_.calls().last().kind, ScriptedDialogs::Kind::OpenFile);
        // Save of an unnamed document.
        const QString file = path("button.html");
        dialogs_.answerFile(file);
        QTest::mouseClick(w_->button("Command3"), Qt::LeftButton);
        QCOMPARE(readFile(file), QByteArray("x\r\n"));
        // Print, on the printer the window is given.
        int asked = 0;
        w_->choosePrinter = [&asked](QPrinter&) {
            ++asked;
            return false;
        };
        QTest::mouseClick(w_->button("Command4"), Qt::LeftButton);
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(DocumentCommandsTest)
#include "test_documentcommands.moc"
