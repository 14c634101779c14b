// SPDX-License-Identifier: GPL-3.0-or-later
// A detached copy of the selection, for printing exactly what is selected.
#include "platform/EditingArea.h"

#include <memory>

std::unique_ptr<EditingArea> EditingArea::styledCopyOfSelection() const {
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    auto copy = std::make_unique<EditingArea>();
    copy->setBytes(bytes().sliced(start, end - start));
    copy->SendScintilla(SCI_SETCODEPAGE, SendScintilla(SCI_GETCODEPAGE));

    // The same styles: font, size, weight, slant, underline, colours and character set.
    for (unsigned long style = 0; style <= STYLE_MAX; ++style) {
        char font[128] = {};
        if (SendScintilla(SCI_STYLEGETFONT, style, static_cast<void*>(font)) > 0) {
            copy->SendScintilla(SCI_STYLESETFONT, style, static_cast<const char*>(font));
        }
        for (const auto& [get, set] : {
                 std::pair{SCI_STYLEGETSIZEFRACTIONAL, SCI_STYLESETSIZEFRACTIONAL},
                 std::pair{SCI_STYLEGETWEIGHT, SCI_STYLESETWEIGHT},
                 std::pair{SCI_STYLEGETITALIC, SCI_STYLESETITALIC},
                 std::pair{SCI_STYLEGETUNDERLINE, SCI_STYLESETUNDERLINE},
                 std::pair{SCI_STYLEGETFORE, SCI_STYLESETFORE},
                 std::pair{SCI_STYLEGETBACK, SCI_STYLESETBACK},
                 std::pair{SCI_STYLEGETCHARACTERSET, SCI_STYLESETCHARACTERSET},
             }) {
            copy->SendScintilla(set, style, SendScintilla(get, style));
        }
    }

    // And the same style byte on every character.
    const long length = end - start;
    if (length > 0) {
        QByteArray cells(2 * length + 2, '\0');
        SendScintilla(SCI_GETSTYLEDTEXT, start, end, cells.data());
        QByteArray styles(length, '\0');
        for (qsizetype i = 0; i < length; ++i) {
            styles[i] = cells[2 * i + 1];
        }
        copy->SendScintilla(SCI_STARTSTYLING, 0UL, 0L);
        copy->SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(length),
                            styles.constData());
    }
    return copy;
}
