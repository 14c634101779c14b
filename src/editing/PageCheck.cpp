// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/PageCheck.h"

#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

#include <QListWidget>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

const QString kWindowName = QStringLiteral("frmCheck");
constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;

// The tag names in Tidy's words, in order: "missing </b> before </p>" gives b and p.
QStringList tagsIn(const QString& text) {
    static const QRegularExpression tag(QStringLiteral("</?([A-Za-z][A-Za-z0-9]*)>"));
    QStringList names;
    for (const auto& match : tag.globalMatch(text)) {
        names << match.captured(1).toLower();
    }
    return names;
}

// The first quoted name in Tidy's words: <p> proprietary attribute "clas" gives clas.
QString quotedIn(const QString& text) {
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    return quoted.match(text).captured(1);
}

// What a learner writes today instead of an element that is no longer part of HTML, as
// the primer teaches it.
QString todayFor(const QString& element) {
    static const QHash<QString, QString> today = {
        {QStringLiteral("font"),
         QStringLiteral("Use a style instead, for example <span style=\"color: red\">.")},
        {QStringLiteral("basefont"),
         QStringLiteral("Set the page's font with a style on <body> instead.")},
        {QStringLiteral("center"),
         QStringLiteral("Use the style text-align: center instead, for example "
                        "<p style=\"text-align: center\">.")},
        {QStringLiteral("marquee"),
         QStringLiteral("Moving text is hard to read; if you want it anyway, a style "
                        "animation does it.")},
        {QStringLiteral("blink"), QStringLiteral("Blinking text is hard to read: leave it out.")},
        {QStringLiteral("big"), QStringLiteral("Use the style font-size instead, for example "
                                               "<span style=\"font-size: larger\">.")},
        {QStringLiteral("tt"),
         QStringLiteral("Use <code> for computer code, or the style font-family: monospace.")},
        {QStringLiteral("strike"), QStringLiteral("Use <s> or <del> instead.")},
        {QStringLiteral("acronym"), QStringLiteral("Use <abbr> instead.")},
        {QStringLiteral("dir"), QStringLiteral("Use <ul> instead.")},
        {QStringLiteral("applet"), QStringLiteral("Browsers no longer run Java applets at all.")},
        {QStringLiteral("bgsound"),
         QStringLiteral("Use <audio controls>, so the reader decides when sound plays.")},
        {QStringLiteral("nobr"), QStringLiteral("Use the style white-space: nowrap instead.")},
        {QStringLiteral("frame"), QStringLiteral("Make separate pages and link them instead.")},
        {QStringLiteral("frameset"), QStringLiteral("Make separate pages and link them instead.")},
        {QStringLiteral("xmp"), QStringLiteral("Use <pre> instead.")},
        {QStringLiteral("listing"), QStringLiteral("Use <pre> instead.")},
    };
    return today.value(element, QStringLiteral("Browsers may still show it, but today a style "
                                               "(CSS) does the job; see the primer's Today "
                                               "boxes."));
}

QString endTagWithoutStart(const QString& name) {
    return QStringLiteral(
               "</%1> closes a <%1> tag that is not open here. Remove it, or add "
               "the missing <%1> before it.")
        .arg(name);
}

QString counted(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

}  // namespace

// ---- the window -----------------------------------------------------------------------

frmCheck::frmCheck(QWidget* owner)
    : SecondaryWindow(owner, QStringLiteral("Page Check"), QSize(7200, 3600), Place::System,
                      /*topmost=*/true) {
    list_ = place(new QListWidget, QStringLiteral("List1"), 90, 90, 7020, 2940);
    list_->setAccessibleName(QStringLiteral("Findings"));
    // An explanation is read whole: long rows wrap rather than run off to the right.
    list_->setWordWrap(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setResizeMode(QListView::Adjust);
    cancel_ =
        addButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 5955, 3120, 1155, 375);
    cancel_->setEnabled(false);
    setFocusOrder({list_, cancel_});
}

// ---- the check ------------------------------------------------------------------------

