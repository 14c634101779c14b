// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of the editor on large generated pages. Every measure is set against a floor
// measured in the same run (reading the file, write + fsync, memmove of the document,
// a bare Qt window), so the table shows ratios rather than absolute times of a noisy
// machine.
//
// Without arguments it generates the pages, runs each measurement in a fresh child
// process (so peak memory is per measurement) and prints the table. The first argument
// names a child mode; a child prints "key value" lines on standard output.
//
// QUINDO_BENCH_SIZES (default "1,10,100") chooses the page sizes in MB;
// QUINDO_BENCH_DIR the folder for the generated pages (default: a temporary folder).
#include "ScriptedDialogs.h"
#include "document/Document.h"
#include "document/DocumentFile.h"
#include "editing/FindReplace.h"
#include "platform/EditingArea.h"
#include "snippets/TagInsertion.h"
#include "ui/Features.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWindow>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr qint64 kMB = 1024 * 1024;
constexpr int kEdits = 1000;
constexpr int kLineLength = 80;  // with its CR LF

qint64 nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The peak resident memory of this program since it started: VmHWM, not getrusage's
// ru_maxrss, which also counts what the parent held when it forked the child.
long peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

void put(const char* key, double value) {
    std::printf("%s %.0f\n", key, value);
    std::fflush(stdout);
}

// ---- the generated pages -------------------------------------------------------------

// HTML-like text in lines of exactly 80 bytes (CR LF included): tags, attributes and
// words, varied from line to line so nothing repeats in short cycles.
QByteArray makePage(qint64 bytes) {
    static const char* const kOpenings[] = {
        "<P>", "<LI>", "<TD>", "<H2>", "<B>", "<A HREF=\"page", "<FONT COLOR=\"#", "<I>"};
    static const char* const kWords[] = {"the",   "quick", "brown", "fox",   "jumps",  "over",
                                         "lazy",  "dog",   "and",   "some",  "more",   "words",
                                         "about", "pages", "table", "links", "images", "text"};
    const qint64 lines = bytes / kLineLength;
    QByteArray page;
    page.reserve(lines * kLineLength);
    QRandomGenerator rng(2024);
    QByteArray line;
    for (qint64 i = 0; i < lines; ++i) {
        line.clear();
        line += kOpenings[i % 8];
        if (i % 8 == 5) {
            line += QByteArray::number(i % 97) + ".html\">";
        } else if (i % 8 == 6) {
            line += QByteArray::number(0x100000 + rng.bounded(0xEFFFFF), 16) + "\">";
        }
        while (line.size() < kLineLength - 2) {
            line += kWords[rng.bounded(18)];
            line += (rng.bounded(9) == 0) ? " <BR>" : " ";
        }
        line.truncate(kLineLength - 2);
        line += "\r\n";
        page += line;
    }
    return page;
}

// ---- helpers of the child modes ------------------------------------------------------

// Notes the first paint of a widget after arm().
class PaintWatcher : public QObject {
  public:
    explicit PaintWatcher(QWidget* widget) { widget->installEventFilter(this); }
    void arm() { painted_ = false; }
    bool painted() const { return painted_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted_ = true;
        }
        return false;
    }

  private:
    bool painted_ = false;
};

bool spinUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void showAndSettle(QWidget& window) {
    window.show();
    spinUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); });
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

// The main window with the page opened as the Open command does, painted once. Answers the
// time from the call to the end of that paint, or nothing when the text did not arrive.
std::optional<qint64> openInWindow(frmMain& window, const QString& file) {
    PaintWatcher watcher(window.Text1().viewport());
    watcher.arm();
    const qint64 start = nowNs();
    window.document().loadPath(file);
    const bool painted = spinUntil([&] { return watcher.painted(); }, 20000);
    const qint64 elapsed = nowNs() - start;
    if (!painted || window.Text1().byteLength() != QFileInfo(file).size()) {
        return std::nullopt;
    }
    return elapsed;
}

