// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/EditEntry.h"

#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>
#include <utility>

namespace EditEntry {

namespace {

const QByteArray kAddedSection = QByteArrayLiteral("[Added Associations]");

// A string value of a desktop file: the characters that cannot stand as they are in a
// value are written as escapes.
QString escapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A missing file reads as empty; one that exists but is no regular file, or cannot be read,
// is a failure, so that it is never replaced by a file that lost its lines.
std::optional<QByteArray> readWhole(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return QByteArray();
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

// The lines of the associations file, each with a CR that ends it but without its LF, so
// that every line goes back byte for byte.
struct Lines {
    QList<QByteArray> lines;
    bool endedWithBreak = true;

    explicit Lines(const QByteArray& text) {
        if (!text.isEmpty()) {
            lines = text.split('\n');
            endedWithBreak = text.endsWith('\n');
            if (endedWithBreak) {
                lines.removeLast();
            }
        }
    }
    QByteArray joined() const {
        QByteArray text = lines.join('\n');
        if (!lines.isEmpty() && endedWithBreak) {
            text += '\n';
        }
        return text;
    }

    static bool isHeader(const QByteArray& line) { return line.trimmed().startsWith('['); }
    static QByteArray lineEnd(const QByteArray& line) {
        return line.endsWith('\r') ? QByteArray("\r") : QByteArray();
    }
    // The first and one past the last line of a section's keys, or -1.
    std::pair<qsizetype, qsizetype> section(const QByteArray& header) const {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed() == header) {
                qsizetype end = i + 1;
                while (end < lines.size() && !isHeader(lines[end])) {
                    ++end;
                }
                return {i + 1, end};
            }
        }
        return {-1, -1};
    }
    // The line of a key in [begin, end), or -1.
    qsizetype find(qsizetype begin, qsizetype end, const QByteArray& key) const {
        for (qsizetype i = begin; i < end; ++i) {
            const qsizetype eq = lines[i].indexOf('=');
            if (eq > 0 && !lines[i].trimmed().startsWith('#') &&
                lines[i].left(eq).trimmed() == key) {
                return i;
            }
        }
        return -1;
    }
    static QList<QByteArray> ids(const QByteArray& line) {
        QList<QByteArray> list;
        for (const QByteArray& id : line.mid(line.indexOf('=') + 1).trimmed().split(';')) {
            if (!id.trimmed().isEmpty()) {
                list << id.trimmed();
            }
        }
        return list;
    }

    // Lists id for key in the section (made at the end when missing), after the others.
    void add(const QByteArray& header, const QByteArray& key, const QByteArray& id) {
        auto [begin, end] = section(header);
        if (begin < 0) {
            const QByteArray cr = lines.isEmpty() ? QByteArray() : lineEnd(lines.constFirst());
            if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty()) {
                lines << cr;
            }
            lines << header + cr;
            begin = end = lines.size();
            endedWithBreak = true;
        }
        const qsizetype at = find(begin, end, key);
        if (at < 0) {
            // After the section's last key, before blank lines that part it from the next.
            qsizetype insertAt = end;
            while (insertAt > begin && lines[insertAt - 1].trimmed().isEmpty()) {
                --insertAt;
            }
            lines.insert(insertAt, key + '=' + id + ';' + lineEnd(lines[begin - 1]));
            return;
        }
        if (ids(lines[at]).contains(id)) {
            return;
        }
        QByteArray& line = lines[at];
        const QByteArray cr = lineEnd(line);
        QByteArray body = line.chopped(cr.size());
        while (!body.isEmpty() && (body.endsWith(' ') || body.endsWith('\t'))) {
            body.chop(1);
        }
        if (!body.endsWith(';') && !body.endsWith('=')) {
            body += ';';
        }
        line = body + id + ';' + cr;
    }

    // Takes id out of key's list in the section; a list left empty goes with its line.
    void remove(const QByteArray& header, const QByteArray& key, const QByteArray& id) {
        const auto [begin, end] = section(header);
        const qsizetype at = begin < 0 ? -1 : find(begin, end, key);
        if (at < 0 || !ids(lines[at]).contains(id)) {
            return;
        }
        QList<QByteArray> rest = ids(lines[at]);
        rest.removeAll(id);
        if (rest.isEmpty()) {
            lines.removeAt(at);
            return;
        }
        const QByteArray& line = lines[at];
        lines[at] = line.left(line.indexOf('=') + 1) + rest.join(';') + ';' + lineEnd(line);
    }
};

// The application that opens a type on a double-click now, as the desktop's own tool
// tells it; empty when there is none or the tool cannot say.
QString currentDefault(const QString& type) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty()) {
        return {};
    }
    QProcess query;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    query.setProcessEnvironment(environment);
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(gio, {QStringLiteral("mime"), type});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return {};
    }
    // "Default application for “text/html”: browser.desktop"
    const QByteArray first = query.readAllStandardOutput().split('\n').constFirst();
    if (!first.startsWith("Default application for")) {
        return {};
    }
    return QString::fromUtf8(first.mid(first.lastIndexOf(": ") + 2).trimmed());
}