PageCheck::PageCheck(WindowHost& host) : host_(host) {
    busyTimer_.setSingleShot(true);
    busyTimer_.setInterval(kBusyAfterMs);
    connect(&busyTimer_, &QTimer::timeout, this, [this] { busy_.emplace(); });
    timeLimit_.setSingleShot(true);
    timeLimit_.setInterval(kTimeLimitMs);
    connect(&timeLimit_, &QTimer::timeout, this, [this] {
        stop();
        showLines(
            {QStringLiteral("HTML Tidy took longer than 30 seconds and was stopped; "
                            "the page was not checked.")});
    });
}

PageCheck::~PageCheck() {
    stop();
}

frmCheck* PageCheck::window() {
    return static_cast<frmCheck*>(host_.secondaryWindow(kWindowName));
}

void PageCheck::showLines(const QStringList& lines) {
    if (frmCheck* w = window()) {
        w->list().clear();
        w->list().addItems(lines);
        w->list().setCurrentRow(0);
        w->cancelButton().setEnabled(isRunning());
    }
}

void PageCheck::run() {
    stop();
    auto* w = static_cast<frmCheck*>(host_.showSecondaryWindow(kWindowName, [this] {
        auto* made = new frmCheck(&host_.window());
        connect(&made->list(), &QListWidget::itemActivated, this, &PageCheck::jumpTo);
        connect(&made->list(), &QListWidget::itemDoubleClicked, this, &PageCheck::jumpTo);
        connect(&made->cancelButton(), &QPushButton::clicked, this, &PageCheck::cancel);
        return made;
    }));
    w->raise();

    const EditingArea& area = host_.editingArea();
    if (area.byteLength() > kLargestPage) {
        showLines({QStringLiteral("The page is larger than 20 MB, too large to check.")});
        return;
    }
    process_ = new QProcess(this);
    // Only the options given here count, not a configuration file of the user's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HTML_TIDY"), QStringLiteral("/dev/null"));
    process_->setProcessEnvironment(environment);
    process_->setStandardOutputFile(QProcess::nullDevice());
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        finished(exitCode, status == QProcess::CrashExit);
    });
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            stop();
            showLines({QStringLiteral("HTML Tidy is not installed, so the page cannot be "
                                      "checked. To install it, type this in a terminal:"),
                       QStringLiteral("sudo apt install tidy")});
        }
    });
    const QString encoding = area.isUtf8() ? QStringLiteral("utf8") : QStringLiteral("win1252");
    process_->start(
        QStringLiteral("tidy"),
        {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("--mute-id"),
         QStringLiteral("yes"), QStringLiteral("--show-info"), QStringLiteral("no"),
         QStringLiteral("--show-warnings"), QStringLiteral("yes"), QStringLiteral("--show-errors"),
         QStringLiteral("100000"), QStringLiteral("--gnu-emacs"), QStringLiteral("no"),
         QStringLiteral("--tab-size"), QStringLiteral("1"), QStringLiteral("--input-encoding"),
         encoding, QStringLiteral("--output-encoding"), QStringLiteral("utf8"),
         QStringLiteral("-")});
    if (!process_) {  // it failed to start, and said so
        return;
    }
    const QByteArrayView text = area.bytes();
    process_->write(text.data(), text.size());
    process_->closeWriteChannel();
    busyTimer_.start();
    timeLimit_.start();
    showLines({QStringLiteral("Checking the page...")});
}

void PageCheck::cancel() {
    if (isRunning()) {
        stop();
        showLines({QStringLiteral("The check was cancelled.")});
    }
}

void PageCheck::stop() {
    busyTimer_.stop();
    timeLimit_.stop();
    busy_.reset();
    if (QProcess* process = std::exchange(process_, nullptr)) {
        process->disconnect(this);
        if (process->state() == QProcess::NotRunning) {
            process->deleteLater();
        } else {
            // Gone once it has ended; nothing waits for that.
            connect(process, &QProcess::finished, process, &QObject::deleteLater);
            process->kill();
        }
    }
}