// For the editing measures: the page through OpenFile, or set directly into the editing
// area while OpenFile cannot load it yet.
bool loadPage(frmMain& window, const QString& file) {
    if (openInWindow(window, file)) {
        return true;
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    window.Text1().setBytes(f.readAll());
    put("loaded_directly", 1);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
    return true;
}

// Types one character of running text: words with spaces, and Enter after every 60.
void typeCharacter(QWidget* target, int index) {
    static const char kText[] = "the quick brown fox jumps over the lazy dog ";
    const bool enter = index % 61 == 60;
    const char c = kText[index % (sizeof kText - 1)];
    const int key = enter      ? int(Qt::Key_Return)
                    : c == ' ' ? int(Qt::Key_Space)
                               : Qt::Key_A + (c - 'a');
    const QString text = enter ? QStringLiteral("\r") : QString(QLatin1Char{c});
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// Runs one edit, then lets the event loop paint it; answers the time of both.
qint64 timedEdit(const std::function<void()>& edit) {
    const qint64 start = nowNs();
    edit();
    QCoreApplication::processEvents();
    return nowNs() - start;
}

void putEdits(const char* key, std::vector<qint64> times) {
    double sum = 0;
    if (qEnvironmentVariableIsSet("QUINDO_BENCH_TRACE")) {
        for (size_t i = 0; i < times.size(); ++i) {
            if (times[i] > 2000000) {
                std::fprintf(stderr, "%s edit %zu took %.1f ms\n", key, i, double(times[i]) / 1e6);
            }
        }
    }
    for (qint64 t : times) {
        sum += double(t);
    }
    std::sort(times.begin(), times.end());
    put((QByteArray(key) + "_mean_ns").constData(), sum / double(times.size()));
    put((QByteArray(key) + "_median_ns").constData(), double(times[times.size() / 2]));
    put((QByteArray(key) + "_max_ns").constData(), double(times.back()));
}

// ---- child modes ---------------------------------------------------------------------

int childOpen(const QString& file) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    put("rss_before_kb", double(peakRssKb()));
    const auto elapsed = openInWindow(window, file);
    put("open_ok", elapsed ? 1 : 0);
    if (elapsed) {
        put("open_ns", double(*elapsed));
    }
    put("rss_kb", double(peakRssKb()));
    return 0;
}

// The open with transparent huge pages switched off or on for this process, before the
// window exists.
int childOpenHugePages(const QString& file, const QString& mode) {
    if (prctl(PR_SET_THP_DISABLE, mode == QLatin1String("off") ? 1 : 0, 0, 0, 0) != 0) {
        std::perror("prctl(PR_SET_THP_DISABLE)");
        return 1;
    }
    return childOpen(file);
}

// The same open taken apart: the time spent in the file's reads, the time Scintilla's
// loader takes the pieces (copy, line-end scan, shape of the text), the swap of the new
// document into the area, and its first paint.
int childPhases(const QString& file) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    EditingArea& area = window.Text1();
    PaintWatcher watcher(area.viewport());
    watcher.arm();
    qint64 readNs = 0;
    qint64 lastRead = 0;
    const qint64 start = nowNs();
    const auto result = DocumentFile::load(
        file, DocumentFile::Receiver([&](qint64 size, const DocumentFile::Reader& next) {
            return area.streamBytes(size, [&](char* buffer, qint64 room) {
                const qint64 before = nowNs();
                const qint64 got = next(buffer, room);
                lastRead = nowNs();
                readNs += lastRead - before;
                return got;
            });
        }));
    const qint64 swapped = nowNs();
    // As the open binds the file: the text is the file's, nothing to keep a copy of.
    window.document().state().DocChanged = 0;
    area.update();
    const bool painted = spinUntil([&] { return watcher.painted(); }, 20000);
    const qint64 end = nowNs();
    if (!result.loaded || !painted || area.byteLength() != QFileInfo(file).size()) {
        return 1;
    }
    put("read_ns", double(readNs));
    put("scan_ns", double(lastRead - start - readNs));
    put("swap_ns", double(swapped - lastRead));
    put("paint_ns", double(end - swapped));
    return 0;
}

// Reading is measured by the parent; this is the other half of the open floor: handing
// the bytes to Scintilla once, with no undo history.
int childHandOff(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return 1;
    }
    const QByteArray bytes = f.readAll();
    QsciScintillaBase sci;
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
    sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 3; ++run) {
        sci.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        const qint64 start = nowNs();
        sci.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                          static_cast<unsigned long>(bytes.size()), bytes.constData());
        best = std::min(best, nowNs() - start);
    }
    put("handoff_ns", double(best));
    return 0;
}

int childSave(const QString& file, const QString& out) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    if (!openInWindow(window, file)) {
        put("save_ok", 0);
        return 0;
    }
    qint64 best = std::numeric_limits<qint64>::max();
    bool ok = true;
    for (int run = 0; run < 3 && ok; ++run) {
        QFile::remove(out);
        const qint64 start = nowNs();
        ok = window.document().SaveFileAs(out);
        best = std::min(best, nowNs() - start);
        // The saved file ends with one more line end than the text.
        ok = ok && QFileInfo(out).size() >= QFileInfo(file).size();
    }
    QFile::remove(out);
    put("save_ok", ok ? 1 : 0);
    if (ok) {
        put("save_ns", double(best));
    }
    return 0;
}