// Restores a file as it was before a failed install: its old bytes, or no file.
void restore(const QString& path, const std::optional<QByteArray>& old) {
    if (!old) {
        QFile::remove(path);
        return;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(*old);
        file.commit();
    }
}

}  // namespace

QStringList mimeTypes() {
    return {QStringLiteral("text/html"), QStringLiteral("application/xhtml+xml")};
}

QString applicationsFolder() {
    return UserFolders::dataHome() + QStringLiteral("/applications");
}

QString associationsFile() {
    return UserFolders::configHome() + QStringLiteral("/mimeapps.list");
}

QString quoteExecArgument(const QString& argument) {
    // Inside double quotes the desktop's command-line rules give '"', '`', '$' and '\' a
    // meaning unless they are escaped by a backslash, and '%' starts a field code unless
    // doubled. The value escapes ('\\' for a backslash, '\n' for a line break) come on top.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        switch (c.unicode()) {
            case '"':
            case '`':
            case '$':
            case '\\':
                quoted += QLatin1Char('\\');
                quoted += c;
                break;
            case '%':
                quoted += QStringLiteral("%%");
                break;
            default:
                quoted += c;
        }
    }
    quoted += QLatin1Char('"');
    return escapeValue(quoted);
}

QString entryText(const QString& programPath, const QString& icon) {
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Edit with Quindo\n");
    text += QStringLiteral("Comment=Edit this web page with the Quindo HTML editor\n");
    text += QStringLiteral("Exec=") + quoteExecArgument(programPath) + QStringLiteral(" %f\n");
    text += QStringLiteral("Icon=") + escapeValue(icon) + QLatin1Char('\n');
    text +=
        QStringLiteral("MimeType=") + mimeTypes().join(QLatin1Char(';')) + QStringLiteral(";\n");
    text += QStringLiteral("NoDisplay=true\n");
    text += QStringLiteral("Terminal=false\n");
    return text;
}

QByteArray withAddedAssociations(const QByteArray& existing, const QString& desktopId,
                                 const QStringList& types,
                                 const QMap<QString, QString>& keepDefaults) {
    Lines lines(existing);
    const QByteArray id = desktopId.toUtf8();
    for (const QString& type : types) {
        const QByteArray key = type.toUtf8();
        lines.remove("[Removed Associations]", key, id);
        lines.add(kAddedSection, key, id);
        const QString kept = keepDefaults.value(type);
        if (!kept.isEmpty() && kept != desktopId) {
            lines.add("[Default Applications]", key, kept.toUtf8());
        }
    }
    return lines.joined();
}

bool install(const QString& programPath, const QString& icon) {
    // The associations first: when they cannot be updated, nothing is written at all.
    const QString list = associationsFile();
    if (!readWhole(list) || !QDir().mkpath(QFileInfo(list).absolutePath())) {
        return false;
    }
    // Listing the entry for the types would make it the default of the types that have
    // no default of the user's own (the desktop then takes the first application listed),
    // so the default of now is written down as the user's.
    QMap<QString, QString> defaults;
    for (const QString& type : mimeTypes()) {
        defaults.insert(type, currentDefault(type));
    }
    // Read (again) only now: another program may have changed the list while the desktop's
    // tool was asked, and its change is kept.
    const std::optional<QByteArray> associations = readWhole(list);
    if (!associations) {
        return false;
    }
    QSaveFile listFile(list);
    const QByteArray listText =
        withAddedAssociations(*associations, kFileName, mimeTypes(), defaults);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(listText) != listText.size()) {
        return false;
    }

    const QString folder = applicationsFolder();
    const QString entry = folder + QLatin1Char('/') + kFileName;
    const std::optional<QByteArray> oldEntry =
        QFileInfo::exists(entry) ? readWhole(entry) : std::nullopt;
    if (!QDir().mkpath(folder)) {
        return false;  // listFile is discarded unwritten
    }
    QSaveFile entryFile(entry);
    const QByteArray entryBytes = entryText(programPath, icon).toUtf8();
    if (!entryFile.open(QIODevice::WriteOnly) || entryFile.write(entryBytes) != entryBytes.size() ||
        !entryFile.commit()) {
        return false;
    }
    if (!listFile.commit()) {
        restore(entry, oldEntry);
        return false;
    }
    // The cache only speeds the desktop up; the entry works without it, so its tool is
    // started on its own and not waited for.
    const QString updater =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!updater.isEmpty()) {
        QProcess update;
        update.setProgram(updater);
        update.setArguments({QStringLiteral("-q"), folder});
        update.setStandardOutputFile(QProcess::nullDevice());
        update.setStandardErrorFile(QProcess::nullDevice());
        update.startDetached();
    }
    return true;
}

}  // namespace EditEntry
