// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DocumentPrinter.h"

#include "app/ProgramInfo.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinterInfo>

#include <memory>

namespace {

constexpr int kHeaderPoints = 10;

// A hidden copy of the selection with the same styles, code page and style bytes, so the
// selection prints exactly from its first to its last character (the editing area's print
// function prints whole lines).
std::unique_ptr<EditingArea> selectionCopy(EditingArea& text) {
    const long start = text.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = text.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    auto copy = std::make_unique<EditingArea>();
    copy->setBytes(text.bytes().sliced(start, end - start));
    copy->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE,
                        text.SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE));

    for (unsigned long style = 0; style <= QsciScintillaBase::STYLE_MAX; ++style) {
        char font[128] = {};
        if (text.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style,
                               static_cast<void*>(font)) > 0) {
            copy->SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, style,
                                static_cast<const char*>(font));
        }
        for (const auto& [get, set] : {
                 std::pair{QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL,
                           QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL},
                 std::pair{QsciScintillaBase::SCI_STYLEGETWEIGHT,
                           QsciScintillaBase::SCI_STYLESETWEIGHT},
                 std::pair{QsciScintillaBase::SCI_STYLEGETITALIC,
                           QsciScintillaBase::SCI_STYLESETITALIC},
                 std::pair{QsciScintillaBase::SCI_STYLEGETUNDERLINE,
                           QsciScintillaBase::SCI_STYLESETUNDERLINE},
                 std::pair{QsciScintillaBase::SCI_STYLEGETFORE,
                           QsciScintillaBase::SCI_STYLESETFORE},
                 std::pair{QsciScintillaBase::SCI_STYLEGETBACK,
                           QsciScintillaBase::SCI_STYLESETBACK},
                 std::pair{QsciScintillaBase::SCI_STYLEGETCHARACTERSET,
                           QsciScintillaBase::SCI_STYLESETCHARACTERSET},
             }) {
            copy->SendScintilla(set, style, text.SendScintilla(get, style));
        }
    }

    const long length = end - start;
    if (length > 0) {
        QByteArray cells(2 * length + 2, '\0');
        text.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, start, end, cells.data());
        QByteArray styles(length, '\0');
        for (qsizetype i = 0; i < length; ++i) {
            styles[i] = cells[2 * i + 1];
        }
        copy->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL, 0L);
        copy->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(length),
                            styles.constData());
    }
    return copy;
}

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

void DocumentPrinter::print(frmMain& main) {
    DocumentPrinter printer(headerFor(main.CurrentFileName));
    const bool chosen =
        main.choosePrinter ? main.choosePrinter(printer) : useDefaultPrinter(printer);
    if (!chosen) {
        return;
    }
    EditingArea& text = main.Text1();
    std::unique_ptr<EditingArea> copy;
    QsciScintillaBase* source = &text;
    if (text.hasSelectedText()) {
        copy = selectionCopy(text);
        source = copy.get();
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return;
    }
    if (source->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) > 0) {
        printer.printRange(source, painter);
    } else {
        // Nothing to format: the page holds the header alone.
        QRect area(0, 0, painter.device()->width(), painter.device()->height());
        printer.formatPage(painter, true, area, 1);
    }
    painter.end();
}
