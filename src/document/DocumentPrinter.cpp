// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DocumentPrinter.h"

#include "app/ProgramInfo.h"
#include "platform/EditingArea.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinterInfo>

#include <memory>

namespace {

constexpr int kHeaderPoints = 10;

}  // namespace

DocumentPrinter::DocumentPrinter(QStringList header) : header_(std::move(header)) {}

QStringList DocumentPrinter::headerFor(const QString& currentFileName) {
    QStringList lines{QStringLiteral("Quindo HTML Editor - ") + ProgramInfo::versionText()};
    if (currentFileName.isEmpty()) {
        lines << QStringLiteral("Untitled Document.");
    }
    lines << currentFileName;
    return lines;
}

void DocumentPrinter::formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) {
    if (pagenr != 1) {
        return;
    }
    painter.save();
    QFont font = painter.font();
    font.setPointSize(kHeaderPoints);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    int y = area.top();
    for (const QString& line : header_) {
        if (drawing) {
            painter.drawText(area.left(), y + metrics.ascent(), line);
        }
        y += metrics.lineSpacing();
    }
    painter.restore();
    // Half a line of space between the header and the text.
    area.setTop(y + metrics.lineSpacing() / 2);
}

bool DocumentPrinter::useDefaultPrinter(QPrinter& printer) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return false;
    }
    printer.setPrinterName(info.printerName());
    return true;
}

void DocumentPrinter::print(EditingArea& text, const QString& currentFileName,
                            const std::function<bool(QPrinter&)>& choosePrinter) {
    DocumentPrinter printer(headerFor(currentFileName));
    const bool chosen = choosePrinter ? choosePrinter(printer) : useDefaultPrinter(printer);
    if (!chosen) {
        return;
    }
    // The editing area prints whole lines, so a selection prints from a copy of exactly
    // the selected text.
    std::unique_ptr<EditingArea> copy;
    EditingArea* source = &text;
    if (text.hasSelectedText()) {
        copy = text.styledCopyOfSelection();
        source = copy.get();
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return;
    }
    if (!source->isEmpty()) {
        printer.printRange(source, painter);
    } else {
        // Nothing to format: the page holds the header alone.
        QRect area(0, 0, painter.device()->width(), painter.device()->height());
        printer.formatPage(painter, true, area, 1);
    }
    painter.end();
}
