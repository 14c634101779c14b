// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// A reproducible run of edits: the child types them into the editor, the test replays them
// on plain bytes to know every text the document had.
class RecoveryScript {
  public:
    struct Edit {
        enum Kind { Type, Paste, Delete } kind = Type;
        qint64 position = 0;
        QByteArray bytes;   // Type, Paste
        qint64 length = 0;  // Delete
    };

    explicit RecoveryScript(quint32 seed) : rng_(seed) {}

    // The next edit of a text of that length. Typing is letters and blanks (what the keys
    // type is the same in both display modes); pastes and deletions are large, so the
    // journal is compacted often.
    Edit next(qint64 length) {
        Edit edit;
        const int roll = static_cast<int>(rng_.bounded(100));
        if (roll < 70 || length == 0) {
            edit.kind = Edit::Type;
            // Runs of typing near one place, as a person types.
            if (rng_.bounded(10) == 0 || lastEnd_ > length) {
                lastEnd_ = rng_.bounded(length + 1);
            }
            edit.position = lastEnd_;
            const int n = 1 + static_cast<int>(rng_.bounded(4));
            for (int i = 0; i < n; ++i) {
                const int c = static_cast<int>(rng_.bounded(27));
                edit.bytes.append(c == 26 ? ' ' : char('a' + c));
            }
            lastEnd_ = edit.position + n;
        } else if (roll < 85) {
            edit.kind = Edit::Paste;
            edit.position = rng_.bounded(length + 1);
            const int n = 1 + static_cast<int>(rng_.bounded(96 * 1024));
            edit.bytes = QByteArray(n, char('A' + rng_.bounded(26)));
            edit.bytes.replace(0, 2, "\r\n");
            lastEnd_ = edit.position + n;
        } else {
            edit.kind = Edit::Delete;
            edit.position = rng_.bounded(length);
            edit.length = 1 + rng_.bounded(std::min<qint64>(length - edit.position, 64 * 1024));
        }
        return edit;
    }

    static void apply(QByteArray& text, const Edit& edit) {
        if (edit.kind == Edit::Delete) {
            text.remove(edit.position, edit.length);
        } else {
            text.insert(edit.position, edit.bytes);
        }
    }

  private:
    QRandomGenerator rng_;
    qint64 lastEnd_ = 0;
};
