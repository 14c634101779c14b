// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/EditingArea.h"

#include <QFont>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>

namespace {

// Styles whose size follows the base font: the text styles and Scintilla's predefined ones.
constexpr int kFirstPredefinedStyle = QsciScintillaBase::STYLE_DEFAULT;
constexpr int kLastPredefinedStyle = QsciScintillaBase::STYLE_FOLDDISPLAYTEXT;
constexpr int kTextStyles = 8;

// Text styles that differ from the base style only in their face; style 0 is the base.
constexpr int kBaseStyle = 0;
constexpr const char* kFaces[] = {"Arial", "Times New Roman", "Verdana"};
constexpr int kFirstFaceStyle = 1;
static_assert(kFirstFaceStyle + std::size(kFaces) <= kTextStyles,
              "face styles must be among the styles that follow the base size");

}  // namespace

// Scintilla's interface for filling a document that no view shows yet (its ILoader.h,
// which QScintilla does not install).
class ILoader {
  public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;
};

EditingArea::EditingArea(QWidget* parent) : QsciScintilla(parent) {
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
    // QsciScintilla shows annotations, which this area never has: with them on, every
    // document swap visits each line for its annotation height.
    SendScintilla(SCI_ANNOTATIONSETVISIBLE, ANNOTATION_HIDDEN);

    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, "Verdana");
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, sizeHundredths_);
    SendScintilla(SCI_STYLECLEARALL);
    setBaseFontSizeHundredths(sizeHundredths_);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                onModified(position, type, length);
            });
    keepOneSelection();
}

void EditingArea::keepOneSelection() {
    // The program knows one selection, a plain run of text: Cut, Copy, Paste, the
    // snippets and Print act on exactly that. Rectangular and multiple selections are
    // switched off: no keys make them, the mouse's column drag needs a modifier the
    // desktop keeps for itself, and one that comes about anyway is turned into the plain
    // selection from its anchor to its caret.
    SendScintilla(SCI_SETMULTIPLESELECTION, 0L);
    SendScintilla(SCI_SETMOUSESELECTIONRECTANGULARSWITCH, 0L);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, static_cast<long>(SCMOD_SUPER));
    for (const int key :
         {SCK_DOWN, SCK_UP, SCK_LEFT, SCK_RIGHT, SCK_HOME, SCK_END, SCK_PRIOR, SCK_NEXT}) {
        SendScintilla(SCI_CLEARCMDKEY,
                      static_cast<unsigned long>(key + ((SCMOD_SHIFT | SCMOD_ALT) << 16)));
    }
    auto plain = [this] {
        if (SendScintilla(SCI_SELECTIONISRECTANGLE) || SendScintilla(SCI_GETSELECTIONS) > 1) {
            const bool rectangular = SendScintilla(SCI_SELECTIONISRECTANGLE) != 0;
            const long anchor = rectangular ? SendScintilla(SCI_GETRECTANGULARSELECTIONANCHOR)
                                            : SendScintilla(SCI_GETANCHOR);
            const long caret = rectangular ? SendScintilla(SCI_GETRECTANGULARSELECTIONCARET)
                                           : SendScintilla(SCI_GETCURRENTPOS);
            // SCI_SETSEL clears every selection and makes one plain one.
            SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
        }
    };
    connect(this, &QsciScintilla::selectionChanged, this, plain);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [plain](int updated) {
        if (updated & SC_UPDATE_SELECTION) {
            plain();
        }
    });
}

void EditingArea::configureFaceStyle(int index) {
    // No lexer styles the text (the container lexer does nothing unless asked), so the
    // styles set here stay on the text until it is deleted. A face's style gets its font
    // when the face is first chosen: Scintilla loads the font of every style it knows when
    // it first paints, and a face nobody chose need not cost a font look-up at start-up.
    if (facesConfigured_ & (1u << index)) {
        return;
    }
    facesConfigured_ |= 1u << index;
    SendScintilla(SCI_STYLESETFONT, static_cast<unsigned long>(kFirstFaceStyle + index),
                  kFaces[index]);
}

QStringList EditingArea::faceNames() {
    QStringList names;
    for (const char* face : kFaces) {
        names << QString::fromLatin1(face);
    }
    return names;
}

int EditingArea::styleAt(qint64 position) const {
    auto* self = const_cast<EditingArea*>(this);
    return static_cast<int>(
        self->SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

QString EditingArea::faceAt(qint64 position) const {
    auto* self = const_cast<EditingArea*>(this);
    const auto style = static_cast<unsigned long>(styleAt(position));
    const long length = self->SendScintilla(SCI_STYLEGETFONT, style, static_cast<char*>(nullptr));
    QByteArray name(length, Qt::Uninitialized);
    self->SendScintilla(SCI_STYLEGETFONT, style, name.data());
    return QString::fromUtf8(name);
}

void EditingArea::setSelectionFace(const QString& face) {
    const qsizetype index = faceNames().indexOf(face);
    if (index < 0) {
        return;
    }
    configureFaceStyle(static_cast<int>(index));
    const int style = kFirstFaceStyle + static_cast<int>(index);
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (start == end) {
        pending_ = {style, start, true};
        return;
    }
    pending_ = {};
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start));
    SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(end - start),
                  static_cast<long>(style));
}

