// Tag insertion: the caret rule, the snippet catalogue and the colour selector.
#include "ui/frmMain.h"

void frmMain::InsertAtCaret(const QByteArray&, std::optional<qint64>) {}

bool frmMain::runSnippet(const QString&) {
    return false;
}

void frmMain::Command10_Click() {}
void frmMain::mnucolorf_Click() {}