void PageCheck::finished(int exitCode, bool crashed) {
    const QString report = QString::fromUtf8(process_->readAllStandardError());
    stop();
    // Tidy ends with 0 (clean), 1 (warnings) or 2 (errors).
    if (crashed || exitCode > 2) {
        showLines({QStringLiteral("HTML Tidy stopped unexpectedly; the page was not checked.")});
        return;
    }
    const QList<TidyFinding> findings = parse(report);
    QStringList lines{summary(findings)};
    for (const TidyFinding& finding : findings) {
        lines << QStringLiteral("Line %1, column %2: %3")
                     .arg(finding.line)
                     .arg(finding.column)
                     .arg(explain(finding));
    }
    showLines(lines);
    QListWidget& list = window()->list();
    for (qsizetype i = 0; i < findings.size(); ++i) {
        QListWidgetItem* item = list.item(static_cast<int>(i + 1));
        item->setData(kLineRole, findings[i].line);
        item->setData(kColumnRole, findings[i].column);
        item->setToolTip(item->text());
    }
}

void PageCheck::jumpTo(const QListWidgetItem* item) {
    const int line = item->data(kLineRole).toInt();
    if (line < 1) {
        return;  // the summary
    }
    EditingArea& area = host_.editingArea();
    const long lines = area.SendScintilla(EditingArea::SCI_GETLINECOUNT);
    const long index = std::min<long>(line, lines) - 1;
    const long start = area.SendScintilla(EditingArea::SCI_POSITIONFROMLINE, index);
    const long end = area.SendScintilla(EditingArea::SCI_GETLINEENDPOSITION, index);
    // Tidy counts characters, one for a tab; Scintilla steps by characters too.
    const long step = item->data(kColumnRole).toInt() - 1;
    long position = step <= 0 ? start
                              : area.SendScintilla(EditingArea::SCI_POSITIONRELATIVE,
                                                   static_cast<unsigned long>(start), step);
    if (position <= start && step > 0) {
        position = end;  // past the end of the text
    }
    position = std::min(position, end);
    area.SendScintilla(EditingArea::SCI_GOTOPOS, static_cast<unsigned long>(position));
    area.SendScintilla(EditingArea::SCI_CHOOSECARETX);
    host_.window().activateWindow();
    area.SetFocus();
}

// ---- Tidy's report in words -------------------------------------------------------------

QList<TidyFinding> PageCheck::parse(const QString& report) {
    static const QRegularExpression message(QStringLiteral(
        R"(^line (\d+) column (\d+) - (Warning|Error|Access): (.*?)(?: \(([A-Z0-9_]+)\))?$)"));
    QList<TidyFinding> findings;
    for (const QString& line : report.split(QLatin1Char('\n'))) {
        const auto match = message.match(line.trimmed());
        if (match.hasMatch()) {
            findings.append({match.captured(1).toInt(), match.captured(2).toInt(),
                             match.captured(3) == QLatin1String("Error"), match.captured(5),
                             match.captured(4)});
        }
    }
    std::stable_sort(
        findings.begin(), findings.end(), [](const TidyFinding& a, const TidyFinding& b) {
            return std::tuple(!a.error, a.line, a.column) < std::tuple(!b.error, b.line, b.column);
        });
    return findings;
}

QString PageCheck::summary(const QList<TidyFinding>& findings) {
    if (findings.isEmpty()) {
        return QStringLiteral("No problems found.");
    }
    const auto errors = std::count_if(findings.begin(), findings.end(),
                                      [](const TidyFinding& f) { return f.error; });
    const auto warnings = findings.size() - errors;
    // Only the kinds that were found: "3 warnings.", "1 error and 2 warnings."
    QStringList parts;
    if (errors > 0) {
        parts << counted(errors, "error", "errors");
    }
    if (warnings > 0) {
        parts << counted(warnings, "warning", "warnings");
    }
    return parts.join(QStringLiteral(" and ")) + QLatin1Char('.');
}

namespace {

// Explanations that need nothing from the message, by Tidy's codes (and, for a missing
// attribute, the tag and the attribute's name).
struct Plain {
    const char* codes;  // separated by blanks
    const char* tagAndAttribute;
    const char* text;
};
constexpr Plain kPlain[] = {
    {"MISSING_QUOTEMARK MISSING_QUOTEMARK_OPEN UNEXPECTED_QUOTEMARK SUSPECTED_MISSING_QUOTE "
     "UNEXPECTED_END_OF_FILE_ATTR",
     nullptr,
     "An attribute value has a quotation mark missing or one too many. Put each value between "
     "two quotation marks, like title=\"My page\"."},
    {"MISSING_DOCTYPE", nullptr,
     "The page does not start with <!DOCTYPE html>. Put it on the first line, so browsers "
     "read the page as today's HTML."},
    {"MISSING_TITLE_ELEMENT", nullptr,
     "The page has no title. Add <title>Your title</title> inside <head>; browsers show it on "
     "the tab."},
    {"MISSING_ATTRIBUTE", "img alt",
     "This picture has no alt text. Add alt=\"a few words about the picture\" for readers who "
     "cannot see it."},
    {"CONTENT_AFTER_BODY", nullptr,
     "There is something after </body>. Everything shown on the page belongs between <body> "
     "and </body>."},
};

}  // namespace