// Local editing near the end of the page: InsertAtCaret of "<B></B>" with step-back, each
// at the caret the previous one left, then typed characters.
int childEdit(const QString& file) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    if (!loadPage(window, file)) {
        put("edit_ok", 0);
        return 0;
    }
    EditingArea* area = &window.Text1();
    area->SetFocus();
    const qint64 nearEnd = area->byteLength() - 10 * kLineLength;

    area->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(nearEnd));
    QCoreApplication::processEvents();
    std::vector<qint64> times;
    qint64 before = area->byteLength();
    for (int i = 0; i < kEdits; ++i) {
        times.push_back(timedEdit([&] { window.tags().InsertAtCaret(QByteArray("<B></B>"), 4); }));
    }
    const bool insertOk = area->byteLength() == before + 7 * kEdits;
    put("insert_ok", insertOk ? 1 : 0);
    if (insertOk) {
        putEdits("insert", times);
    }

    // Typing goes on a line of its own, a few lines before the end.
    area->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                        static_cast<unsigned long>(area->byteLength() - 5 * kLineLength));
    QCoreApplication::processEvents();
    times.clear();
    before = area->byteLength();
    for (int i = 0; i < kEdits; ++i) {
        times.push_back(timedEdit([&] { typeCharacter(area, i); }));
    }
    const bool typeOk = area->byteLength() == before + kEdits + kEdits / 61;
    put("type_ok", typeOk ? 1 : 0);
    if (typeOk) {
        putEdits("type", times);
    }
    return 0;
}

// Insertions at random places: the editing control moving its gap across the text.
int childRandom(const QString& file) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    if (!loadPage(window, file)) {
        put("random_ok", 0);
        return 0;
    }
    EditingArea* area = &window.Text1();
    QRandomGenerator rng(7);
    std::vector<qint64> times;
    const qint64 before = area->byteLength();
    for (int i = 0; i < kEdits; ++i) {
        const auto position = static_cast<unsigned long>(rng.bounded(area->byteLength() + 1));
        times.push_back(timedEdit([&] {
            area->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, position);
            area->setSelText("<B></B>");
        }));
    }
    const bool ok = area->byteLength() == before + 7 * kEdits;
    put("random_ok", ok ? 1 : 0);
    if (ok) {
        putEdits("random", times);
    }
    return 0;
}

// Keystrokes near the end of a page in a bare editing area, to compare QScintilla builds.
int childKeys(const QString& file, int keys) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return 1;
    }
    EditingArea area;
    area.resize(800, 600);
    area.setBytes(f.readAll());
    showAndSettle(area);
    area.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                       static_cast<unsigned long>(area.byteLength() - 10 * kLineLength));
    QCoreApplication::processEvents();
    std::vector<qint64> times;
    for (int i = 0; i < keys; ++i) {
        times.push_back(timedEdit([&] { typeCharacter(&area, i); }));
    }
    putEdits("keys", times);
    return 0;
}

// Find and Replace on a large page: the window's opening, Find Next across the whole page
// (the only match at its end), and Replace All of 100,000 matches as one undoable edit.
int childFind(const QString& file) {
    ScriptedDialogs dialogs;
    frmMain window(dialogs, QString());
    showAndSettle(window);
    if (!loadPage(window, file)) {
        put("find_ok", 0);
        return 0;
    }
    using Sci = QsciScintillaBase;
    EditingArea& area = window.Text1();
    FindReplace& search = window.features().findReplace();
    // The marks: the start of 100,000 lines spread over the page and one after its end,
    // written without undo history so that only Replace All's own edit counts.
    constexpr qint64 kMatches = 100000;
    const QByteArray mark("QMARK");
    area.SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0L);
    const qint64 lines = area.byteLength() / kLineLength;
    for (qint64 i = 0; i < kMatches; ++i) {
        const qint64 at = (i * lines / kMatches) * kLineLength;
        area.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(at),
                           static_cast<long>(at + mark.size()));
        area.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(mark.size()),
                           mark.constData());
    }
    area.SendScintilla(Sci::SCI_APPENDTEXT, 5UL, "QLAST");
    area.SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 1L);
    area.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
    area.SendScintilla(Sci::SCI_GOTOPOS, 0UL);
    QCoreApplication::processEvents();

    qint64 start = nowNs();
    search.showFind();
    QWidget* findWindow = window.secondaryWindow(FindReplace::kWindowName);
    spinUntil(
        [&] { return findWindow->windowHandle() && findWindow->windowHandle()->isExposed(); });
    QCoreApplication::processEvents();
    put("find_window_ns", double(nowNs() - start));

    // Processor time beside the wall time: on a busy machine the wall time says little.
    auto cpuNs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(qint64(t.tv_sec) * 1000000000 + t.tv_nsec);
    };
    search.findWhat = QStringLiteral("QLAST");
    double cpu = cpuNs();
    start = nowNs();
    const bool found = search.findNext();
    put("find_next_ns", double(nowNs() - start));
    put("find_next_cpu_ns", cpuNs() - cpu);
    put("find_ok", found && area.SendScintilla(Sci::SCI_GETSELECTIONEND) == area.byteLength());
    // The same with Match case: Scintilla compares bytes instead of folding each character.
    area.SendScintilla(Sci::SCI_GOTOPOS, 0UL);
    search.matchCase = true;
    cpu = cpuNs();
    start = nowNs();
    search.findNext();
    put("find_next_case_ns", double(nowNs() - start));
    put("find_next_case_cpu_ns", cpuNs() - cpu);
    search.matchCase = false;

    area.SendScintilla(Sci::SCI_GOTOPOS, 0UL);
    put("rss_before_kb", double(peakRssKb()));
    search.findWhat = QString::fromLatin1(mark);
    search.replaceWith = QStringLiteral("<B>Q</B>");
    cpu = cpuNs();
    start = nowNs();
    const qint64 replaced = search.replaceAll();
    QCoreApplication::processEvents();
    put("replace_all_ns", double(nowNs() - start));
    put("replace_all_cpu_ns", cpuNs() - cpu);
    put("replace_all_count", double(replaced));
    put("rss_kb", double(peakRssKb()));
    put("page_bytes", double(area.byteLength()));
    return 0;
}