void EditingArea::onModified(int position, int type, int length) {
    if (loading_) {
        return;
    }
    if (type & SC_MOD_BEFOREDELETE) {
        if (pending_.style >= 0) {
            // Text deleted before the waiting position moves it back.
            if (position < pending_.position) {
                pending_.position -= std::min<qint64>(length, pending_.position - position);
            }
        } else {
            pending_ = {styleAt(position), position, false};
        }
    } else if (type & SC_MOD_INSERTTEXT) {
        // Inserted text takes the waiting face, else the face of the text before it.
        int style = kBaseStyle;
        if (pending_.style >= 0 && pending_.position == position) {
            style = pending_.style;
        } else if (position > 0) {
            style = styleAt(position - 1);
        }
        pending_ = {};
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(position));
        SendScintilla(SCI_SETSTYLING, static_cast<unsigned long>(length), static_cast<long>(style));
    }
}

void EditingArea::ensureCharacterIndex() const {
    // Character positions are found from a per-line index of character counts instead of
    // counting from the start of the text. The document keeps it up to date once it exists,
    // but building it walks the whole text, so that happens when a character position is
    // first asked for, not when a document is loaded.
    auto* self = const_cast<EditingArea*>(this);
    if (self->SendScintilla(SCI_GETLINECHARACTERINDEX) == SC_LINECHARACTERINDEX_NONE) {
        self->SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
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
    qsizetype at = 0;
    streamBytes(text.size(), [&](char* buffer, qint64 capacity) -> qint64 {
        const qsizetype n = std::min<qsizetype>(capacity, text.size() - at);
        if (n > 0) {  // an empty view may carry no pointer at all
            memcpy(buffer, text.data() + at, static_cast<size_t>(n));
        }
        at += n;
        return n;
    });
}

bool EditingArea::streamBytes(qint64 sizeHint, const std::function<qint64(char*, qint64)>& next,
                              std::optional<bool> utf8) {
    if (!documentMaker_) {
        documentMaker_ = std::make_unique<QsciScintillaBase>();
    }
    // Room for the text plus some typing, in one allocation: otherwise the first keystroke
    // after a load copies the whole text into a larger buffer. Typing fills the room
    // slowly and a full buffer grows by a share of its size, so a small fixed room will do.
    const qint64 room = std::max<qint64>(sizeHint, 0);
    constexpr qint64 kTypingRoom = 64 << 10;
    // Scintilla allocates the room (and grows it, when the hint fell short) with new: a
    // text that memory will not hold fails the load instead of ending the program.
    ILoader* loader = nullptr;
    try {
        loader = reinterpret_cast<ILoader*>(documentMaker_->SendScintilla(
            SCI_CREATELOADER, static_cast<unsigned long>(room + kTypingRoom),
            SendScintilla(SCI_GETDOCUMENTOPTIONS)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!loader) {
        return false;
    }
    // The bytes come in pieces, so they never sit in memory twice; their shape is found on
    // the way. A small piece buffer stays in the processor's cache and costs few page
    // faults (with 4 MB, filling the buffer the first time took longer than the read).
    ShapeFinder finder;
    constexpr qint64 kPiece = 256 << 10;
    std::unique_ptr<char[]> piece(new (std::nothrow) char[kPiece]);
    if (!piece) {
        loader->Release();
        return false;
    }
    for (;;) {
        const qint64 n = next(piece.get(), kPiece);
        if (n == 0) {
            break;
        }
        bool added = false;
        if (n > 0) {
            try {
                added = loader->AddData(piece.get(), n) == SC_STATUS_OK;
            } catch (const std::bad_alloc&) {
                added = false;
            }
        }
        if (!added) {
            loader->Release();
            return false;
        }
        finder.add(QByteArrayView(piece.get(), n));
    }
    piece.reset();
    TextShape shape = finder.shape();
    if (utf8) {
        shape.utf8 = *utf8;
    }

    // A new text is shown in the base face; a face chosen for the caret waits at the start.
    const PendingFace chosen =
        pending_.chosen ? PendingFace{pending_.style, 0, true} : PendingFace{};
    loading_ = true;
    const bool hadText = byteLength() > 0;
    // No change notifications while the document is set up; one textChanged follows.
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    SendScintilla(SCI_SETMODEVENTMASK, 0L);
    void* document = loader->ConvertToDocument();
    SendScintilla(SCI_SETDOCPOINTER, 0, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0, document);
    // Code page, line ends and undo belong to the document.
    setUtf8(shape.utf8);
    // What Enter types follows the first line end of the text; CR LF when there is none.
    SendScintilla(SCI_SETEOLMODE, shape.lineEnd == LineEnd::Lf   ? SC_EOL_LF
                                  : shape.lineEnd == LineEnd::Cr ? SC_EOL_CR
                                                                 : SC_EOL_CRLF);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0L);
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
    loading_ = false;
    pending_ = chosen;
    emit textReplaced();
    if (hadText || byteLength() > 0) {
        emit textChanged();
    }
    return true;
}

void EditingArea::setSelText(QByteArrayView text) {
    SendScintilla(SCI_TARGETFROMSELECTION);
    const long start = SendScintilla(SCI_GETTARGETSTART);
    // An empty view may carry no pointer at all; Scintilla needs one.
    const char* data = text.data() ? text.data() : "";
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), data);
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
    ensureCharacterIndex();
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
    ensureCharacterIndex();
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

void EditingArea::stepCaretBack(qint64 characters) {
    // A relative move counts only the characters stepped over, however long the text.
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    long target = caret;
    if (characters > 0) {
        target = SendScintilla(SCI_POSITIONRELATIVE, static_cast<unsigned long>(caret),
                               -static_cast<long>(characters));
    }
    // Scintilla answers 0 for a step past the start of the text, which is where it ends.
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(target));
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