QString PageCheck::explain(const TidyFinding& f) {
    const QStringList tags = tagsIn(f.text);
    const QString tag = tags.value(0);
    const QString code = f.code;
    if (code == QLatin1String("MISSING_ENDTAG_FOR") && !tag.isEmpty()) {
        return QStringLiteral("The <%1> tag is never closed: add </%1> where it should end.")
            .arg(tag);
    }
    if (code == QLatin1String("MISSING_ENDTAG_BEFORE") && tags.size() >= 2) {
        return QStringLiteral("The <%1> tag must be closed with </%1> before </%2>.")
            .arg(tag, tags[1]);
    }
    if ((code == QLatin1String("DISCARDING_UNEXPECTED") ||
         code.startsWith(QLatin1String("UNEXPECTED_ENDTAG"))) &&
        f.text.contains(QLatin1String("</"))) {
        return endTagWithoutStart(tag);
    }
    if (code == QLatin1String("DISCARDING_UNEXPECTED") && !tag.isEmpty()) {
        return QStringLiteral("The tag <%1> does not belong here, so browsers ignore it.").arg(tag);
    }
    if (code == QLatin1String("NON_MATCHING_ENDTAG") ||
        code == QLatin1String("ELEMENT_NOT_EMPTY")) {
        const QString name = f.text.section(QLatin1Char(' '), 2, 2);
        return QStringLiteral(
                   "Tags are closed in the wrong order: </%1> comes while a tag "
                   "opened inside <%1> is still open. Close the tag opened last "
                   "first, like <b><i>text</i></b>.")
            .arg(name.isEmpty() ? tag : name);
    }
    if (code == QLatin1String("UNKNOWN_ELEMENT") ||
        (code == QLatin1String("PROPRIETARY_ELEMENT") && todayFor(tag) == todayFor({}))) {
        return QStringLiteral("<%1> is not an HTML tag. Check its spelling.").arg(tag);
    }
    if (code == QLatin1String("PROPRIETARY_ELEMENT") || code == QLatin1String("REMOVED_HTML5") ||
        code == QLatin1String("OBSOLETE_ELEMENT")) {
        return QStringLiteral("<%1> is no longer part of HTML. %2").arg(tag, todayFor(tag));
    }
    if (code == QLatin1String("UNKNOWN_ATTRIBUTE") ||
        code == QLatin1String("PROPRIETARY_ATTRIBUTE")) {
        return QStringLiteral(
                   "\"%1\" is not an attribute of <%2>. Check its spelling; if it "
                   "is part of the value before it, put that value in quotation "
                   "marks.")
            .arg(quotedIn(f.text), tag);
    }
    if (code.startsWith(QLatin1String("MISMATCHED_ATTRIBUTE"))) {
        return QStringLiteral(
                   "The attribute \"%1\" does not belong to <%2> in today's HTML; "
                   "a style does its job (see the primer's Today boxes).")
            .arg(quotedIn(f.text), tag);
    }
    for (const Plain& plain : kPlain) {
        if (QString::fromLatin1(plain.codes).split(QLatin1Char(' ')).contains(code) &&
            (!plain.tagAndAttribute ||
             tag + QLatin1Char(' ') + quotedIn(f.text) == QLatin1String(plain.tagAndAttribute))) {
            return QString::fromUtf8(plain.text);
        }
    }
    if (code == QLatin1String("TAG_NOT_ALLOWED_IN") &&
        f.text.startsWith(QLatin1String("plain text"))) {
        return QStringLiteral(
            "Text outside <body> is not part of the page. Move it between "
            "<body> and </body>.");
    }
    // Tidy's own words for the rest.
    QString text = f.text;
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('!'))
               ? text
               : text + QLatin1Char('.');
}