// ---- the parent: floors, children, table ---------------------------------------------

using Values = QMap<QString, QString>;

struct Bench {
    QString dir;
    QStringList errors;

    QProcessEnvironment childEnvironment() const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), dir + QStringLiteral("/state"));
        return env;
    }

    Values run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(program, args);
        child.waitForFinished(-1);
        Values values;
        const auto lines = QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n');
        for (const QString& line : lines) {
            const qsizetype space = line.indexOf(QLatin1Char(' '));
            if (space > 0) {
                values.insert(line.left(space), line.mid(space + 1));
            }
        }
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            errors << QStringLiteral("%1 %2 failed: %3")
                          .arg(program, args.join(' '),
                               QString::fromLocal8Bit(child.readAllStandardError()).trimmed());
        }
        return values;
    }

    Values child(const QStringList& args, const QProcessEnvironment* env = nullptr) {
        return run(QCoreApplication::applicationFilePath(), args, env ? *env : childEnvironment());
    }

    // The median of several launches, in nanoseconds.
    std::optional<double> startup(const QString& program, const QStringList& args = {}) {
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            auto env = childEnvironment();
            env.insert(QStringLiteral("QUINDO_BENCH_STARTUP"), QString::number(nowNs()));
            const Values v = run(program, args, env);
            if (v.contains(QStringLiteral("startup_ns"))) {
                times.push_back(v.value(QStringLiteral("startup_ns")).toDouble());
            }
        }
        if (times.empty()) {
            return std::nullopt;
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
};

template <typename F>
double bestOf(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const qint64 start = nowNs();
        f();
        best = std::min(best, double(nowNs() - start));
    }
    return best;
}

double floorRead(const QString& file) {
    const qint64 size = QFileInfo(file).size();
    std::vector<char> buffer(static_cast<size_t>(size));
    return bestOf(5, [&] {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
        qint64 done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, buffer.data() + done, size_t(size - done));
            if (got <= 0) {
                break;
            }
            done += got;
        }
        ::close(fd);
    });
}

double floorWrite(const QByteArray& bytes, const QString& out) {
    const QByteArray path = QFile::encodeName(out);
    const double best = bestOf(3, [&] {
        ::unlink(path.constData());
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (put <= 0) {
                break;
            }
            done += put;
        }
        ::fsync(fd);
        ::close(fd);
    });
    ::unlink(path.constData());
    return best;
}

double floorMemmove(qint64 size) {
    std::vector<char> buffer(static_cast<size_t>(size + 64), 'x');
    volatile char sink = 0;
    const double best = bestOf(5, [&] {
        std::memmove(buffer.data() + 1, buffer.data(), size_t(size));
        sink = sink + buffer[size_t(size / 2)];
    });
    return best;
}

// ---- the table -----------------------------------------------------------------------

QString ms(double ns) {
    if (ns < 1e6) {
        return QString::number(ns / 1e6, 'f', 4) + QStringLiteral(" ms");
    }
    return QString::number(ns / 1e6, 'f', 1) + QStringLiteral(" ms");
}

QString mb(double bytes) {
    return QString::number(bytes / double(kMB), 'f', 1) + QStringLiteral(" MB");
}

struct Row {
    QString what, size, value, floorName, floorValue, ratio, target, verdict;
};

QList<Row> gRows;
int gMissed = 0;

void row(const QString& what, const QString& size, const QString& value,
         const QString& floorName = {}, const QString& floorValue = {},
         std::optional<double> ratio = std::nullopt, const QString& target = {},
         std::optional<bool> met = std::nullopt) {
    Row r{what,       size,
          value,      floorName,
          floorValue, ratio ? QString::number(*ratio, 'f', 2) + QStringLiteral("x") : QString(),
          target,     met ? (*met ? QStringLiteral("ok") : QStringLiteral("MISSED")) : QString()};
    if (met && !*met) {
        ++gMissed;
    }
    gRows << r;
}

