// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TextShape.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArrayView>
#include <QString>

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The editing area: a plain-text QScintilla control whose bytes are the document.
//
// Text goes in and out as bytes with an explicit length, so NUL, lone CR and every byte
// 0x80-0xFF survive. Text that is valid UTF-8 is shown in UTF-8 mode; anything else is
// shown as 8-bit text. Caret positions are counted in characters (CR LF is two).
class EditingArea : public QsciScintilla {
    Q_OBJECT

  public:
    explicit EditingArea(QWidget* parent = nullptr);

    // The whole text, without a copy. The view stays valid until the next change.
    QByteArrayView bytes() const;
    qsizetype byteLength() const;
    bool isEmpty() const { return byteLength() == 0; }

    // Replaces the whole text. Not undoable, and leaves no undo history behind.
    void setBytes(QByteArrayView text);

    // The shape of a text (platform/TextShape.h), under the names the area used to give.
    using LineEnd = ::LineEnd;
    using TextShape = ::TextShape;
    using ShapeFinder = ::ShapeFinder;
    static TextShape shapeOf(QByteArrayView text) { return ::shapeOf(text); }

    // Replaces the whole text by bytes that next() supplies piece by piece (it fills the
    // buffer and returns the count, 0 at the end, -1 on failure). Not undoable either.
    // The bytes go into a document of their own that takes the old one's place only once
    // next() has reached the end: when next() fails, or memory runs out, the area is
    // exactly as it was (text, undo history, display mode, caret) and the result is false.
    // sizeHint is the byte count expected, for which room is made at once. The display
    // mode follows the bytes unless utf8 says which it is.
    bool streamBytes(qint64 sizeHint, const std::function<qint64(char*, qint64)>& next,
                     std::optional<bool> utf8 = std::nullopt);

    // Replaces the selection (or inserts at the caret) as one edit; afterwards the caret
    // stands right after the inserted text and nothing is selected.
    void setSelText(QByteArrayView text);
    QByteArray selectedBytes() const;

    // The caret position in characters from the start of the text.
    qint64 selStart() const;
    // Moves the caret to a character position; nothing is selected afterwards.
    void setSelStart(qint64 characters);
    // Moves the caret that many characters towards the start (at most to the start);
    // nothing is selected afterwards. Costs the characters stepped over, not the text
    // before them.
    void stepCaretBack(qint64 characters);

    void SetFocus();

    // The point size of the whole area's base font, and the design size in hundredths.
    void setBaseFontSize(int points);
    void setBaseFontSizeHundredths(int hundredths);
    int baseFontSizeHundredths() const;

    // Font faces are display only: they never reach the bytes or the change notification.
    // Gives the selected text the face; with nothing selected, the text inserted next at
    // the caret takes it. Other text keeps its face and the base font stays as it is.
    // Names other than those of faceNames() are ignored.
    void setSelectionFace(const QString& face);
    // The family a byte is shown in.
    QString faceAt(qint64 position) const;
    // The faces text can be given, besides the base font.
    static QStringList faceNames();

    // A hidden editing area holding exactly the selected bytes, with the same code page,
    // styles and style bytes (printing prints whole lines, so it prints this copy).
    std::unique_ptr<EditingArea> styledCopyOfSelection() const;

    // Conversions between Scintilla's byte positions and character positions.
    qint64 characterFromPosition(qint64 position) const;
    qint64 positionFromCharacter(qint64 characters) const;

  signals:
    // The whole text was replaced (setBytes, streamBytes), without change notifications;
    // sent before the textChanged that follows.
    void textReplaced();

  private:
    void keepOneSelection();
    void ensureCharacterIndex() const;
    // A Scintilla that creates the documents being loaded: asking for a loader resets the
    // asking view's line layout, which must not happen to this one while its text stays.
    std::unique_ptr<QsciScintillaBase> documentMaker_;
    void configureFaceStyle(int index);
    unsigned facesConfigured_ = 0;
    void onModified(int position, int type, int length);
    int styleAt(qint64 position) const;

    int sizeHundredths_ = 975;
    // The face that the next text inserted at a position takes: set by a face chosen with
    // nothing selected (chosen) or by text being deleted, so that typing over a selection
    // keeps the selection's face. Any other change of the text drops it.
    struct PendingFace {
        int style = -1;
        qint64 position = -1;
        bool chosen = false;
    } pending_;
    bool loading_ = false;
};
