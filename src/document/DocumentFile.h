// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class EditingArea;

// Whole-file reads and writes of documents, as raw bytes: nothing is converted.
namespace DocumentFile {

// Loads a whole file into the editing area without ever holding it in memory twice: a
// first pass reads it through a small buffer to learn its shape (size, UTF-8 or not, first
// line end) and to find read failures before the editing area is touched; the second
// pass hands the bytes over piece by piece.
struct LoadResult {
    bool opened = false;
    bool loaded = false;  // false: the text is as it was (or, if the file failed between
                          // the passes, holds what could be read)
    QString error;
};
LoadResult load(const QString& path, EditingArea& area);

// Writes text followed by CR LF. A regular file (or a new one) is replaced atomically: the
// bytes go to a temporary file in the same folder that is renamed over the target only
// when everything was written, so a failure or a crash leaves the old file as it was.
// The old file's permissions and owner are kept. A target that exists but is no regular
// file (a device, say) is written in place, as renaming over it would replace the node.
// On failure returns false and sets error to the system's description of it.
bool write(const QString& path, QByteArrayView text, QString* error);

}  // namespace DocumentFile
