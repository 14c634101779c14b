// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

#include "app/SettingsStore.h"
#include "browser/BrowserPreference.h"
#include "browser/frmOptions.h"
#include "document/Document.h"
#include "document/DocumentState.h"
#include "document/frmNew.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

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
    window_->document().setEndProgram([this] { ++ended; });
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
        // Nothing asks on the way out of a test.
        window_->document().state().SaveAnswer = DocumentState::kExitConfirmed;
        window_.reset();
    }
    checkDialogs();
}

void MainWindowFixture::checkDialogs() {
    QVERIFY2(dialogs.unexpected().isEmpty(), qPrintable(dialogs.unexpected().join("; ")));
    QCOMPARE(dialogs.pending(), 0);
}

EditingArea& MainWindowFixture::text() {
    return window_->Text1();
}
QByteArray MainWindowFixture::bytes() {
    return window_->Text1().bytes().toByteArray();
}

void MainWindowFixture::setText(const QByteArray& bytes, qint64 from, qint64 to, qint16 changed) {
    text().setBytes(bytes);
    select(from, to);
    window_->document().state().DocChanged = changed;
}

void MainWindowFixture::select(qint64 from, qint64 to) {
    text().SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from),
                         static_cast<long>(to));
}

QString& MainWindowFixture::fileName() {
    return window_->document().state().CurrentFileName;
}
qint16& MainWindowFixture::docChanged() {
    return window_->document().state().DocChanged;
}
qint16& MainWindowFixture::saveAnswer() {
    return window_->document().state().SaveAnswer;
}
QString& MainWindowFixture::dialogFileName() {
    return window_->document().state().dialogFileName;
}

void MainWindowFixture::setChoosePrinter(std::function<bool(QPrinter&)> choose) {
    window_->document().setChoosePrinter(std::move(choose));
}

void MainWindowFixture::load(const QString& file) {
    window_->document().loadPath(file);
}

void MainWindowFixture::openFile(const QString& file) {
    window_->document().OpenFile(file);
}
bool MainWindowFixture::saveFileAs(const QString& file) {
    return window_->document().SaveFileAs(file);
}
bool MainWindowFixture::save() {
    return window_->document().mnuFileSave_Click();
}
bool MainWindowFixture::saveAs() {
    return window_->document().mnuFileSaveAs_Click();
}

void MainWindowFixture::showOptions() {
    ShowOptionsWindow(*window_);
}

frmOptions* MainWindowFixture::options() {
    return qobject_cast<frmOptions*>(window_->secondaryWindow(QStringLiteral("frmOptions")));
}

frmNew* MainWindowFixture::newWindow() {
    return qobject_cast<frmNew*>(window_->secondaryWindow(QStringLiteral("frmNew")));
}

bool MainWindowFixture::drop(QMimeData* data, Qt::DropActions actions) {
    QWidget* viewport = text().viewport();
    const QPoint at(20, 20);
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
