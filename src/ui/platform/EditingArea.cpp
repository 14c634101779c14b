#include "ui/platform/EditingArea.h"

#include <QFont>

namespace {

// Styles whose size follows the base font: the text styles and Scintilla's predefined ones.
constexpr int kFirstPredefinedStyle = QsciScintillaBase::STYLE_DEFAULT;
constexpr int kLastPredefinedStyle = QsciScintillaBase::STYLE_FOLDDISPLAYTEXT;
constexpr int kTextStyles = 8;

}  // namespace

bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        // Skip ASCII eight bytes at a time where possible.
        while (end - p >= 8) {
            quint64 chunk;
            memcpy(&chunk, p, 8);
            if (chunk & 0x8080808080808080ULL) {
                break;
            }
            p += 8;
        }
        if (p >= end) {
            break;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        unsigned int min = 0;
        unsigned int cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            min = 0x80;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            min = 0x800;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            min = 0x10000;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

EditingArea::EditingArea(QWidget* parent) : QsciScintilla(parent) {
    // The text is never styled (no lexer), so the document keeps no style byte per
    // character: half the memory of a large page, and nothing to move on each edit. This
    // must come first: code page, end-of-line mode and indexes belong to the document.
    void* const document = reinterpret_cast<void*>(
        SendScintilla(SCI_CREATEDOCUMENT, 0UL, static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE)));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    // SETDOCPOINTER took its own reference.
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);

    // A plain text area: no margins, no folding, no lexer, no wrapping.
    for (int margin = 0; margin < 5; ++margin) {
        setMarginWidth(margin, 0);
    }
    SendScintilla(SCI_SETMARGINLEFT, 0, 3L);
    setWrapMode(WrapNone);
    // The horizontal scroll bar grows with the longest line shown instead of a fixed width.
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    // Keep the layout of every line on screen, not only the caret's: otherwise each
    // keystroke's repaint measures all visible lines again.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    setUtf8(true);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    configureCharacterIndex();

    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, "Verdana");
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, sizeHundredths_);
    SendScintilla(SCI_STYLECLEARALL);
    setBaseFontSizeHundredths(sizeHundredths_);
}

void EditingArea::configureCharacterIndex() {
    // Lets character positions be found from the line index instead of counting from the
    // start of the text, so caret work stays cheap in large documents.
    if (SendScintilla(SCI_GETLINECHARACTERINDEX) == SC_LINECHARACTERINDEX_NONE) {
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
    }
}

QByteArrayView EditingArea::bytes() const {
    auto* self = const_cast<EditingArea*>(this);
    const auto length = static_cast<qsizetype>(self->SendScintilla(SCI_GETLENGTH));
    if (length == 0) {
        return {};
    }
    const auto* data = reinterpret_cast<const char*>(self->SendScintilla(SCI_GETCHARACTERPOINTER));
    return {data, length};
}

qsizetype EditingArea::byteLength() const {
    return static_cast<qsizetype>(const_cast<EditingArea*>(this)->SendScintilla(SCI_GETLENGTH));
}

void EditingArea::setBytes(QByteArrayView text) {
    const bool utf8 = isValidUtf8(text);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_CLEARALL);
    if (utf8 != isUtf8()) {
        setUtf8(utf8);
        SendScintilla(SCI_SETCODEPAGE, utf8 ? SC_CP_UTF8 : 0);
        configureCharacterIndex();
    }
    // What Enter types follows the first line end of the text; CR LF when there is none.
    int eol = SC_EOL_CRLF;
    const qsizetype firstBreak = text.indexOf('\n') < 0 ? text.indexOf('\r')
                                 : text.indexOf('\r') < 0
                                     ? text.indexOf('\n')
                                     : std::min(text.indexOf('\n'), text.indexOf('\r'));
    if (firstBreak >= 0) {
        if (text[firstBreak] == '\n') {
            eol = SC_EOL_LF;
        } else if (firstBreak + 1 >= text.size() || text[firstBreak + 1] != '\n') {
            eol = SC_EOL_CR;
        }
    }
    SendScintilla(SCI_SETEOLMODE, eol);
    if (!text.isEmpty()) {
        // Room for the text plus some typing, in one allocation: otherwise the first
        // keystroke after a load copies the whole text into a larger buffer.
        SendScintilla(SCI_ALLOCATE,
                      static_cast<unsigned long>(text.size() + text.size() / 16 + 4096));
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0L);
}

void EditingArea::setSelText(QByteArrayView text) {
    SendScintilla(SCI_TARGETFROMSELECTION);
    const long start = SendScintilla(SCI_GETTARGETSTART);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.data());
    SendScintilla(SCI_GOTOPOS, start + static_cast<long>(text.size()));
    SendScintilla(SCI_CHOOSECARETX);
}

QByteArray EditingArea::selectedBytes() const {
    auto* self = const_cast<EditingArea*>(this);
    const long start = self->SendScintilla(SCI_GETSELECTIONSTART);
    const long end = self->SendScintilla(SCI_GETSELECTIONEND);
    return bytes().sliced(start, end - start).toByteArray();
}

qint64 EditingArea::characterFromPosition(qint64 position) const {
    auto* self = const_cast<EditingArea*>(this);
    if (!isUtf8()) {
        return position;
    }
    const long line =
        self->SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long lineStart =
        self->SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long lineIndex =
        self->SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                            static_cast<long>(SC_LINECHARACTERINDEX_UTF32));
    return lineIndex + self->SendScintilla(SCI_COUNTCHARACTERS,
                                           static_cast<unsigned long>(lineStart),
                                           static_cast<long>(position));
}

qint64 EditingArea::positionFromCharacter(qint64 characters) const {
    auto* self = const_cast<EditingArea*>(this);
    const qint64 length = byteLength();
    if (characters <= 0) {
        return 0;
    }
    if (!isUtf8()) {
        return std::min(characters, length);
    }
    const long line =
        self->SendScintilla(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(characters),
                            static_cast<long>(SC_LINECHARACTERINDEX_UTF32));
    const long lineStart =
        self->SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long lineIndex =
        self->SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                            static_cast<long>(SC_LINECHARACTERINDEX_UTF32));
    const qint64 within = characters - lineIndex;
    if (within <= 0) {
        return lineStart;
    }
    const long position = self->SendScintilla(
        SCI_POSITIONRELATIVE, static_cast<unsigned long>(lineStart), static_cast<long>(within));
    // Scintilla answers 0 when the step runs past the end of the text.
    return position == 0 ? length : position;
}

qint64 EditingArea::selStart() const {
    auto* self = const_cast<EditingArea*>(this);
    return characterFromPosition(self->SendScintilla(SCI_GETSELECTIONSTART));
}

void EditingArea::setSelStart(qint64 characters) {
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(positionFromCharacter(characters)));
    SendScintilla(SCI_CHOOSECARETX);
}

void EditingArea::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

void EditingArea::setBaseFontSize(int points) {
    setBaseFontSizeHundredths(points * 100);
}

void EditingArea::setBaseFontSizeHundredths(int hundredths) {
    sizeHundredths_ = hundredths;
    for (int style = 0; style < kTextStyles; ++style) {
        SendScintilla(SCI_STYLESETSIZEFRACTIONAL, style, hundredths);
    }
    for (int style = kFirstPredefinedStyle; style <= kLastPredefinedStyle; ++style) {
        SendScintilla(SCI_STYLESETSIZEFRACTIONAL, style, hundredths);
    }
}

int EditingArea::baseFontSizeHundredths() const {
    return sizeHundredths_;
}
