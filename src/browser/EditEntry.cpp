// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/EditEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>

namespace EditEntry {

namespace {

const QString kAddedSection = QStringLiteral("[Added Associations]");

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

bool writeWhole(const QString& path, const QByteArray& content) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(content);
    return file.commit();
}

// A missing file reads as empty; one that exists but cannot be read is a failure, so that
// it is never replaced by a file that lost its lines.
std::optional<QString> readWhole(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return QString();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

bool isSectionHeader(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char('['));
}

// "text/html=a.desktop;b.desktop;" with the id added at the end when it is not there yet.
QString addToList(const QString& line, const QString& desktopId) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    QString values = line.mid(eq + 1).trimmed();
    const QStringList ids = values.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        if (id.trimmed() == desktopId) {
            return line;
        }
    }
    if (!values.isEmpty() && !values.endsWith(QLatin1Char(';'))) {
        values += QLatin1Char(';');
    }
    return line.left(eq).trimmed() + QLatin1Char('=') + values + desktopId + QLatin1Char(';');
}

}  // namespace

QStringList mimeTypes() {
    return {QStringLiteral("text/html"), QStringLiteral("application/xhtml+xml")};
}

QString applicationsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/applications");
}

QString associationsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/mimeapps.list");
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

QString withAddedAssociations(const QString& existing, const QString& desktopId,
                              const QStringList& types) {
    QStringList lines = existing.split(QLatin1Char('\n'));
    // A file that ends with a line break splits into a last empty piece; put it back last.
    const bool endedWithBreak = !existing.isEmpty() && existing.endsWith(QLatin1Char('\n'));
    if (endedWithBreak || existing.isEmpty()) {
        lines.removeLast();
    }

    qsizetype section = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == kAddedSection) {
            section = i;
            break;
        }
    }
    if (section < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty()) {
            lines << QString();
        }
        lines << kAddedSection;
        section = lines.size() - 1;
    }
    qsizetype end = section + 1;
    while (end < lines.size() && !isSectionHeader(lines[end])) {
        ++end;
    }
    // New keys go after the section's last key, before any blank lines that separate it
    // from the next section.
    qsizetype insertAt = end;
    while (insertAt > section + 1 && lines[insertAt - 1].trimmed().isEmpty()) {
        --insertAt;
    }

    for (const QString& type : types) {
        bool found = false;
        for (qsizetype i = section + 1; i < end; ++i) {
            const QString& line = lines[i];
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq > 0 && !line.trimmed().startsWith(QLatin1Char('#')) &&
                line.left(eq).trimmed() == type) {
                lines[i] = addToList(line, desktopId);
                found = true;
                break;
            }
        }
        if (!found) {
            lines.insert(insertAt, type + QLatin1Char('=') + desktopId + QLatin1Char(';'));
            ++insertAt;
            ++end;
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool install(const QString& programPath, const QString& icon) {
    const QString folder = applicationsFolder();
    if (!writeWhole(folder + QLatin1Char('/') + kFileName, entryText(programPath, icon).toUtf8())) {
        return false;
    }
    const QString list = associationsFile();
    const std::optional<QString> associations = readWhole(list);
    if (!associations ||
        !writeWhole(list, withAddedAssociations(*associations, kFileName, mimeTypes()).toUtf8())) {
        return false;
    }
    // The cache only speeds the desktop up; the entry works without it, so its tool's
    // outcome does not decide the install.
    const QString updater =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!updater.isEmpty()) {
        QProcess update;
        update.setStandardOutputFile(QProcess::nullDevice());
        update.setStandardErrorFile(QProcess::nullDevice());
        update.start(updater, {QStringLiteral("-q"), folder});
        update.waitForFinished(10000);
    }
    return true;
}

}  // namespace EditEntry