void printTable() {
    const QStringList heads{QStringLiteral("measure"),     QStringLiteral("size"),
                            QStringLiteral("value"),       QStringLiteral("floor"),
                            QStringLiteral("floor value"), QStringLiteral("ratio"),
                            QStringLiteral("target"),      QStringLiteral("")};
    std::vector<qsizetype> widths(heads.size());
    auto cells = [](const Row& r) {
        return QStringList{r.what,       r.size,  r.value,  r.floorName,
                           r.floorValue, r.ratio, r.target, r.verdict};
    };
    for (int i = 0; i < heads.size(); ++i) {
        widths[i] = heads[i].size();
    }
    for (const Row& r : std::as_const(gRows)) {
        const QStringList c = cells(r);
        for (int i = 0; i < c.size(); ++i) {
            widths[i] = std::max(widths[i], c[i].size());
        }
    }
    auto line = [&](const QStringList& c) {
        QString out = QStringLiteral("|");
        for (int i = 0; i < c.size(); ++i) {
            out += QLatin1Char(' ') + c[i].leftJustified(widths[i]) + QStringLiteral(" |");
        }
        std::printf("%s\n", qPrintable(out));
    };
    line(heads);
    QStringList rule;
    for (qsizetype w : widths) {
        rule << QString(w, QLatin1Char('-'));
    }
    line(rule);
    for (const Row& r : std::as_const(gRows)) {
        line(cells(r));
    }
}

