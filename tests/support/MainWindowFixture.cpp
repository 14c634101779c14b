// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

#include "app/SettingsStore.h"
#include "browser/BrowserPreference.h"
#include "browser/frmOptions.h"
#include "document/DocumentPrinter.h"
#include "document/DocumentState.h"
#include "document/frmNew.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QApplication>
#include <QDropEvent>

MainWindowFixture::MainWindowFixture() {
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::reset(const QString& run) {
    env.resetSettings();
    if (!run.isEmpty()) {
        SettingsStore::write("Run", "Value", run);
    }
    dialogs.clear();
    ended = 0;
}

frmMain& MainWindowFixture::start(bool formLoad, bool show, const QString& commandLine,
                                  Dialogs* otherDialogs) {
    window_.reset();
    window_ = std::make_unique<frmMain>(otherDialogs ? *otherDialogs : dialogs, commandLine);
    window_->endProgram = [this] { ++ended; };
    if (formLoad) {
        window_->Form_Load();
    }
    if (show) {
        window_->show();
        window_->activateWindow();
        if (!QTest::qWaitForWindowActive(window_.get())) {
            qWarning("main window not active");
        }
    }
    return *window_;
}

std::unique_ptr<frmMain> MainWindowFixture::another(const QString& commandLine) {
    return std::make_unique<frmMain>(dialogs, commandLine);
}

void MainWindowFixture::finish() {
    if (window_) {
        window_->SaveAnswer = 1000;  // nothing asks on the way out of a test
        window_.reset();
    }
    checkDialogs();
}

void MainWindowFixture::checkDialogs() {
    QVERIFY2(dialogs.unexpected().isEmpty(), qPrintable(dialogs.unexpected().join("; ")));
    QCOMPARE(dialogs.pending(), 0);
}

EditingArea& MainWindowFixture::text() { return window_->Text1(); }
QByteArray MainWindowFixture::bytes() { return window_->Text1().bytes().toByteArray(); }

void MainWindowFixture::setText(const QByteArray& bytes, qint64 from, qint64 to,
                                qint16 changed) {
    text().setBytes(bytes);
    select(from, to);
    window_->DocChanged = changed;
}

void MainWindowFixture::select(qint64 from, qint64 to) {
    text().SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from),
                         static_cast<long>(to));
}

QString& MainWindowFixture::fileName() { return window_->CurrentFileName; }
qint16& MainWindowFixture::docChanged() { return window_->DocChanged; }
qint16& MainWindowFixture::saveAnswer() { return window_->SaveAnswer; }
QString& MainWindowFixture::dialogFileName() { return window_->dialogFileName; }

void MainWindowFixture::setEndProgram(std::function<void()> end) {
    window_->endProgram = std::move(end);
}

void MainWindowFixture::setChoosePrinter(std::function<bool(QPrinter&)> choose) {
    window_->choosePrinter = std::move(choose);
}

void MainWindowFixture::load(const QString& file) {
    window_->CurrentFileName = file;
    window_->OpenFile(file);
    window_->setCaption(Caption::forPath(file));
    window_->DocChanged = 0;
}

void MainWindowFixture::openFile(const QString& file) { window_->OpenFile(file); }
bool MainWindowFixture::saveFileAs(const QString& file) { return window_->SaveFileAs(file); }
bool MainWindowFixture::save() { return window_->mnuFileSave_Click(); }
bool MainWindowFixture::saveAs() { return window_->mnuFileSaveAs_Click(); }
bool MainWindowFixture::askSaveCurrentDocument() { return window_->askSaveCurrentDocument(); }

void MainWindowFixture::insertAtCaret(const QByteArray& text, std::optional<qint64> stepBack) {
    window_->InsertAtCaret(text, stepBack);
}

void MainWindowFixture::print() { DocumentPrinter::print(*window_); }
void MainWindowFixture::showOptions() { ShowOptionsWindow(*window_); }

frmOptions* MainWindowFixture::options() {
    return qobject_cast<frmOptions*>(window_->secondaryWindow(QStringLiteral("frmOptions")));
}

frmNew* MainWindowFixture::newWindow() {
    return qobject_cast<frmNew*>(window_->secondaryWindow(QStringLiteral("frmNew")));
}

bool MainWindowFixture::drop(QMimeData* data) {
    QWidget* viewport = text().viewport();
    const QPoint at(20, 20);
    const auto actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent dropped(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
    const bool accepted =
        enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    delete data;
    QTest::qWait(20);  // the drop is handled once the drag is over
    return accepted;
}

QMimeData* MainWindowFixture::files(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) {
        urls << QUrl::fromLocalFile(p);
    }
    data->setUrls(urls);
    return data;
}
