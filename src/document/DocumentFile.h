#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Whole-file reads and writes of documents, as raw bytes: nothing is converted.
namespace DocumentFile {

// A whole file's bytes in memory of their own, which can be given back to the system piece
// by piece once they have been handed on: a large page then never sits in memory twice
// while it is put into the editing area.
class FileBytes {
  public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    QByteArrayView view() const;
    operator QByteArrayView() const { return view(); }
    // Gives back the memory of the first `length` bytes; their contents are gone after it.
    void release(qsizetype length);

  private:
    friend struct Reader;
    char* map_ = nullptr;
    qsizetype size_ = 0;
    qsizetype mapped_ = 0;
    qsizetype released_ = 0;
    QByteArray other_;  // files whose size is not known beforehand (e.g. under /proc)
};

// What a read found: whether the file opened at all, and its bytes when the read worked.
struct ReadResult {
    bool opened = false;
    std::optional<FileBytes> bytes;
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
