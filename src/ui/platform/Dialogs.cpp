// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/Dialogs.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

QFileDialog* makeFileDialog(QWidget* parent, const Dialogs::FileRequest& request) {
    auto* dialog = new QFileDialog(parent);
    dialog->setNameFilter(request.filter);
    // Qt's own dialog: it matches the name patterns whatever the case of a name (so
    // "*.HTM*" shows page.html), where a desktop's native dialog may match them
    // case-sensitively and ignore the folder filter.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    if (!request.defaultSuffix.isEmpty()) {
        dialog->setDefaultSuffix(request.defaultSuffix);
    }
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        dialog->setDirectory(info.absolutePath());
        dialog->selectFile(info.fileName());
    } else if (!request.directory.isEmpty()) {
        dialog->setDirectory(request.directory);
    }
    return dialog;
}

QString runFileDialog(QFileDialog* dialog) {
    QString chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().constFirst();
    }
    delete dialog;
    return chosen;
}

// A message box that remembers whether it was left by Escape or by its close box rather
// than by one of its buttons: Qt answers both with the box's escape button, which on a
// Yes/No box is No.
class EscapableBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;
    bool escaped() const { return escaped_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            escaped_ = true;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!clickedButton()) {
            escaped_ = true;
        }
        QMessageBox::closeEvent(event);
    }

  private:
    bool escaped_ = false;
};

}  // namespace

int QtDialogs::messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    EscapableBox box(parent_);
    // The texts are plain: a "<" that happens to be in one (a tag named in a warning, a
    // path) must not make Qt take it for rich text, which would swallow the tags and run
    // blanks together.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(title);
    // Modal boxes come above every other window, the always-on-top small windows (the
    // first-run welcome, the scratch pad) included, so none can hide what they ask.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            break;
    }
    const int answer = box.exec();
    if (box.escaped() && buttons != Buttons::Ok) {
        // Escape or the close box answers nothing: Cancel, also on a Yes/No box, so that
        // the caller can tell it from a No.
        return Cancel;
    }
    switch (answer) {
        case QMessageBox::Yes:
            return Yes;
        case QMessageBox::No:
            return No;
        case QMessageBox::Cancel:
            return Cancel;
        default:
            return Ok;
    }
}

QString QtDialogs::openFile(const FileRequest& request) {
    QFileDialog* dialog = makeFileDialog(parent_, request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // A name typed that does not exist yet is taken too (with the default suffix): the
    // document then takes that name, and the first Save creates the file.
    dialog->setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

QString QtDialogs::saveFile(const FileRequest& request) {
    QFileDialog* dialog = makeFileDialog(parent_, request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

QString QtDialogs::chooseProgram(const FileRequest& request) {
    QFileDialog* dialog = makeFileDialog(parent_, request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // Every file of the folder: the dialog's model lists nothing at all once a permission
    // filter such as QDir::Executable is set, and a file that is not a program is not
    // refused anyway.
    dialog->setFilter(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot);
    return runFileDialog(dialog);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent_);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return chosen;
}
