// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/FindReplace.h"

#include "platform/Cp1252.h"
#include "platform/EditingArea.h"
#include "platform/SecondaryWindow.h"
#include "platform/WindowHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Sci = QsciScintillaBase;

const QString kNotFound = QStringLiteral("Not found.");
const QString kWrappedForwards =
    QStringLiteral("Passed the end of the page; continued from the top.");
const QString kWrappedBackwards =
    QStringLiteral("Passed the start of the page; continued from the bottom.");

long send(EditingArea& area, unsigned int message, qint64 w = 0, qint64 l = 0) {
    return area.SendScintilla(message, static_cast<unsigned long>(w), static_cast<long>(l));
}

// A position between the CR and the LF of one line end.
bool splitsLineEnd(EditingArea& area, qint64 position) {
    return position > 0 && send(area, Sci::SCI_GETCHARAT, position - 1) == '\r' &&
           send(area, Sci::SCI_GETCHARAT, position) == '\n';
}

QByteArray bytesFor(EditingArea& area, const QString& text) {
    return area.isUtf8() ? text.toUtf8() : Cp1252::toBytes(text);
}

}  // namespace

// The window: two fields, two options, the buttons and the line of outcome. It edits the
// search that FindReplace keeps, so the search outlives it.
class FindWindow : public SecondaryWindow {
  public:
    FindWindow(QWidget* owner, FindReplace& search)
        : SecondaryWindow(owner, QStringLiteral("Find and Replace"), QSize(5790, 2370),
                          Place::System, /*topmost=*/true),
          search_(search) {
        addLabel(QStringLiteral("lblFind"), QStringLiteral("Find what"), 120, 165, 1200, 255,
                 /*plain=*/true);
        findField = place(new QLineEdit, QStringLiteral("txtFind"), 1320, 120, 2820, 330);
        addLabel(QStringLiteral("lblReplace"), QStringLiteral("Replace with"), 120, 585, 1200, 255,
                 /*plain=*/true);
        replaceField = place(new QLineEdit, QStringLiteral("txtReplace"), 1320, 540, 2820, 330);
        matchCase = place(new QCheckBox(QStringLiteral("Match case")), QStringLiteral("chkCase"),
                          120, 1005, 2000, 285);
        wholeWord = place(new QCheckBox(QStringLiteral("Whole word")), QStringLiteral("chkWord"),
                          120, 1335, 2000, 285);
        outcome = addLabel(QStringLiteral("lblOutcome"), QString(), 120, 1740, 4020, 510,
                           /*plain=*/true);
        auto* findNext = addButton(QStringLiteral("cmdFindNext"), QStringLiteral("Find Next"), 4320,
                                   120, 1350, 375);
        findNext->setDefault(true);
        auto* findPrevious = addButton(QStringLiteral("cmdFindPrevious"),
                                       QStringLiteral("Find Previous"), 4320, 555, 1350, 375);
        auto* replace = addButton(QStringLiteral("cmdReplace"), QStringLiteral("Replace"), 4320,
                                  990, 1350, 375);
        auto* replaceAll = addButton(QStringLiteral("cmdReplaceAll"), QStringLiteral("Replace All"),
                                     4320, 1425, 1350, 375);
        auto* close =
            addButton(QStringLiteral("cmdClose"), QStringLiteral("Close"), 4320, 1860, 1350, 375);
        setFocusOrder({findField, replaceField, matchCase, wholeWord, findNext, findPrevious,
                       replace, replaceAll, close});

        findField->setText(search_.findWhat);
        replaceField->setText(search_.replaceWith);
        matchCase->setChecked(search_.matchCase);
        wholeWord->setChecked(search_.wholeWord);
        connect(findField, &QLineEdit::textChanged, this, [this](const QString& text) {
            search_.findWhat = text;
            outcome->clear();
        });
        connect(replaceField, &QLineEdit::textChanged, this,
                [this](const QString& text) { search_.replaceWith = text; });
        connect(matchCase, &QCheckBox::toggled, this, [this](bool on) { search_.matchCase = on; });
        connect(wholeWord, &QCheckBox::toggled, this, [this](bool on) { search_.wholeWord = on; });
        connect(findNext, &QPushButton::clicked, this, [this] { search_.findNext(); });
        connect(findPrevious, &QPushButton::clicked, this, [this] { search_.findPrevious(); });
        connect(replace, &QPushButton::clicked, this, [this] { search_.replace(); });
        connect(replaceAll, &QPushButton::clicked, this, [this] { search_.replaceAll(); });
        connect(close, &QPushButton::clicked, this, &QWidget::close);
    }

    QLineEdit* findField;
    QLineEdit* replaceField;
    QCheckBox* matchCase;
    QCheckBox* wholeWord;
    QLabel* outcome;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Return presses the focused push button, and Find Next anywhere else.
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !qobject_cast<QPushButton*>(focusWidget())) {
            search_.findNext();
            return;
        }
        SecondaryWindow::keyPressEvent(event);
    }

  private:
    FindReplace& search_;
};

const QString FindReplace::kWindowName = QStringLiteral("frmFind");

FindReplace::FindReplace(WindowHost& host) : host_(host) {}

FindReplace::~FindReplace() = default;

void FindReplace::showFind() {
    show(false);
}

void FindReplace::showReplace() {
    show(true);
}

