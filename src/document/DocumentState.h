// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fields of the one open document. The caption, the other part of its state, is the
// main window's title.
struct DocumentState {
    QString CurrentFileName;
    qint16 DocChanged = 0;
    // The last answer to a save prompt (Dialogs' answer numbers); the way out stores
    // kExitConfirmed here once Exit was confirmed.
    qint16 SaveAnswer = 0;
    // The file name the open and save dialogs start with.
    QString dialogFileName;

    static constexpr qint16 kExitConfirmed = 1000;
};

// The caption does double duty: it shows the user what is open and it records what kind
// of document is open. Save and Test Page decide by comparing it with these exact texts.
namespace Caption {

inline const QString kNoDocument = QStringLiteral("Quindo HTML Editor");
inline const QString kNewUntitled = QStringLiteral("Quindo- New Untitled Document.");
inline const QString kBlankTemplate = QStringLiteral("Quindo- Tamblor9 blank document.");
inline const QString kSample = QStringLiteral("Quindo- Tamblor9 Sample document.");
inline const QString kPathPrefix = QStringLiteral("Quindo- ");

inline QString forPath(const QString& path) {
    return kPathPrefix + path;
}

}  // namespace Caption

// A document without a file of its own: no file name, or one of the three captions of a
// document that has none (exact, case-sensitive comparisons of the whole caption).
inline bool isUnnamedDocument(const QString& currentFileName, const QString& caption) {
    return currentFileName.isEmpty() || caption == Caption::kNewUntitled ||
           caption == Caption::kBlankTemplate || caption == Caption::kNoDocument;
}
