#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Whole-file reads and writes of documents, as raw bytes: nothing is converted.
namespace DocumentFile {

// What a read found: whether the file opened at all, and its bytes when the read worked.
struct ReadResult {
    bool opened = false;
    std::optional<QByteArray> bytes;
    QString error;
};

ReadResult read(const QString& path);

// Writes text followed by CR LF. A regular file (or a new one) is replaced atomically: the
// bytes go to a temporary file in the same folder that is renamed over the target only
// when everything was written, so a failure or a crash leaves the old file as it was.
// The old file's permissions and owner are kept. A target that exists but is no regular
// file (a device, say) is written in place, as renaming over it would replace the node.
// On failure returns false and sets error to the system's description of it.
bool write(const QString& path, QByteArrayView text, QString* error);

}  // namespace DocumentFile