void FindReplace::show(bool replaceField) {
    EditingArea& area = host_.editingArea();
    const long start = send(area, Sci::SCI_GETSELECTIONSTART);
    const long end = send(area, Sci::SCI_GETSELECTIONEND);
    if (start < end && send(area, Sci::SCI_LINEFROMPOSITION, start) ==
                           send(area, Sci::SCI_LINEFROMPOSITION, end)) {
        const QByteArray selected = area.selectedBytes();
        findWhat = area.isUtf8() ? QString::fromUtf8(selected) : Cp1252::toText(selected);
    }
    window_ = static_cast<FindWindow*>(host_.showSecondaryWindow(
        kWindowName, [this] { return new FindWindow(&host_.window(), *this); }));
    window_->findField->setText(findWhat);
    setOutcome({});
    QLineEdit* field = replaceField ? window_->replaceField : window_->findField;
    window_->activateWindow();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool FindReplace::findNext() {
    return find(true);
}

bool FindReplace::findPrevious() {
    return find(false);
}

void FindReplace::setOutcome(const QString& text) {
    outcome_ = text;
    if (window_) {
        window_->outcome->setText(text);
    } else if (!text.isEmpty() && text == kNotFound) {
        QApplication::beep();
    }
}

std::optional<QByteArray> FindReplace::encode(const QString& text) const {
    EditingArea& area = host_.editingArea();
    if (area.isUtf8()) {
        return text.toUtf8();
    }
    // A character Windows-1252 lacks cannot be in an 8-bit page.
    QByteArray bytes = Cp1252::toBytes(text);
    if (Cp1252::toText(bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

int FindReplace::flags() const {
    return (matchCase ? Sci::SCFIND_MATCHCASE : 0) | (wholeWord ? Sci::SCFIND_WHOLEWORD : 0);
}

std::optional<FindReplace::Match> FindReplace::search(const QByteArray& what, qint64 from,
                                                      qint64 to) {
    EditingArea& area = host_.editingArea();
    send(area, Sci::SCI_SETSEARCHFLAGS, flags());
    const bool forwards = from <= to;
    for (;;) {
        send(area, Sci::SCI_SETTARGETRANGE, from, to);
        const long at = area.SendScintilla(
            Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(what.size()), what.constData());
        if (at < 0) {
            return std::nullopt;
        }
        const long end = send(area, Sci::SCI_GETTARGETEND);
        if (!splitsLineEnd(area, at) && !splitsLineEnd(area, end)) {
            return Match{at, end};
        }
        // A match that would take one half of a CR LF is no match; look past it.
        if (forwards) {
            from = at + 1;
        } else {
            from = end - 1;
        }
    }
}

bool FindReplace::find(bool forwards) {
    if (findWhat.isEmpty()) {
        showFind();
        return false;
    }
    const std::optional<QByteArray> what = encode(findWhat);
    EditingArea& area = host_.editingArea();
    const qint64 length = area.byteLength();
    std::optional<Match> match;
    bool wrapped = false;
    if (what) {
        match = forwards ? search(*what, send(area, Sci::SCI_GETSELECTIONEND), length)
                         : search(*what, send(area, Sci::SCI_GETSELECTIONSTART), 0);
        if (!match) {
            wrapped = true;
            match = forwards ? search(*what, 0, length) : search(*what, length, 0);
        }
    }
    if (!match) {
        setOutcome(kNotFound);
        return false;
    }
    send(area, Sci::SCI_SETSEL, match->start, match->end);
    send(area, Sci::SCI_SCROLLRANGE, match->start, match->end);
    setOutcome(!wrapped ? QString() : forwards ? kWrappedForwards : kWrappedBackwards);
    return true;
}

bool FindReplace::selectionIsMatch(const QByteArray& what) {
    EditingArea& area = host_.editingArea();
    const qint64 start = send(area, Sci::SCI_GETSELECTIONSTART);
    const qint64 end = send(area, Sci::SCI_GETSELECTIONEND);
    const std::optional<Match> match = start < end ? search(what, start, end) : std::nullopt;
    return match && match->start == start && match->end == end;
}

void FindReplace::replace() {
    const std::optional<QByteArray> what = encode(findWhat);
    if (!findWhat.isEmpty() && what && selectionIsMatch(*what)) {
        EditingArea& area = host_.editingArea();
        const QByteArray with = bytesFor(area, replaceWith);
        send(area, Sci::SCI_TARGETFROMSELECTION);
        area.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(with.size()),
                           with.constData());
        const long after = send(area, Sci::SCI_GETTARGETEND);
        send(area, Sci::SCI_SETSEL, after, after);
    }
    find(true);
}

qint64 FindReplace::replaceAll() {
    const std::optional<QByteArray> what = encode(findWhat);
    qint64 count = 0;
    if (!findWhat.isEmpty() && what) {
        EditingArea& area = host_.editingArea();
        const QByteArray with = bytesFor(area, replaceWith);
        // One pass from the top: each replacement moves the text's gap only as far as the
        // next match, so the whole pass costs about one walk over the page.
        send(area, Sci::SCI_BEGINUNDOACTION);
        qint64 from = 0;
        while (const std::optional<Match> match = search(*what, from, area.byteLength())) {
            send(area, Sci::SCI_SETTARGETRANGE, match->start, match->end);
            area.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(with.size()),
                               with.constData());
            from = send(area, Sci::SCI_GETTARGETEND);
            ++count;
        }
        send(area, Sci::SCI_ENDUNDOACTION);
        if (count > 0) {
            // The caret after the last replacement.
            send(area, Sci::SCI_GOTOPOS, from);
        }
    }
    setOutcome(count > 0 ? QStringLiteral("Replaced %1.").arg(count) : kNotFound);
    return count;
}
