// SPDX-License-Identifier: GPL-3.0-or-later
// The File and Edit commands through the real window: every save prompt and its answers,
// the new-document window, Close, Exit and the close request, drops onto the editing area,
// the picture buttons; exact bytes both ways through load and save, saves that keep the
// old file on every failure; Print, read back from PDF; Cut All, one selection, paths
// that cannot be read, copy-only drops.
#include "MainWindowFixture.h"
#include "StubBrowser.h"
#include "app/ProgramInfo.h"
#include "browser/BrowserPreference.h"
#include "document/DocumentState.h"
#include "document/frmNew.h"
#include "platform/EditingArea.h"
#include "platform/Pictures.h"
#include "ui/frmMain.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>
#include <cstring>

namespace {

// How a Yes answer's save turns out.
enum class SaveOutcome { Saved, DialogCancelled, WriteFailed };

// The save prompt each way out of the document asks, as a one-line box.
QString promptFor(const QString& command) {
    if (command == "drop")
        return ScriptedDialogs::box("Save current document before loading the dropped document?",
                                    "Drag and Drop Load", Dialogs::Buttons::YesNoCancel);
    const bool request = command == "close request";
    return ScriptedDialogs::box("Save current document?",
                                request || command == "mnuFileExit" ? "Quindo" : "quindo",
                                request ? Dialogs::Buttons::YesNo : Dialogs::Buttons::YesNoCancel);
}

// Every way out of the document, each answer to its prompt, and what it leads to: which
// file the typed text went to, the answer kept in SaveAnswer, and whether the document
// stays, goes on (New, Open, Close and the drop do their work) or the program ends.
enum class After { Stays, GoesOn, Ends };
struct PromptRow {
    const char* name;
    const char* command;
    int answer;  // 0: not asked
    SaveOutcome outcome;
    const char* savedTo;  // "doc.html", "saved as.html" or nothing
    qint16 saveAnswer;
    After after;
};
constexpr int Y = Dialogs::Yes, N = Dialogs::No, C = Dialogs::Cancel;
constexpr auto Saved = SaveOutcome::Saved, NoName = SaveOutcome::DialogCancelled,
               Failed = SaveOutcome::WriteFailed;
constexpr auto Stays = After::Stays, GoesOn = After::GoesOn, Ends = After::Ends;
const PromptRow kPrompts[] = {
    {"New: not asked", "mnuFileNew", 0, Saved, "", 0, GoesOn},
    {"New: Yes, saved", "mnuFileNew", Y, Saved, "doc.html", Y, GoesOn},
    {"New: Yes, dialog cancelled", "mnuFileNew", Y, NoName, "", Y, Stays},
    {"New: Yes, write failed", "mnuFileNew", Y, Failed, "", Y, Stays},
    {"New: No", "mnuFileNew", N, Saved, "", N, GoesOn},
    {"New: Cancel", "mnuFileNew", C, Saved, "", C, Stays},
    {"Open: not asked", "mnuFileOpen", 0, Saved, "", 0, GoesOn},
    {"Open: Yes, saved", "mnuFileOpen", Y, Saved, "doc.html", Y, GoesOn},
    {"Open: Yes, dialog cancelled", "mnuFileOpen", Y, NoName, "", Y, Stays},
    {"Open: Yes, write failed", "mnuFileOpen", Y, Failed, "", Y, Stays},
    {"Open: No", "mnuFileOpen", N, Saved, "", N, GoesOn},
    {"Open: Cancel", "mnuFileOpen", C, Saved, "", C, Stays},
    {"Close: not asked", "mnuFileClose", 0, Saved, "", 0, GoesOn},
    {"Close: Yes, saved", "mnuFileClose", Y, Saved, "doc.html", Y, GoesOn},
    {"Close: Yes, dialog cancelled", "mnuFileClose", Y, NoName, "", Y, Stays},
    {"Close: Yes, write failed", "mnuFileClose", Y, Failed, "", Y, Stays},
    {"Close: No", "mnuFileClose", N, Saved, "", N, GoesOn},
    {"Close: Cancel", "mnuFileClose", C, Saved, "", C, Stays},
    {"Exit: not asked", "mnuFileExit", 0, Saved, "", 1000, Ends},
    {"Exit: Yes, saved", "mnuFileExit", Y, Saved, "doc.html", 1000, Ends},
    {"Exit: Yes, dialog cancelled", "mnuFileExit", Y, NoName, "", Y, Stays},
    {"Exit: Yes, write failed", "mnuFileExit", Y, Failed, "", Y, Stays},
    {"Exit: No", "mnuFileExit", N, Saved, "", 1000, Ends},
    {"Exit: Cancel", "mnuFileExit", C, Saved, "", C, Stays},
    // The close request's box has no Cancel: Escape and its close box answer Cancel.
    {"close request: not asked", "close request", 0, Saved, "", 0, Ends},
    {"close request: Yes, saved", "close request", Y, Saved, "doc.html", Y, Ends},
    {"close request: Yes, dialog cancelled", "close request", Y, NoName, "", Y, Stays},
    {"close request: Yes, write failed", "close request", Y, Failed, "", Y, Stays},
    {"close request: No", "close request", N, Saved, "", N, Ends},
    {"close request: Escape", "close request", C, Saved, "", C, Stays},
    // The drop keeps its answer apart, and its Yes always asks for a name.
    {"drop: not asked", "drop", 0, Saved, "", 0, GoesOn},
    {"drop: Yes, saved", "drop", Y, Saved, "saved as.html", 0, GoesOn},
    {"drop: Yes, dialog cancelled", "drop", Y, NoName, "", 0, Stays},
    {"drop: Yes, write failed", "drop", Y, Failed, "", 0, Stays},
    {"drop: No", "drop", N, Saved, "", 0, GoesOn},
    {"drop: Cancel", "drop", C, Saved, "", 0, Stays},
};

const QString kUnsupported =
    "The drag and drop command could not be completed because the data is in an invalid "
    "format or is not supported.";

struct NewButtonRow {
    const char* name;
    QString button;
    bool templatePresent;
    int typedAnswer = 0;  // text typed while the window is open, and the answer to its prompt
} const kNewButtons[] = {
    {"New", "Command1", true},
    {"Load Blank", "Command4", true},
    {"Load Blank without template", "Command4", false},
    {"Cancel", "Command2", true},
    {"New, text typed meanwhile, Cancel", "Command1", true, Dialogs::Cancel},
    {"Load Blank, text typed meanwhile, No", "Command4", true, Dialogs::No},
};

struct DropRow {
    const char* name;
    QString kind;
    bool startEmpty;
} const kDrops[] = {
    {"one file, empty area", "one", true},
    {"three files", "three", false},
    {"text only", "text", false},
    {"text onto empty area", "text", true},
    {"image", "image", false},
    {"empty list", "empty", false},
    {"remote URL", "remote", false},
    {"unreadable file", "missing", false},
};

// The PDF's text, page by page, each page as its non-empty lines.
QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<QStringList> pagesOf(const QString& pdf) {
    QList<QStringList> pages;
    for (const QString& page : run("pdftotext", {"-layout", pdf, "-"}).split('\f')) {
        QStringList lines;
        for (const QString& line : page.split('\n'))
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        if (!lines.isEmpty())
            pages << lines;
    }
    return pages;
}

struct RoundTripRow {
    const char* name;
    QByteArray bytes;
    bool utf8;
} const kRoundTrips[] = {
    {"empty", "", true},
    {"CR LF", "one\r\ntwo\r\n", true},
    {"lone LF", "one\ntwo\n", true},
    {"lone CR", "one\rtwo\r", true},
    {"mixed ends", "a\r\nb\nc\rd\n\r", true},
    {"NUL", QByteArray("a\0b\0\0c", 6), true},
    {"only NUL", QByteArray(1, '\0'), true},
    {"every byte",
     [] {
         QByteArray all;
         for (int c = 0; c <= 0xFF; ++c)
             all.append(char(c));
         return all;
     }(),
     false},
    {"Latin-1 page", "<p>caf\xe9 \xa9 1999</p>", false},
    {"invalid UTF-8", "ok \xc3\x28 \xed\xa0\x80 \xf8", false},
    {"truncated UTF-8", "end \xe2\x82", false},
    {"overlong", "\xc0\xaf", false},
    {"lone continuation",
     "a\x80"
     "b",
     false},
    {"UTF-8", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", true},
    {"UTF-8 BOM", "\xef\xbb\xbf<html>\r\n", true},
};

const QByteArray kPrinted("<html>\r\nalpha line here\r\nSECOND line\r\n</html>");
const QString kWhole = "<html>|alpha line here|SECOND line|</html>";
struct PrintRow {
    const char* name;
    QString fileName;
    QByteArray document;
    int selFrom, selTo;
    QString expected;  // the first page's lines after the program's name, joined by '|'
} const kPrints[] = {
    {"untitled", "", kPrinted, 0, 0, "Untitled Document.|" + kWhole},
    {"named", "/home/user/my page.html", kPrinted, 0, 0, "/home/user/my page.html|" + kWhole},
    {"selection only", "/srv/a.html", kPrinted, 14, 29, "/srv/a.html|line here|SECO"},
    {"selection within a line", "", kPrinted, 10, 15, "Untitled Document.|pha l"},
    {"empty document", "", "", 0, 0, "Untitled Document."},
    {"8-bit text", "", "caf\xe9 cr\xe8me", 0, 0, "Untitled Document.|caf\u00e9 cr\u00e8me"},
};

// Targets a save cannot write: the system's reason, and whether another name would do.
struct SaveFailureRow {
    const char* name;
    QString target;  // relative: in the test folder
    int error;
    bool otherName;
} const kSaveFailures[] = {
    {"missing", "no folder/page.html", ENOENT, true},
    {"directory", "a folder.html", EISDIR, true},
    {"full", "/dev/full", ENOSPC, false},
    {"limit", "limit/limited.html", EFBIG, false},
};

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;
    QString pdf_;

    QString path(const QString& name) const { return f.path(name); }
    const QList<ScriptedDialogs::Call>& calls() const { return f.dialogs.calls(); }
    // The document as one line: its bytes (as Latin-1), file name, caption and change flag.
    QString doc() {
        return QStringLiteral("%1|%2|%3|%4")
            .arg(QString::fromLatin1(f.bytes()), f.fileName(), f->caption())
            .arg(f.docChanged());
    }

  private slots:
    void init() {
        f.reset();
        for (const QString& name :
             QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QVERIFY(QFileInfo(path(name)).isDir() ? QDir(path(name)).removeRecursively()
                                                  : QFile::remove(path(name)));
        f.start(false, true);
        pdf_ =
            path(QString("%1-%2.pdf").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        f.setChoosePrinter([this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf_);
            return true;
        });
    }
    void cleanup() { f.finish(); }

    // While a file is read the pointer shows that the program is busy (a large page takes
    // seconds), and it is the user's own again afterwards.
    void busyWhileReading() {
        const QString file = path("page.html");
        writeFile(file, QByteArray(1 << 20, 'x'));
        int shapeWhileReading = -1;
        const auto watch = connect(&f.text(), &QsciScintilla::textChanged, this, [&] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            shapeWhileReading = cursor ? int(cursor->shape()) : -1;
        });
        f.load(file);
        disconnect(watch);
        QCOMPARE(shapeWhileReading, int(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f.bytes().size(), 1 << 20);
    }

    // Every way out of the document: when it asks, what it asks, and what each answer does,
    // including a Yes whose save did not happen.
    void savePrompt_data() { addRows(kPrompts); }
    void savePrompt() {
        const auto& [name, c, answer, outcome, savedTo, saveAnswer, after] = fetchRow(kPrompts);
        const QString command = c;
        const bool isDrop = command == "drop";
        const QString docPath = path("doc.html");
        const QString other = path("other.html");
        writeFile(docPath, "old");
        writeFile(other, "other file");
        // The document: named, unnamed (Save turns into Save As), or named for a folder.
        if (outcome == Saved) {
            f.load(docPath);
        } else {
            if (outcome == Failed) {
                QVERIFY(QDir().mkpath(path("a folder")));
                f.fileName() = path("a folder");
                f->setCaption(Caption::forPath(f.fileName()));
            }
            f.text().setBytes("old");
        }
        f.text().setSelStart(3);
        f.text().setSelText(" typed");
        if (!answer && (command == "mnuFileClose" || isDrop))
            f.setText({}, 0, 0, 1);  // everything but the condition would ask
        else if (!answer)
            f.docChanged() = 0;
        const QByteArray before = f.bytes();
        const QString captionBefore = f->caption();
        f.saveAnswer() = 0;

        // The script: the prompt, then what its save asks, then what the command asks.
        if (answer)
            f.dialogs.answer(answer);
        if (answer == Y && (isDrop || outcome == NoName))
            f.dialogs.answerFile(outcome == NoName   ? QString()
                                 : outcome == Failed ? path("a folder")
                                                     : path("saved as.html"));
        if (answer == Y && outcome == Failed)
            f.dialogs.answer(Dialogs::Ok);
        if (after == GoesOn && command == "mnuFileOpen")
            f.dialogs.answerFile(other);
        bool closed = false;
        if (isDrop)
            QVERIFY(f.drop(f.files({other})));
        else if (command == "close request")
            closed = f->close();
        else
            QVERIFY(f->runCommand(command));

        // Every dialog is scripted: anything more or less is reported by cleanup().
        if (answer)
            QCOMPARE(f.dialogs.shown(0), promptFor(command));
        if (isDrop && answer == Y)  // even for a named document, with no name offered
            QCOMPARE(calls()[1].request.fileName, QString());
        for (const QString file : {"doc.html", "saved as.html"})
            QCOMPARE(readFile(path(file)), file == savedTo      ? QByteArray("old typed\r\n")
                                           : file == "doc.html" ? QByteArray("old")
                                                                : QByteArray("<unreadable>"));
        QCOMPARE(f.saveAnswer(), saveAnswer);
        QCOMPARE(closed, command == "close request" && after == Ends);
        if (after == Stays) {
            QCOMPARE(f.bytes(), before);
            QCOMPARE(f.docChanged(), qint16(1));
            QVERIFY(f->isVisible() && f.ended == 0 && !f.newWindow());
            if (outcome != NoName)
                QCOMPARE(f->caption(), captionBefore);
        } else if (after == Ends) {
            QVERIFY(!f->isVisible());
            QCOMPARE(f.ended, 1);
        } else {
            QCOMPARE(f.docChanged(), qint16(0));
            if (command == "mnuFileNew")
                QVERIFY(f.newWindow() && f.newWindow()->isVisible());
            else if (command == "mnuFileClose")
                QVERIFY(f.text().isEmpty() && f->caption() == Caption::kNoDocument);
            else
                QCOMPARE(doc(), "other file|" + other + "|Quindo- " + other + "|0");
        }
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

    // Close empties an 8-bit text into a UTF-8 one and keeps the name.
    void closeEmptiesButKeepsTheName() {
        const QString file = path("page.html");
        writeFile(file, "caf\xe9");
        f.load(file);
        QVERIFY(!f.text().isUtf8());
        // Close asks even for an unchanged document while the area holds text.
        f.dialogs.answer(Dialogs::No);
        f->runCommand("mnuFileClose");
        QCOMPARE(calls().size(), 1);
        QVERIFY(f.text().isEmpty() && f.text().isUtf8());
        QCOMPARE(f.fileName(), file);
        // Save then asks for a name instead of writing over the old file.
        f.text().setBytes("new");
        f.dialogs.answerFile({});
        QVERIFY(!f.save());
        QCOMPARE(calls().last().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(readFile(file), QByteArray("caf\xe9"));
        QCOMPARE(f.fileName(), QString());
    }

    void openSaveAndTheirDialogs() {
        const QString file = path("Page.HTML");
        writeFile(file, "<p>hi</p>");
        f.dialogFileName() = path("remembered.html");
        f.dialogs.answerFile(file);
        f->runCommand("mnuFileOpen");
        QCOMPARE(calls()[0].request.fileName, path("remembered.html"));
        QCOMPARE(calls()[0].request.filter, QString("HTML or Text Files (*.HTM* *.txt)"));
        QCOMPARE(calls()[0].request.defaultSuffix, QString("html"));
        QCOMPARE(f.bytes(), QByteArray("<p>hi</p>"));
        QCOMPARE(f.dialogFileName(), file);
        // Save writes back to the same path without a dialog.
        f.text().setSelStart(0);
        f.text().setSelText("x");
        QVERIFY(f.save());
        QCOMPARE(readFile(file), QByteArray("x<p>hi</p>\r\n"));
        QCOMPARE(f.docChanged(), qint16(0));
        // Save As starts from the shared name.
        const QString copy = path("copy.html");
        f.dialogs.answerFile(copy);
        QVERIFY(f.saveAs());
        QCOMPARE(calls()[1].request.fileName, file);
        QCOMPARE(calls()[1].request.filter, QString("HTML Files (*.HTM*)"));
        QCOMPARE(calls()[1].request.defaultSuffix, QString("html"));
        QCOMPARE(f->caption(), "Quindo- " + copy);
        QCOMPARE(f.dialogFileName(), copy);
        // Save As cancelled empties the name and leaves the caption.
        f.dialogs.answerFile({});
        QVERIFY(!f.saveAs());
        QCOMPARE(f.fileName(), QString());
        QCOMPARE(f->caption(), "Quindo- " + copy);
    }

    // One non-modal window, centred, focus on New, then Cancel, then Load Blank.
    void newWindowFocusAndPlace() {
        f->runCommand("mnuFileNew");
        frmNew* n = f.newWindow();
        QVERIFY(n && QTest::qWaitForWindowExposed(n));
        QVERIFY((n->windowFlags() & Qt::Tool) && !n->isModal());
        QTRY_COMPARE(QApplication::focusWidget(), n->findChild<QWidget*>("Command1"));
        QWidget* at = QApplication::focusWidget();
        for (const char* next : {"Command2", "Command4"}) {
            do
                at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus);
            QCOMPARE(at, n->findChild<QWidget*>(next));
        }
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((n->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        // New again shows the same one.
        f->runCommand("mnuFileNew");
        QCOMPARE(f.newWindow(), n);
        QCOMPARE(f->findChildren<frmNew*>().size(), 1);
        // New over the empty document leaves it unchanged.
        QTest::mouseClick(n->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(f.docChanged(), qint16(0));
    }

    void newWindowButtons_data() { addRows(kNewButtons); }
    void newWindowButtons() {
        const auto& [name, button, templatePresent, typedAnswer] = fetchRow(kNewButtons);
        const QString file = path("before.html");
        writeFile(file, "before");
        f.load(file);
        f.dialogFileName() = file;
        f->runCommand("mnuFileNew");
        if (!templatePresent) {
            ProgramInfo::setProgramFolder(f.dir.path());
            f.dialogs.answer(Dialogs::Ok);
        }
        // Text typed while the window is open is not thrown away unasked.
        if (typedAnswer) {
            f.text().setBytes("typed meanwhile");
            f.dialogs.answer(typedAnswer);
        }
        QTest::mouseClick(f.newWindow()->findChild<QPushButton*>(button), Qt::LeftButton);
        ProgramInfo::setProgramFolder(QStringLiteral(QUINDO_BUILD_DIR));
        if (typedAnswer) {
            QCOMPARE(f.dialogs.shown(0), promptFor("mnuFileNew"));
            if (typedAnswer == Dialogs::Cancel) {
                QCOMPARE(f.bytes(), QByteArray("typed meanwhile"));
                QVERIFY(f.newWindow());
                return;
            }
        }
        QTRY_VERIFY(!f.newWindow());
        const QString blank = QString::fromLatin1(
            templatePresent ? readFile(ProgramInfo::besideProgram("blank.html")) : QByteArray());
        QCOMPARE(doc(), button == "Command2" ? "before|" + file + "|Quindo- " + file + "|0"
                        : button == "Command1"
                            ? "|" + file + "|" + Caption::kNewUntitled + "|1"
                            : blank + "|" + file + "|" + Caption::kBlankTemplate + "|1");
        QCOMPARE(f.dialogFileName(), button == "Command2" ? file : QString());
        if (!templatePresent)
            QCOMPARE(f.dialogs.shown(0), f.dialogs.box("Can't open file: " + f.path("blank.html")));
        if (button == "Command1")
            QVERIFY(f.text().hasFocus() || QApplication::focusWidget() == &f.text());
        if (button == "Command2")
            return;
        // An unnamed caption: Save asks for a name.
        f.dialogs.answerFile({});
        QVERIFY(!f.save());
        QCOMPARE(readFile(file), QByteArray("before"));
    }

    void drops_data() { addRows(kDrops); }
    void drops() {
        const auto& [name, kind, startEmpty] = fetchRow(kDrops);
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
        if (!startEmpty)
            QCOMPARE(calls()[0].title, QString("Drag and Drop Load"));
        QCOMPARE(f.saveAnswer(), qint16(0));
        const QString gone = path("gone.html");
        if (loads) {
            QCOMPARE(doc(), "first \u00e9|" + first + "|Quindo- " + first + "|0");
            QVERIFY(!f.text().isUtf8());
        } else if (kind == "missing") {
            QCOMPARE(f.dialogs.shown(1), f.dialogs.box("Can't open file: " + gone));
            QCOMPARE(doc(), "|" + gone + "|Quindo- " + gone + "|0");
        } else {
            QCOMPARE(f.dialogs.shown(startEmpty ? 0 : 1), f.dialogs.box(kUnsupported, "Quindo"));
            // Nothing was inserted.
            QCOMPARE(doc(),
                     (startEmpty ? "" : "mine") + QString("||") + Caption::kNoDocument + "|1");
        }
    }

    void pictureButtonsRunTheFileCommands() {
        // New document, with its prompt.
        f.text().setBytes("x");
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
    // ---- paths that used to lose typed text or damage a file

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
            for (const char* kind : {"fifo", "link loop", "missing"})
                QTest::addRow("%s, %s", road, kind) << kind << road;
        }
        QTest::newRow("open, /proc/self/mem") << "mem"
                                              << "open";
    }
    void unreadablePaths() {
        QFETCH(QString, kind);
        QFETCH(QString, road);
        QString target = f.path(QString(QTest::currentDataTag()).replace('/', '-') + ".html");
        if (kind == "mem") {
            target = "/proc/self/mem";
        } else if (kind != "missing") {
            makeNode(kind, target);
        }
        writeFile(f.path("before.html"), "the text so far");
        f.load(f.path("before.html"));
        if (road == "open")
            f.select(3, 8);  // the selection goes before the load is tried

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
        // A missing name is taken; the command line starts with no document.
        const QString kept = kind == "missing"        ? target
                             : road == "command line" ? QString()
                                                      : f.path("before.html");
        QCOMPARE(f.fileName(), kept);
        QCOMPARE(f->caption(), kept.isEmpty() ? "Quindo HTML Editor" : "Quindo- " + kept);
        if (road == "command line")
            return;
        // Open takes the selection away before the load; a missing file dropped empties the text.
        const QByteArray text = kind != "missing" ? "the text so far"
                                : road == "open"  ? "the so far"
                                                  : "";
        QCOMPARE(f.bytes(), text);
        // A following Save writes the name taken, and nothing over a path it could not read.
        if (kind != "mem") {
            QVERIFY(f.save());
            QCOMPARE(readFile(kind == "missing" ? target : f.path("before.html")), text + "\r\n");
        }
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

    // ---- load and save ----------------------------------------------------------------

    void roundTrip_data() { addRows(kRoundTrips); }
    void roundTrip() {
        const auto& [name, bytes, utf8] = fetchRow(kRoundTrips);
        writeFile(path("source.html"), bytes);
        f.load(path("source.html"));
        QCOMPARE(f.text().isUtf8(), utf8);
        QCOMPARE(f.bytes(), bytes);
        QVERIFY(!f.text().isUndoAvailable());  // the load is not undoable
        QVERIFY(f.saveFileAs(path("saved.html")));
        QCOMPARE(readFile(path("saved.html")), bytes + "\r\n");
        QCOMPARE(f.docChanged(), qint16(0));
    }

    // Save asks before writing over changes another program made to the file since it was
    // read; No leaves file and document as they were. A deleted file is written again.
    void saveAsksAboutOutsideChanges_data() {
        QTest::addColumn<QString>("outside");
        QTest::addColumn<int>("answer");  // 0: not asked
        QTest::newRow("untouched") << "" << 0;
        QTest::newRow("changed, Yes") << "changed" << int(Dialogs::Yes);
        QTest::newRow("changed, No") << "changed" << int(Dialogs::No);
        QTest::newRow("same size, newer") << "touched" << int(Dialogs::No);
        QTest::newRow("deleted") << "deleted" << 0;
        QTest::newRow("changed after a save, Yes") << "saved, changed" << int(Dialogs::Yes);
    }
    void saveAsksAboutOutsideChanges() {
        QFETCH(QString, outside);
        QFETCH(int, answer);
        const QString file = path("page.html");
        writeFile(file, "<P>old</P>");
        f.load(file);
        f.text().setSelStart(0);
        f.text().setSelText("typed ");
        if (outside.startsWith("saved")) {
            QVERIFY(f.save());
            f.text().setSelText("more ");
        }
        const QByteArray outsideText = outside == "touched" ? "<P>OLD</P>" : "<P>theirs</P>";
        if (outside == "deleted") {
            QVERIFY(QFile::remove(file));
        } else if (!outside.isEmpty()) {
            writeFile(file, outsideText);
            // An hour later, so that a coarse clock still tells the versions apart.
            QFile handle(file);
            QVERIFY(handle.open(QIODevice::ReadWrite));
            QVERIFY(handle.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                                       QFileDevice::FileModificationTime));
        }
        const QByteArray typed = f.bytes();
        const QString caption = f->caption();
        if (answer)
            f.dialogs.answer(answer);
        const bool saved = f.save();

        if (answer)
            QCOMPARE(f.dialogs.shown(0),
                     f.dialogs.box(file + " was changed by another program after Quindo opened "
                                          "it. Replace it with the text in Quindo?",
                                   "quindo", Dialogs::Buttons::YesNo, Dialogs::Icon::Exclamation));
        QCOMPARE(saved, answer != Dialogs::No);
        QCOMPARE(readFile(file), saved ? typed + "\r\n" : outsideText);
        QCOMPARE(doc(),
                 QString::fromLatin1(typed) + "|" + file + "|" + caption + (saved ? "|0" : "|1"));
        // What was just written is Quindo's own: the next Save asks nothing.
        if (saved)
            QVERIFY(f.save());
    }

    // A file too large for the editing area, or for the memory left, is refused through
    // Open with the reason; the document stays as it was and the program goes on.
    void openRefusesHugeFiles_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("reason");
        QTest::newRow("just over 2 GiB")
            << (qint64(2) << 30) + 1 << "Quindo opens files up to 2 GiB";
        QTest::newRow("4 TiB") << (qint64(4) << 40)
                               << "Not enough memory to open a file of 4398046511104 bytes";
    }
    void openRefusesHugeFiles() {
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        const QString kept = path("kept.html");
        writeFile(kept, "<P>kept</P>");
        f.load(kept);
        f.text().setSelStart(3);
        // Sparse: the size costs nothing on disk.
        const QString huge = path("huge.html");
        writeFile(huge, "<P>");
        QVERIFY2(::truncate(QFile::encodeName(huge).constData(), size) == 0, std::strerror(errno));
        f.dialogs.answerFile(huge);
        f.dialogs.answer(Dialogs::Ok);
        QVERIFY(f->runCommand("mnuFileOpen"));
        QCOMPARE(f.dialogs.shown(1), f.dialogs.box("Can't open file: " + huge + "\n" + reason));
        QCOMPARE(doc(), "<P>kept</P>|" + kept + "|Quindo- " + kept + "|0");
        QCOMPARE(f.text().selStart(), qint64(3));
    }

    // Every failed write leaves the target as it was, reports the system's reason and
    // keeps the document changed, so Exit still asks.
    void saveFailure_data() { addRows(kSaveFailures); }
    void saveFailure() {
        const auto& r = fetchRow(kSaveFailures);
        const QString kind = r.name;
        const QString target = r.target.startsWith('/') ? r.target : path(r.target);
        const QByteArray old(1000, 'o');
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(target));
            writeFile(target + "/inside.txt", "inside");
        } else if (kind == "limit") {
            QVERIFY(QDir().mkpath(path("limit")));
            writeFile(target, old);
        }
        const QString message = f.dialogs.box(
            "Can't save " + target + ": " + QString::fromLocal8Bit(std::strerror(r.error)) +
                (r.otherName ? "\nUse Save As to save the document under another name." : ""),
            "quindo", Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        const QByteArray precious(64 * 1024, 'p');
        f.text().setBytes(precious);
        // Save As, then Save (which asks for a name again, starting on the failed one).
        for (const bool asAs : {true, false}) {
            f.dialogs.clear();
            f.dialogs.answerFile(target);
            f.dialogs.answer(Dialogs::Ok);
            std::optional<FileSizeLimit> limit;
            if (kind == "limit")
                limit.emplace(4096);
            const bool saved = asAs ? f.saveAs() : f.save();
            limit.reset();
            QVERIFY(!saved);
            QCOMPARE(calls()[0].request.fileName, asAs ? QString() : target);
            QCOMPARE(f.dialogs.shown(1), message);
            QCOMPARE(doc(), QString::fromLatin1(precious) + "||" + Caption::kNoDocument + "|1");
            // What was there before is still there, as it was.
            if (kind == "directory")
                QCOMPARE(readFile(target + "/inside.txt"), QByteArray("inside"));
            else if (kind == "limit")
                QCOMPARE(QDir(path("limit")).entryList(QDir::Files | QDir::System),
                         QStringList{"limited.html"});
            else
                QVERIFY(!QFileInfo(target).isFile() && !QFileInfo::exists(path("no folder")));
            if (kind == "limit")
                QCOMPARE(readFile(target), old);
        }
        // Exit asks; Cancel keeps the program and the text.
        f.dialogs.clear();
        f.dialogs.answer(Dialogs::Cancel);
        f->runCommand("mnuFileExit");
        QCOMPARE(f.dialogs.shown(0), promptFor("mnuFileExit"));
        QVERIFY(f->isVisible());
        QCOMPARE(f.bytes(), precious);
    }

    // A save through a symbolic link writes the file it names; a new file gets the usual
    // permissions; no temporary file is left beside them.
    void saveThroughALinkAndANewFile() {
        QTemporaryDir own;
        const QString file = own.filePath("shared.html");
        const QString link = own.filePath("link.html");
        writeFile(file, "old");
        QVERIFY(QFile::link(file, link));
        f.text().setBytes("new text");
        QVERIFY(f.saveFileAs(link));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(file), QByteArray("new text\r\n"));
        QVERIFY(f.saveFileAs(own.filePath("fresh.html")));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(own.filePath("fresh.html")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 (QStringList{"fresh.html", "link.html", "shared.html"}));
    }

    // ---- print --------------------------------------------------------------------------

    // The program's name and the document's in bold on the first page, then the selection
    // or the whole text; the document is left as it was.
    void print_data() { addRows(kPrints); }
    void print() {
        const auto& [name, fileName, document, selFrom, selTo, expected] = fetchRow(kPrints);
        f.fileName() = fileName;
        f.setText(document, selFrom, selTo);
        f->action("mnuFilePrint")->trigger();
        const QList<QStringList> pages = pagesOf(pdf_);
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages[0].value(0).startsWith("Quindo HTML Editor"),
                 qPrintable(pages[0].join('|')));
        QCOMPARE(pages[0].mid(1).join('|'), expected);
        QCOMPARE(f.bytes(), document);
        QCOMPARE(f.docChanged(), qint16(0));
        QCOMPARE(f.fileName(), fileName);
        // The header is bold, the text is not.
        const QString fonts = run("pdffonts", {pdf_});
        QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));
        bool plain = false;
        for (const QString& line : fonts.split('\n').mid(2))
            plain = plain || (!line.isEmpty() && !line.section(' ', 0, 0).contains("Bold"));
        QVERIFY2(plain || document.isEmpty(), qPrintable(fonts));
    }

    void longDocumentHasHeaderOnFirstPageOnly() {
        QByteArray doc;
        for (int i = 1; i <= 150; ++i)
            doc += "line " + QByteArray::number(i) + "\r\n";
        f->Text1().setBytes(doc);
        f->runCommand("mnuFilePrint");
        const QList<QStringList> pages = pagesOf(pdf_);
        QVERIFY(pages.size() >= 2);
        QVERIFY(pages[0][0].startsWith("Quindo HTML Editor"));
        QCOMPARE(pages[0].mid(1, 2), (QStringList{"Untitled Document.", "line 1"}));
        QVERIFY(pages[1][0].startsWith("line "));
        QCOMPARE(pages.last().last(), QString("line 150"));
        // Without a printer nothing is printed.
        QFile::remove(pdf_);
        f.setChoosePrinter([](QPrinter&) { return false; });
        f->runCommand("mnuFilePrint");
        QVERIFY(!QFileInfo::exists(pdf_));
    }
};

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