QString machineText() {
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString cpu;
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : cpuinfo.readAll().split('\n')) {
            if (l.startsWith("model name")) {
                cpu = QString::fromLatin1(l.mid(l.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    return QStringLiteral("%1, %2 cores, %3 GiB RAM")
        .arg(cpu)
        .arg(sysconf(_SC_NPROCESSORS_ONLN))
        .arg(double(sysconf(_SC_PHYS_PAGES)) * double(sysconf(_SC_PAGESIZE)) / double(1 << 30), 0,
             'f', 0);
}

// The Find and Replace rows, for the largest page.
void findRows(Bench& bench, const QString& file, const QString& sz) {
    const Values found = bench.child({QStringLiteral("find"), file});
    auto value = [&](const char* key) { return found.value(QLatin1String(key)).toDouble(); };
    if (found.value(QStringLiteral("find_ok")) != QLatin1String("1")) {
        row(QStringLiteral("Find Next across the page"), sz, QStringLiteral("failed"));
        return;
    }
    row(QStringLiteral("Find and Replace window opens"), QString(), ms(value("find_window_ns")), {},
        {}, std::nullopt, QStringLiteral("< 50 ms"), value("find_window_ns") < 50e6);
    auto both = [&](const char* key) {
        return QStringLiteral("%1 (processor %2)")
            .arg(ms(value(key)), ms(value((QByteArray(key).chopped(3) + "_cpu_ns").constData())));
    };
    row(QStringLiteral("Find Next across the page"), sz, both("find_next_ns"), {}, {}, std::nullopt,
        QStringLiteral("< 0.3 s"), value("find_next_ns") < 300e6);
    row(QStringLiteral("Find Next across the page, Match case"), sz, both("find_next_case_ns"));
    const double count = value("replace_all_count");
    row(QStringLiteral("Replace All, %1 matches").arg(count), sz, both("replace_all_ns"), {}, {},
        std::nullopt, QStringLiteral("< 2 s"), count == 100000 && value("replace_all_ns") < 2e9);
    const double rss = value("rss_kb") * 1024.0;
    const double page = value("page_bytes");
    row(QStringLiteral("peak memory with Replace All"), sz, mb(rss), QStringLiteral("page"),
        mb(page), rss / page, QStringLiteral("< 2x"), rss < 2 * page);
    // What Replace All itself added (the text's buffer grows once when the page does).
    const double added = rss - value("rss_before_kb") * 1024.0;
    row(QStringLiteral("memory Replace All added"), sz, mb(added), QStringLiteral("page"), mb(page),
        added / page);
}

// ---- the parent's steps ---------------------------------------------------------------

std::optional<double> value(const Values& values, const char* key) {
    if (!values.contains(QLatin1String(key))) {
        return std::nullopt;
    }
    return values.value(QLatin1String(key)).toDouble();
}

QString notImplemented() {
    return QStringLiteral("n/a (does not load/save/insert yet)");
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A returning user: no first-run welcome window during the start-up measure.
void prepareSettings(const Bench& bench) {
    QDir().mkpath(bench.dir + QStringLiteral("/config/quindo"));
    QFile ini(bench.dir + QStringLiteral("/config/quindo/quindo.ini"));
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write("[Run]\nValue=5\n");
    }
}

QList<int> pageSizes() {
    QList<int> sizes;
    for (const QString& s :
         qEnvironmentVariable("QUINDO_BENCH_SIZES", QStringLiteral("1,10,100")).split(',')) {
        sizes << s.toInt();
    }
    return sizes;
}

// One generated page on disk and the floors measured on it.
struct Page {
    QString file;
    QString size;  // as shown in the table
    int sizeMb = 0;
    qint64 bytes = 0;
    bool first = false;
    bool largest = false;
    double read = 0, write = 0, move = 0;
};

Page writePage(const Bench& bench, int sizeMb, const QList<int>& sizes) {
    Page p;
    p.file = bench.dir + QStringLiteral("/page%1.html").arg(sizeMb);
    p.size = QStringLiteral("%1 MB").arg(sizeMb);
    p.sizeMb = sizeMb;
    p.first = sizeMb == sizes.first();
    p.largest = sizeMb == sizes.last();
    const QByteArray page = makePage(sizeMb * kMB);
    p.bytes = page.size();
    {
        QFile f(p.file);
        f.open(QIODevice::WriteOnly);
        f.write(page);
    }
    p.read = floorRead(p.file);
    p.write = floorWrite(page, bench.dir + QStringLiteral("/floor.out"));
    p.move = floorMemmove(page.size());
    row(QStringLiteral("floor: read file"), p.size, ms(p.read));
    row(QStringLiteral("floor: write + fsync"), p.size, ms(p.write));
    row(QStringLiteral("floor: memmove of the document"), p.size, ms(p.move));
    return p;
}

void measureOpen(Bench& bench, const Page& p) {
    const Values hand = bench.child({QStringLiteral("handoff"), p.file});
    const Values open = bench.child({QStringLiteral("open"), p.file});
    const auto handNs = value(hand, "handoff_ns");
    const auto openNs = value(open, "open_ns");
    if (!openNs || !handNs) {
        row(QStringLiteral("open until painted"), p.size, notImplemented());
        return;
    }
    const double ratio = *openNs / (p.read + *handNs);
    row(QStringLiteral("open until painted"), p.size, ms(*openNs),
        QStringLiteral("read + hand to Scintilla"), ms(p.read + *handNs), ratio,
        p.largest ? QStringLiteral("<= 3x") : QString(),
        p.largest ? std::optional<bool>(ratio <= 3.0) : std::nullopt);
    const double rss = *value(open, "rss_kb") * 1024.0;
    const double limit = 2.5 * double(p.bytes) + 60.0 * double(kMB);
    row(QStringLiteral("peak memory of open"), p.size, mb(rss),
        QStringLiteral("2.5 x file + 60 MB"), mb(limit), rss / limit,
        p.largest ? QStringLiteral("<= 1x") : QString(),
        p.largest ? std::optional<bool>(rss <= limit) : std::nullopt);
}

// The 100 MB open with transparent huge pages off and on for the child process, runs
// interleaved: whether the kernel has huge pages to give must not decide the open's time.
void measureHugePageModes(Bench& bench, const Page& p) {
    constexpr int kRuns = 5;
    std::vector<double> off, on;
    for (int run = 0; run < kRuns; ++run) {
        for (auto* times : {&off, &on}) {
            const QString mode = times == &off ? QStringLiteral("off") : QStringLiteral("on");
            const Values open = bench.child({QStringLiteral("open-thp"), p.file, mode});
            if (const auto openNs = value(open, "open_ns")) {
                times->push_back(*openNs);
            }
        }
    }
    if (off.empty() || on.empty()) {
        row(QStringLiteral("open until painted, huge pages on"), p.size, QStringLiteral("failed"));
        return;
    }
    const QString runs = QStringLiteral(" (median of %1)").arg(kRuns);
    row(QStringLiteral("open until painted, huge pages off"), p.size, ms(median(off)) + runs);
    const double ratio = median(on) / median(off);
    row(QStringLiteral("open until painted, huge pages on"), p.size, ms(median(on)) + runs,
        QStringLiteral("huge pages off"), ms(median(off)), ratio, QStringLiteral("within 1.3x"),
        ratio <= 1.3 && ratio >= 1 / 1.3);
}

// The best of three: page faults make single runs vary.
void measurePhases(Bench& bench, const Page& p) {
    Values phases;
    double bestTotal = 0;
    for (int run = 0; run < 3; ++run) {
        const Values one = bench.child({QStringLiteral("phases"), p.file});
        double total = 0;
        for (const char* key : {"read_ns", "scan_ns", "swap_ns", "paint_ns"}) {
            total += one.value(QLatin1String(key), QStringLiteral("1e300")).toDouble();
        }
        if (run == 0 || total < bestTotal) {
            phases = one;
            bestTotal = total;
        }
    }
    for (const auto& [key, name] : {std::pair{"read_ns", "open: reading the file"},
                                    std::pair{"scan_ns", "open: loader takes the pieces"},
                                    std::pair{"swap_ns", "open: new document swapped in"},
                                    std::pair{"paint_ns", "open: first paint"}}) {
        const auto phase = value(phases, key);
        row(QString::fromLatin1(name), p.size, phase ? ms(*phase) : QStringLiteral("failed"));
    }
}

void measureSave(Bench& bench, const Page& p) {
    const Values save =
        bench.child({QStringLiteral("save"), p.file, bench.dir + QStringLiteral("/saved.html")});
    const auto saveNs = value(save, "save_ns");
    if (!saveNs) {
        row(QStringLiteral("save as (atomic)"), p.size, notImplemented());
        return;
    }
    const double ratio = *saveNs / p.write;
    row(QStringLiteral("save as (atomic)"), p.size, ms(*saveNs), QStringLiteral("write + fsync"),
        ms(p.write), ratio, p.largest ? QStringLiteral("<= 1.5x") : QString(),
        p.largest ? std::optional<bool>(ratio <= 1.5) : std::nullopt);
}

// Per-edit times: the median is compared (one slow edit is not growth with the document);
// mean and slowest are shown beside it.
QString editText(const Values& values, const QString& key) {
    return QStringLiteral("%1 (mean %2, max %3)")
               .arg(ms(values.value(key + QStringLiteral("_median_ns")).toDouble()),
                    ms(values.value(key + QStringLiteral("_mean_ns")).toDouble()),
                    ms(values.value(key + QStringLiteral("_max_ns")).toDouble())) +
           (values.contains(QStringLiteral("loaded_directly"))
                ? QStringLiteral(" [text set directly]")
                : QString());
}

// Medians of the smallest page's edits, which the largest page's are held against.
struct SmallPageEdits {
    std::optional<double> insert, type;
};

void measureLocalEditing(Bench& bench, const Page& p, int smallestMb, SmallPageEdits& small) {
    const Values edit = bench.child({QStringLiteral("edit"), p.file});
    auto local = [&](const QString& key, const QString& what, std::optional<double>& smallest) {
        const auto medianNs =
            value(edit, (key + QStringLiteral("_median_ns")).toLatin1().constData());
        if (!medianNs) {
            row(what, p.size, notImplemented());
            return;
        }
        if (p.first) {
            smallest = medianNs;
        }
        if (p.largest && smallest && !p.first) {
            const double ratio = *medianNs / *smallest;
            row(what, p.size, editText(edit, key), QStringLiteral("same in %1 MB").arg(smallestMb),
                ms(*smallest), ratio, QStringLiteral("< 1 ms and <= 2x"),
                *medianNs < 1e6 && ratio <= 2.0);
        } else {
            row(what, p.size, editText(edit, key));
        }
    };
    local(QStringLiteral("insert"), QStringLiteral("InsertAtCaret <B></B> near end, per edit"),
          small.insert);
    local(QStringLiteral("type"), QStringLiteral("typed character near end, per key"), small.type);
}

void measureRandomEditing(Bench& bench, const Page& p) {
    const Values random = bench.child({QStringLiteral("random"), p.file});
    const auto mean = value(random, "random_mean_ns");
    if (!mean) {
        row(QStringLiteral("insertion at a random place, per edit"), p.size, notImplemented());
        return;
    }
    const double ratio = *mean / p.move;
    row(QStringLiteral("insertion at a random place, per edit (mean)"), p.size,
        editText(random, QStringLiteral("random")), QStringLiteral("memmove of the document"),
        ms(p.move), ratio, QStringLiteral("<= 2x"), ratio <= 2.0);
}

// A keystroke near the end of a 50 MB page in a bare editing area: the patched build the
// program links does not count characters from the start of the text per edit.
void measureBareKeystroke(Bench& bench) {
    const QString file = bench.dir + QStringLiteral("/page50.html");
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(makePage(50 * kMB));
    }
    const Values patched = bench.child({QStringLiteral("keys"), file, QStringLiteral("100")});
    const auto patchedNs = value(patched, "keys_median_ns");
    row(QStringLiteral("keystroke near end, bare editing area"), QStringLiteral("50 MB"),
        patchedNs ? ms(*patchedNs) : QStringLiteral("failed"));
    QFile::remove(file);
}

struct Oversized {
    QString name, size;
    qint64 bytes;
    bool oneLine;
};

void writeOversized(const QString& file, const Oversized& h) {
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    if (h.oneLine) {
        const QByteArray words("<B>bold</B> and <I>some</I> words of running text ");
        QByteArray line;
        line.reserve(h.bytes);
        while (line.size() + words.size() <= h.bytes) {
            line += words;
        }
        f.write(line);
    } else {
        const QByteArray chunk = makePage(64 * kMB);
        for (qint64 done = 0; done < h.bytes; done += chunk.size()) {
            f.write(chunk);
        }
    }
}

// Beyond the targets: a 1 GiB page, and one 50 MB line without a line end. Each is opened
// in the window (time and peak memory against the file's size) and typed into near its end
// in a bare editing area. QUINDO_BENCH_HUGE=0 leaves them out.
void measureOversized(Bench& bench) {
    if (qEnvironmentVariable("QUINDO_BENCH_HUGE", QStringLiteral("1")) == QLatin1String("0")) {
        return;
    }
    for (const Oversized& h :
         {Oversized{QStringLiteral("page"), QStringLiteral("1 GiB"), 1024 * kMB, false},
          Oversized{QStringLiteral("one line"), QStringLiteral("50 MB line"), 50 * kMB, true}}) {
        const QString file = bench.dir + QStringLiteral("/huge.html");
        writeOversized(file, h);
        const double fileSize = double(QFileInfo(file).size());
        const Values open = bench.child({QStringLiteral("open"), file});
        if (const auto openNs = value(open, "open_ns")) {
            row(QStringLiteral("open until painted (%1)").arg(h.name), h.size, ms(*openNs));
            const double rss = *value(open, "rss_kb") * 1024.0;
            row(QStringLiteral("peak memory of open (%1)").arg(h.name), h.size, mb(rss),
                QStringLiteral("file size"), mb(fileSize), rss / fileSize);
        } else {
            row(QStringLiteral("open until painted (%1)").arg(h.name), h.size,
                QStringLiteral("failed"));
        }
        const Values keys = bench.child({QStringLiteral("keys"), file, QStringLiteral("30")});
        const auto keyNs = value(keys, "keys_median_ns");
        row(QStringLiteral("keystroke near end, bare editing area (%1)").arg(h.name), h.size,
            keyNs ? QStringLiteral("%1 (max %2)").arg(ms(*keyNs), ms(*value(keys, "keys_max_ns")))
                  : QStringLiteral("failed"));
        QFile::remove(file);
    }
}

void measureStartup(Bench& bench) {
    const auto bare = bench.startup(QStringLiteral(QUINDO_BARE_WINDOW));
    const auto withText =
        bench.startup(QStringLiteral(QUINDO_BARE_WINDOW), {QStringLiteral("text")});
    const auto withEditor =
        bench.startup(QStringLiteral(QUINDO_BARE_WINDOW), {QStringLiteral("editor")});
    const auto editor = bench.startup(QStringLiteral(QUINDO_EXECUTABLE));
    if (!bare || !editor) {
        row(QStringLiteral("start-up to idle main window"), QString(), QStringLiteral("failed"));
        return;
    }
    const double ratio = *editor / *bare;
    row(QStringLiteral("start-up to idle main window"), QString(), ms(*editor),
        QStringLiteral("bare Qt 6 QMainWindow"), ms(*bare), ratio, QStringLiteral("<= 1.5x"),
        ratio <= 1.5);
    if (withText) {
        row(QStringLiteral("start-up to idle main window"), QString(), ms(*editor),
            QStringLiteral("QMainWindow with menu bar and label"), ms(*withText),
            *editor / *withText, QStringLiteral("(for reference)"));
    }
    if (withEditor) {
        // The 1.4x target is set on a real X server (the peers' harness), where both pay
        // for the window system; offscreen shows what the program itself adds.
        row(QStringLiteral("start-up to idle main window"), QString(), ms(*editor),
            QStringLiteral("QMainWindow with a QScintilla area"), ms(*withEditor),
            *editor / *withEditor, QStringLiteral("(for reference)"));
    }
}

int parent() {
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/quindo-bench-XXXXXX"));
    Bench bench;
    bench.dir = qEnvironmentVariable("QUINDO_BENCH_DIR", temp.path());
    prepareSettings(bench);
    const QList<int> sizes = pageSizes();
    std::printf("Machine: %s\n\n", qPrintable(machineText()));
    std::fflush(stdout);

    SmallPageEdits small;
    for (int sizeMb : std::as_const(sizes)) {
        const Page page = writePage(bench, sizeMb, sizes);
        measureOpen(bench, page);
        if (sizeMb == 100) {
            measureHugePageModes(bench, page);
        }
        measurePhases(bench, page);
        measureSave(bench, page);
        measureLocalEditing(bench, page, sizes.first(), small);
        if (page.largest) {
            measureRandomEditing(bench, page);
            findRows(bench, page.file, page.size);
        }
        QFile::remove(page.file);
    }
    measureBareKeystroke(bench);
    measureOversized(bench);
    measureStartup(bench);

    printTable();
    for (const QString& e : std::as_const(bench.errors)) {
        std::printf("error: %s\n", qPrintable(e));
    }
    std::printf("\n%d target(s) missed\n", gMissed);
    return bench.errors.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == QLatin1String("open")) {
        return childOpen(args.value(1));
    }
    if (mode == QLatin1String("open-thp")) {
        return childOpenHugePages(args.value(1), args.value(2));
    }
    if (mode == QLatin1String("phases")) {
        return childPhases(args.value(1));
    }
    if (mode == QLatin1String("handoff")) {
        return childHandOff(args.value(1));
    }
    if (mode == QLatin1String("save")) {
        return childSave(args.value(1), args.value(2));
    }
    if (mode == QLatin1String("edit")) {
        return childEdit(args.value(1));
    }
    if (mode == QLatin1String("random")) {
        return childRandom(args.value(1));
    }
    if (mode == QLatin1String("find")) {
        return childFind(args.value(1));
    }
    if (mode == QLatin1String("keys")) {
        return childKeys(args.value(1), args.value(2).toInt());
    }
    return parent();
}
