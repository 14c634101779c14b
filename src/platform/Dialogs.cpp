// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <unistd.h>

namespace {

// A folder the user can create files in. access() answers for the real user, and a
// read-only file system refuses root as well.
bool writable(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// Qt's own dialog reads a '"' in the typed name as the start of a list of quoted names
// ("one" "two"), so `a " b.html` would be taken for ` b.html`. A typed name with a quote
// is taken here whole, as the user typed it, in the dialog's folder.
class DocumentDialog : public QFileDialog {
  public:
    DocumentDialog(QWidget* parent, QFileDialog::AcceptMode mode) : QFileDialog(parent) {
        setOption(QFileDialog::DontUseNativeDialog, true);
        setAcceptMode(mode);
        if (QLineEdit* edit = nameEdit()) {
            // Qt's own check of the name runs first and may find no name in it.
            connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
                if (text.contains(QLatin1Char('"')) && fileMode() == QFileDialog::AnyFile &&
                    acceptButton()) {
                    acceptButton()->setEnabled(true);
                }
            });
        }
    }

    // The chosen full path, or an empty string.
    QString chosen() const {
        if (!typed_.isEmpty()) {
            return typed_;
        }
        return selectedFiles().isEmpty() ? QString() : selectedFiles().constFirst();
    }

    void accept() override {
        const QString text = nameEdit() ? nameEdit()->text() : QString();
        if (!text.contains(QLatin1Char('"')) || fileMode() != QFileDialog::AnyFile) {
            QFileDialog::accept();
            return;
        }
        QString name = text;
        if (name.startsWith(QStringLiteral("~/"))) {
            name = QDir::homePath() + name.mid(1);
        }
        QString path = QDir::cleanPath(directory().absoluteFilePath(name));
        if (QFileInfo(path).isDir()) {
            setDirectory(path);
            nameEdit()->clear();
            return;
        }
        if (!defaultSuffix().isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
            path += QLatin1Char('.') + defaultSuffix();
        }
        const QFileInfo target(path);
        if (acceptMode() == QFileDialog::AcceptSave && target.exists() &&
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(target.fileName()),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes) {
            return;
        }
        typed_ = path;
        QDialog::accept();
    }

  private:
    QLineEdit* nameEdit() const { return findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }
    QPushButton* acceptButton() const {
        auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        return buttons ? buttons->button(acceptMode() == QFileDialog::AcceptSave
                                             ? QDialogButtonBox::Save
                                             : QDialogButtonBox::Open)
                       : nullptr;
    }
    QString typed_;
};

DocumentDialog* makeFileDialog(QWidget* parent, const Dialogs::FileRequest& request,
                               QFileDialog::AcceptMode mode) {
    auto* dialog = new DocumentDialog(parent, mode);
    dialog->setNameFilter(request.filter);
    // Qt's own dialog: it matches the name patterns whatever the case of a name (so
    // "*.HTM*" shows page.html), where a desktop's native dialog may match them
    // case-sensitively and ignore the folder filter.
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    if (!request.defaultSuffix.isEmpty()) {
        dialog->setDefaultSuffix(request.defaultSuffix);
    }
    QString folder =
        request.fileName.isEmpty() ? request.directory : QFileInfo(request.fileName).absolutePath();
    // Nothing can be saved in a folder the user can't write into (the installed sample
    // page's, say): the save dialog starts in the home folder instead, on the same name.
    if (mode == QFileDialog::AcceptSave && !folder.isEmpty() && !writable(folder)) {
        folder = QDir::homePath();
    }
    if (!folder.isEmpty()) {
        dialog->setDirectory(folder);
    }
    if (!request.fileName.isEmpty()) {
        dialog->selectFile(QFileInfo(request.fileName).fileName());
    }
    return dialog;
}

QString runFileDialog(DocumentDialog* dialog) {
    QString chosen;
    if (dialog->exec() == QDialog::Accepted) {
        chosen = dialog->chosen();
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
    DocumentDialog* dialog = makeFileDialog(parent_, request, QFileDialog::AcceptOpen);
    // A name typed that does not exist yet is taken too (with the default suffix): the
    // document then takes that name, and the first Save creates the file.
    dialog->setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

QString QtDialogs::saveFile(const FileRequest& request) {
    DocumentDialog* dialog = makeFileDialog(parent_, request, QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

QString QtDialogs::chooseProgram(const FileRequest& request) {
    DocumentDialog* dialog = makeFileDialog(parent_, request, QFileDialog::AcceptOpen);
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
