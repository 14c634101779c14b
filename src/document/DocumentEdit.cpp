// SPDX-License-Identifier: GPL-3.0-or-later
// The document's Edit commands (the clipboard) and printing.
#include "document/Document.h"
#include "document/DocumentPrinter.h"
#include "platform/Cp1252.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// Text crosses to and from the clipboard the way the editing area shows its bytes: as
// UTF-8, or as Windows-1252 in 8-bit mode (the same conversion as its own paste, so a
// character the code page lacks arrives as a numeric character reference).
QString textOf(const EditingArea& area, QByteArrayView bytes) {
    return area.isUtf8() ? QString::fromUtf8(bytes) : Cp1252::toText(bytes);
}

QByteArray bytesOf(const EditingArea& area, const QString& text) {
    return area.isUtf8() ? text.toUtf8() : Cp1252::toBytes(text);
}

// Every put empties the clipboard first, so it holds that plain text and nothing else.
void putOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace

void Document::mnuFilePrint_Click() {
    DocumentPrinter::print(host_.editingArea(), state_.CurrentFileName, choosePrinter_);
}

void Document::mnuEditCut_Click() {
    EditingArea& text = host_.editingArea();
    putOnClipboard(textOf(text, text.selectedBytes()));
    text.setSelText({});
    text.SetFocus();
}

void Document::mnuEditCopy_Click() {
    EditingArea& text = host_.editingArea();
    putOnClipboard(textOf(text, text.selectedBytes()));
    text.SetFocus();
}

void Document::mnuEditPaste_Click() {
    EditingArea& text = host_.editingArea();
    // No text on the clipboard pastes the empty text: the selection goes.
    text.setSelText(bytesOf(text, QGuiApplication::clipboard()->text()));
}

void Document::mnucutall_Click() {
    EditingArea& text = host_.editingArea();
    putOnClipboard(textOf(text, text.bytes()));
    // One ordinary edit, which Undo takes back; the display mode and line ends stay.
    text.selectAll();
    text.setSelText({});
    text.SetFocus();
}

void Document::mnucopyall_Click() {
    EditingArea& text = host_.editingArea();
    putOnClipboard(textOf(text, text.bytes()));
    text.SetFocus();
}
