// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing lost, nothing damaged: what loading, saving, the settings store, the message
// boxes and "Edit with Quindo" do with nodes that are no plain files, failed reads and
// writes, file modes, hard links and the desktop's association list; which files the real
// open and save dialogs show, their default suffix and the name they start with.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "app/SettingsStore.h"
#include "browser/EditEntry.h"
#include "document/DocumentFile.h"
#include "platform/Dialogs.h"
#include "platform/EditingArea.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QtTest>

#include <sys/mount.h>

#include <optional>

namespace {

QByteArray name(const QString& path) {
    return QFile::encodeName(path);
}

// What a node is, to check it was left alone.
QString describe(const QString& path) {
    struct stat st {};
    if (::lstat(name(path).constData(), &st) != 0)
        return "missing";
    if (S_ISLNK(st.st_mode))
        return "link to " + QFile::symLinkTarget(path) + ", " +
               describe(QFile::symLinkTarget(path));
    return QString("mode %1, %2 bytes").arg(st.st_mode, 0, 8).arg(st.st_size);
}

long sci(EditingArea& area, unsigned int message, unsigned long w = 0, long l = 0) {
    return area.SendScintilla(message, w, l);
}

// Runs act on the open file dialog once its folder lists at least `rows` enabled names.
void whenOpen(int rows, const std::function<void(QFileDialog*, QStringList)>& act) {
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QFileDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                dialog = d;
        if (!dialog)
            return;
        auto* list = dialog->findChild<QAbstractItemView*>("listView");
        QStringList shown;
        for (int row = 0; list && list->model() && row < list->model()->rowCount(list->rootIndex());
             ++row) {
            const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
            // A file the filter leaves out is hidden or shown disabled.
            if (list->model()->flags(index) & Qt::ItemIsEnabled)
                shown << index.data().toString();
        }
        if (shown.size() < rows && clock->elapsed() < 5000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        shown.sort();
        act(dialog, shown);
    });
    poll->start(20);
}

// A home of the test's own for the association list: its XDG folders, and its bin/ first
// in PATH for fake desktop tools.
struct FakeHome {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME"), searchPath = qgetenv("PATH");
    FakeHome() {
        qputenv("XDG_CONFIG_HOME", name(home.filePath("config")));
        qputenv("XDG_DATA_HOME", name(home.filePath("data")));
        qputenv("PATH", name(home.filePath("bin")) + ":" + searchPath);
        QDir().mkpath(home.filePath("config"));
        QDir().mkpath(home.filePath("bin"));
    }
    ~FakeHome() {
        qputenv("XDG_CONFIG_HOME", config);
        qputenv("PATH", searchPath);
        for (const char* v : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "MEANWHILE"})
            qunsetenv(v);
    }
    QString path(const QString& file) const { return home.filePath(file); }
    void tool(const QString& file, const QByteArray& script) const {
        writeFile(path("bin/" + file), script);
        QVERIFY(QFile::setPermissions(path("bin/" + file), QFile::ReadOwner | QFile::ExeOwner));
    }
};

}  // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    QTemporaryDir dir_;
    QString path(const QString& file) const { return dir_.filePath(file); }

  private slots:
    // A load either replaces the whole text or leaves the area exactly as it was; only
    // regular files are read, and nothing is waited for.
    void loadReplacesAllOrNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("error");
        for (const char* kind : {"fifo", "socket", "directory", "symlink loop"})
            QTest::newRow(kind) << kind << path(QString(kind) + ".html") << false << "";
        QTest::newRow("device") << ""
                                << "/dev/zero" << false << "Is a device, not a file";
        QTest::newRow("write-only")
            << "write-only" << path("wo.html") << false << "Permission denied";
        QTest::newRow("read error") << ""
                                    << "/proc/self/mem" << true << "Input/output error";
        QTest::newRow("regular") << "regular" << path("page.html") << true << "";
    }

    void loadReplacesAllOrNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(bool, opened);
        QFETCH(QString, error);
        if (kind == "regular" || kind == "write-only") {
            writeFile(file, "<P>new</P>\r\n");
        } else if (!kind.isEmpty()) {
            makeNode(kind, file);
        }
        EditingArea area;
        area.resize(400, 300);
        // 8-bit text with LF line ends, an edit to undo, the caret inside.
        area.setBytes("line one \xff\nline two\nline three\n");
        area.setSelStart(5);
        area.setSelText("X");
        const QByteArray before = area.bytes().toByteArray();

        DocumentFile::LoadResult result;
        QElapsedTimer clock;
        clock.start();
        if (kind == "write-only") {
            // Root reads anything: the open is tried as another user.
            QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ExeOther));
            QCOMPARE(::chown(name(file).constData(), 65534, 65534), 0);
            QCOMPARE(::chmod(name(file).constData(), 0200), 0);
            QCOMPARE(::seteuid(65534), 0);
            result = DocumentFile::load(file, area);
            QCOMPARE(::seteuid(0), 0);
        } else {
            result = DocumentFile::load(file, area);
        }
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(result.opened, opened);
        QCOMPARE(result.loaded, kind == "regular");
        if (!error.isEmpty())
            QCOMPARE(result.error, error);
        if (result.loaded) {
            QCOMPARE(area.bytes().toByteArray(), QByteArray("<P>new</P>\r\n"));
            QVERIFY(area.isUtf8());
            QCOMPARE(sci(area, QsciScintillaBase::SCI_GETEOLMODE),
                     long(QsciScintillaBase::SC_EOL_CRLF));
            QVERIFY(!sci(area, QsciScintillaBase::SCI_CANUNDO));
            return;
        }
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(area.bytes().toByteArray(), before);
        QVERIFY(!area.isUtf8());
        QCOMPARE(sci(area, QsciScintillaBase::SCI_GETEOLMODE), long(QsciScintillaBase::SC_EOL_LF));
        QCOMPARE(area.selStart(), qint64(6));
        // Every line is still laid out, and the edit can still be undone.
        QCOMPARE(sci(area, QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, 3), 3L);
        area.undo();
        QCOMPARE(area.bytes().toByteArray(), QByteArray("line one \xff\nline two\nline three\n"));
    }

    // A pipe or a socket is never written (nor waited for); a device is written in place.
    void saveRefusesPipesAndSockets_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"fifo", "socket", "link to fifo"})
            QTest::newRow(kind) << QString(kind);
    }

    void saveRefusesPipesAndSockets() {
        QFETCH(QString, kind);
        const QString target = path("save-" + kind);
        makeNode(kind, target);
        const QString node = describe(target);
        QString error;
        QVERIFY(!DocumentFile::write(target, "text", &error));
        const QString what = kind == "socket" ? "a socket" : "a named pipe";
        QCOMPARE(error, "Can't save " + target + ": Is " + what +
                            ", not a file\nUse Save As to save the document under another name.");
        QCOMPARE(describe(target), node);
        QVERIFY(DocumentFile::write("/dev/null", "text", &error));
    }

    // A saved file keeps exactly its mode bits, its owner and its group; a file with a
    // second name is written in place, so both names see the new text.
    void saveKeepsModeOwnerAndLinks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QByteArray>("old");
        QTest::newRow("read-only") << 0444 << false << QByteArray("old");
        QTest::newRow("private") << 0600 << false << QByteArray("old");
        QTest::newRow("set-group-ID") << 02775 << false << QByteArray("old");
        QTest::newRow("sticky, odd bits") << 01651 << false << QByteArray("old");
        QTest::newRow("hard link, read-only") << 0444 << true << QByteArray("old");
        QTest::newRow("hard link, set-group-ID") << 02664 << true << QByteArray("old");
        QTest::newRow("hard link, longer old text")
            << 0644 << true << QByteArray("an old text longer than the new one");
    }

    void saveKeepsModeOwnerAndLinks() {
        QFETCH(int, mode);
        QFETCH(bool, linked);
        QFETCH(QByteArray, old);
        QTemporaryDir own;
        const QString file = own.filePath("page.html");
        writeFile(file, old);
        if (linked)
            QCOMPARE(::link(name(file).constData(), name(own.filePath("other.html")).constData()),
                     0);
        QCOMPARE(::chown(name(file).constData(), 4321, 4322), 0);
        QCOMPARE(::chmod(name(file).constData(), mode_t(mode)), 0);
        struct stat before {};
        QCOMPARE(::stat(name(file).constData(), &before), 0);

        QString error;
        QVERIFY2(DocumentFile::write(file, "new", &error), qPrintable(error));
        struct stat after {};
        QCOMPARE(::stat(name(file).constData(), &after), 0);
        QCOMPARE(after.st_mode & 07777, mode_t(mode));
        QCOMPARE(after.st_uid, uid_t(4321));
        QCOMPARE(after.st_gid, gid_t(4322));
        QCOMPARE(readFile(file), QByteArray("new\r\n"));
        QCOMPARE(after.st_ino == before.st_ino, linked);
        if (linked)
            QCOMPARE(readFile(own.filePath("other.html")), QByteArray("new\r\n"));
        // No copy or temporary file is left behind.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(),
                 linked ? 2 : 1);
    }

    // A file written into itself (a second name, or a folder that takes no new file) on a
    // disk too small for the new text is left exactly as it was; one that fits is written
    // and no copy stays behind.
    void saveIntoItselfReservesRoom_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("oldSize");
        QTest::addColumn<int>("newSize");
        QTest::addColumn<QString>("reason");  // empty: written
        const QString full = "No space left on device";
        QTest::newRow("closed folder, room") << "closed folder" << 300000 << 200000 << "";
        QTest::newRow("closed folder, disk full") << "closed folder" << 300000 << (2 << 20) << full;
        QTest::newRow("hard link, room") << "hard link" << 300000 << 200000 << "";
        QTest::newRow("hard link, disk full") << "hard link" << 300000 << (2 << 20) << full;
        QTest::newRow("hard link, size limit") << "hard link" << 1000 << 8192 << "File too large";
    }

    void saveIntoItselfReservesRoom() {
        QFETCH(QString, how);
        QFETCH(int, oldSize);
        QFETCH(int, newSize);
        QFETCH(QString, reason);
        // A disk of 1 MB, in a folder that the other user can reach.
        QTemporaryDir own;
        QCOMPARE(::chmod(name(own.path()).constData(), 0755), 0);
        const QString disk = own.filePath("disk");
        QVERIFY(QDir().mkpath(disk));
        QProcess mount;
        mount.start("mount", {"-t", "tmpfs", "-o", "size=1m,mode=0755", "tmpfs", disk});
        if (!mount.waitForFinished() || mount.exitCode() != 0)
            QSKIP(
                qPrintable("A small disk cannot be mounted here: " + mount.readAllStandardError()));
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        const QString file = disk + "/page.html";
        QByteArray old;
        for (int i = 0; old.size() < oldSize; ++i)
            old += "<P>line " + QByteArray::number(i) + "</P>\r\n";
        writeFile(file, old);
        if (how == "hard link")
            QCOMPARE(::link(name(file).constData(), name(disk + "/other.html").constData()), 0);
        else
            QCOMPARE(::chown(name(file).constData(), 65534, 65534), 0);
        struct stat before {};
        QCOMPARE(::stat(name(file).constData(), &before), 0);

        const QByteArray text(newSize, 'y');
        QString error;
        bool written;
        if (how == "closed folder") {
            // Root may create files anywhere: the save runs as another user, who may write
            // the file but not create one beside it.
            QCOMPARE(::seteuid(65534), 0);
            written = DocumentFile::write(file, text, &error);
            QCOMPARE(::seteuid(0), 0);
        } else {
            std::optional<FileSizeLimit> limit;
            if (reason == "File too large")
                limit.emplace(4096);
            written = DocumentFile::write(file, text, &error);
        }
        struct stat after {};
        QCOMPARE(::stat(name(file).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        if (reason.isEmpty()) {
            QVERIFY2(written, qPrintable(error));
            QCOMPARE(readFile(file), text + "\r\n");
        } else {
            QVERIFY(!written);
            QCOMPARE(error, "Can't save " + file + ": " + reason);
            QCOMPARE(readFile(file), old);
        }
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 how == "hard link" ? QStringList({"other.html", "page.html"})
                                    : QStringList{"page.html"});
    }

    // Only a regular file of a sane size, or a link to one, is the store: anything else
    // reads as the defaults and is never written, and a link to a file stays a link.
    void settingsStoreLeavesOtherNodesAlone_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"fifo", "link to fifo", "socket", "directory", "dangling link",
                                 "2 MB of junk", "link to a file"})
            QTest::newRow(kind) << kind;
    }

    void settingsStoreLeavesOtherNodesAlone() {
        QFETCH(QString, kind);
        const QString store = SettingsStore::filePath();
        QFile::remove(store);
        QDir(store).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(store).absolutePath()));
        const bool link = kind == "link to a file";
        if (link) {
            writeFile(path("real.ini"), "[Run]\nValue=7\n");
            QVERIFY(QFile::link(path("real.ini"), store));
        } else {
            makeNode(kind, store);
        }
        const QString node = describe(store);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SettingsStore::read("Run", "Value", "0"), QString(link ? "7" : "0"));
        SettingsStore::write("Run", "Value", "1");
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(describe(store), node);
        QCOMPARE(SettingsStore::read("Run", "Value", "0"), QString(link ? "1" : "0"));
        if (link)
            QCOMPARE(readFile(path("real.ini")), QByteArray("[Run]\nValue=1\n"));
        QFile::remove(store);
    }

    // The real message box shows the text as plain text, double blanks and tags included,
    // and tells Escape and its close box from No.
    void messageBoxIsPlainAndTellsEscapeFromNo_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        const int ok = int(Dialogs::Buttons::Ok), yesNo = int(Dialogs::Buttons::YesNo),
                  yesNoCancel = int(Dialogs::Buttons::YesNoCancel);
        QTest::newRow("OK, Escape") << ok << "escape" << int(Dialogs::Ok);
        QTest::newRow("Yes/No, Yes") << yesNo << "yes" << int(Dialogs::Yes);
        QTest::newRow("Yes/No, Enter takes Yes") << yesNo << "enter" << int(Dialogs::Yes);
        QTest::newRow("Yes/No, No") << yesNo << "no" << int(Dialogs::No);
        QTest::newRow("Yes/No, Escape") << yesNo << "escape" << int(Dialogs::Cancel);
        QTest::newRow("Yes/No, close box") << yesNo << "close" << int(Dialogs::Cancel);
        QTest::newRow("Yes/No/Cancel, Escape") << yesNoCancel << "escape" << int(Dialogs::Cancel);
        QTest::newRow("Yes/No/Cancel, No") << yesNoCancel << "no" << int(Dialogs::No);
    }

    void messageBoxIsPlainAndTellsEscapeFromNo() {
        QFETCH(int, buttons);
        QFETCH(QString, action);
        QFETCH(int, answer);
        const QString text =
            "In order for Transistions to work, you need to put this code in the <HEAD> </HEAD> "
            "section of the code.  If you paste this into the <BODY> it won't work.";
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        bool cancelShown = false;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            shown = label->text();
            format = label->textFormat();
            cancelShown = box->button(QMessageBox::Cancel) != nullptr;
            if (action == "escape" || action == "enter")
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box,
                                action == "enter" ? Qt::Key_Return : Qt::Key_Escape);
            else if (action == "close")
                box->close();
            else
                box->button(action == "yes" ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.messageBox(text, Dialogs::Buttons(buttons), Dialogs::Icon::Exclamation),
                 answer);
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(cancelShown, buttons == int(Dialogs::Buttons::YesNoCancel));
    }

    // The associations file is edited as bytes: every other line stays byte for byte, our
    // entry leaves [Removed Associations], and the double-click default stays the browser's.
    void editEntryKeepsBytesAndTheDefault_data() {
        QTest::addColumn<QString>("browser");  // how the fake browser is set up
        QTest::addColumn<QString>("defaultAfter");
        QTest::newRow("browser set as default") << "default"
                                                << "fakebrowser.desktop";
        QTest::newRow("browser without a set default") << "registered"
                                                       << "fakebrowser.desktop";
        // With no application for the types at all, ours is the one the desktop takes.
        QTest::newRow("no browser") << "none"
                                    << "quindo-edit.desktop";
    }

    void editEntryKeepsBytesAndTheDefault() {
        QFETCH(QString, browser);
        QFETCH(QString, defaultAfter);
        const FakeHome home;
        qputenv("XDG_DATA_DIRS", name(home.path("system")));
        if (browser != "none") {
            QVERIFY(QDir().mkpath(home.path("system/applications")));
            writeFile(home.path("system/applications/fakebrowser.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=true %u\n"
                      "MimeType=text/html;application/xhtml+xml;\n");
            QCOMPARE(
                QProcess::execute("update-desktop-database", {home.path("system/applications")}),
                0);
        }
        const QByteArray defaults =
            browser == "default" ? "[Default Applications]\r\ntext/html=fakebrowser.desktop\r\n"
                                 : "";
        const QByteArray before = "# Caf\xe9 \xff\xfe latin-1\r\n" + defaults +
                                  "[Removed Associations]\r\n"
                                  "text/html=quindo-edit.desktop;other.desktop;\r\n"
                                  "application/xhtml+xml=quindo-edit.desktop;\r\n"
                                  "image/png=\xe9.desktop;\r\n";
        writeFile(EditEntry::associationsFile(), before);
        auto defaultFor = [](const QString& type) {
            QProcess gio;
            gio.start("gio", {"mime", type});
            gio.waitForFinished();
            return QString::fromUtf8(gio.readAllStandardOutput()).section('\n', 0, 0);
        };
        const QString htmlBefore = defaultFor("text/html");

        // The desktop only lists entries whose program exists.
        QVERIFY(EditEntry::install(QCoreApplication::applicationFilePath(), "quindo"));
        const QByteArray pinned =
            browser == "registered"
                ? "\r\n[Default Applications]\r\ntext/html=fakebrowser.desktop;\r\n"
                  "application/xhtml+xml=fakebrowser.desktop;\r\n"
                : "";
        const QByteArray xhtmlPinned =
            browser == "default" ? "application/xhtml+xml=fakebrowser.desktop;\r\n" : "";
        QCOMPARE(readFile(EditEntry::associationsFile()),
                 "# Caf\xe9 \xff\xfe latin-1\r\n" + defaults + xhtmlPinned +
                     "[Removed Associations]\r\n"
                     "text/html=other.desktop;\r\n"
                     "image/png=\xe9.desktop;\r\n"
                     "\r\n[Added Associations]\r\n"
                     "text/html=quindo-edit.desktop;\r\n"
                     "application/xhtml+xml=quindo-edit.desktop;\r\n" +
                     pinned);
        if (browser != "none")
            QCOMPARE(defaultFor("text/html"), htmlBefore);
        QVERIFY2(defaultFor("text/html").endsWith(": " + defaultAfter),
                 qPrintable(defaultFor("text/html")));
        QVERIFY2(defaultFor("application/xhtml+xml").endsWith(": " + defaultAfter),
                 qPrintable(defaultFor("application/xhtml+xml")));
    }

    // When the associations cannot be updated nothing at all is written; a slow cache
    // tool does not hold the install up.
    void editEntryWritesAllOrNothing_data() {
        QTest::addColumn<QString>("list");
        QTest::newRow("list is a fifo") << "fifo";
        QTest::newRow("list is a dangling link") << "dangling link";
        QTest::newRow("list is a directory") << "directory";
        QTest::newRow("slow cache tool") << "";
    }

    void editEntryWritesAllOrNothing() {
        QFETCH(QString, list);
        const FakeHome home;
        home.tool("update-desktop-database", "#!/bin/sh\nsleep 5\n");
        if (!list.isEmpty())
            makeNode(list, EditEntry::associationsFile());
        const QString node = describe(EditEntry::associationsFile());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(EditEntry::install("/usr/lib/quindo/quindo", "quindo"), list.isEmpty());
        QVERIFY(clock.elapsed() < 3000);
        if (list.isEmpty())
            return;
        QCOMPARE(describe(EditEntry::associationsFile()), node);
        QVERIFY(!QFileInfo::exists(EditEntry::applicationsFolder()));
    }
    // The real dialogs: the document filters match whatever the case of the name; a save
    // dialog whose folder the user can't write into (the installed sample page's) starts
    // in the home folder, on the same name. Qt's dialog reads a '"' as the start of a list
    // of quoted names; the name typed is the name chosen all the same, in the dialog's
    // folder, with the default suffix, and replacing a file still asks first (Yes here).
    void realFileDialogs_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("shown");  // empty: not looked at
        QTest::addColumn<QString>("typed");      // empty: the dialog is cancelled
        QTest::addColumn<QString>("chosen");
        const QStringList html{"Mixed.Htm", "PAGE.HTM",      "docs",
                               "page.html", "page.html.bak", "there\".html"};
        QTest::newRow("open: filter")
            << false << false << true << html + QStringList{"README.TXT", "notes.txt"} << ""
            << "";
        QTest::newRow("save: filter") << true << false << true << html << ""
                                      << "";
        QTest::newRow("save: read-only folder") << true << true << true << QStringList() << ""
                                                << "";
        QTest::newRow("save: read-only folder, no name")
            << true << true << false << QStringList() << ""
            << "";
        for (const bool save : {true, false}) {
            const char* mode = save ? "save: " : "open: ";
            QTest::newRow(QByteArray(mode).append("quote in a subfolder's name"))
                << save << false << true << QStringList() << "docs/quote ' \" name.html"
                << "docs/quote ' \" name.html";
            QTest::newRow(QByteArray(mode).append("quoted words, no suffix"))
                << save << false << true << QStringList() << "\"quoted\" page"
                << "\"quoted\" page.html";
        }
        QTest::newRow("save: existing name with a quote")
            << true << false << true << QStringList() << "there\".html"
            << "there\".html";
    }
    void realFileDialogs() {
        QFETCH(bool, save);
        QFETCH(bool, readOnly);
        QFETCH(bool, named);
        QFETCH(QStringList, shown);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        shown.sort();
        QTemporaryDir own;
        const QString folder = own.filePath("program");
        QVERIFY(QDir().mkpath(folder + "/docs"));
        for (const char* file : {"page.html", "PAGE.HTM", "Mixed.Htm", "notes.txt", "README.TXT",
                                 "picture.png", "page.html.bak", "style.css", "there\".html"})
            writeFile(folder + "/" + file, "old");
        // Root (as this program runs) writes into any folder whatever its mode, but not on
        // a read-only mount.
        if (readOnly && ::mount("tmpfs", name(folder).constData(), "tmpfs", MS_RDONLY, "size=16k"))
            QSKIP("no read-only folder: tmpfs cannot be mounted here");
        const auto unmount = qScopeGuard([&] {
            if (readOnly)
                ::umount(name(folder).constData());
        });
        QStringList seen;
        QString startedIn, startedWith, inBox, asked;
        whenOpen(int(shown.size()), [&](QFileDialog* dialog, QStringList names) {
            seen = names;
            startedIn = dialog->directory().absolutePath();
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            startedWith = edit->text();
            if (typed.isEmpty())
                return dialog->reject();
            edit->setText(typed);
            inBox = edit->text();
            QTimer::singleShot(50, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = box->text();
                    box->button(QMessageBox::Yes)->click();
                }
            });
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDialogs dialogs;
        const Dialogs::FileRequest request{
            save ? "HTML Files (*.HTM*)" : "HTML or Text Files (*.HTM* *.txt)",
            named ? folder + "/sample.html" : "", "html", named ? "" : folder};
        const QString got = save ? dialogs.saveFile(request) : dialogs.openFile(request);
        QCOMPARE(got, typed.isEmpty() ? QString() : folder + "/" + chosen);
        QCOMPARE(startedIn, readOnly ? QDir::homePath() : folder);
        QCOMPARE(startedWith, named ? QString("sample.html") : QString());
        if (!shown.isEmpty())
            QCOMPARE(seen, shown);
        QCOMPARE(inBox, typed);
        QCOMPARE(asked.isEmpty(), !(save && QFileInfo::exists(got)));
    }

    // A relative XDG_CONFIG_HOME, XDG_DATA_HOME or XDG_STATE_HOME is invalid: the settings
    // store, "Edit with Quindo" and the real program use the defaults under $HOME and
    // write nothing into the folder they were started from.
    void relativeBaseFoldersAreIgnored_data() {
        QTest::addColumn<QByteArray>("variable");
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            QTest::newRow(variable) << QByteArray(variable);
    }
    void relativeBaseFoldersAreIgnored() {
        QFETCH(QByteArray, variable);
        QTemporaryDir top;
        const QString home = top.filePath("home"), current = top.filePath("current");
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(current));
        const QByteArrayList names{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"};
        QByteArrayList saved;
        for (const QByteArray& v : names)
            saved << qgetenv(v);
        const QString startedIn = QDir::currentPath();
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(startedIn);
            for (qsizetype i = 0; i < names.size(); ++i)
                saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
        });
        for (const QByteArray& v : names)
            qunsetenv(v);
        qputenv("HOME", name(home));
        qputenv(variable, "relative/folder");
        QVERIFY(QDir::setCurrent(current));

        SettingsStore::write("Run", "Value", "3");
        QVERIFY(EditEntry::install(QStringLiteral(QUINDO_EXECUTABLE), "quindo"));
        // The program itself: it counts the run in the store and ends once it is idle.
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUINDO_BENCH_STARTUP", "0");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(current);
        program.start(QStringLiteral(QUINDO_EXECUTABLE), {});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);

        QCOMPARE(QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(SettingsStore::filePath(), home + "/.config/quindo/quindo.ini");
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("4"));
        QVERIFY(readFile(home + "/.config/mimeapps.list").contains("quindo-edit.desktop"));
        QVERIFY(QFileInfo::exists(home + "/.local/share/applications/quindo-edit.desktop"));
    }

    // A change another program makes to the associations while the desktop's tool is
    // asked for the defaults is kept: the list is edited as it is when it is written.
    void editEntryKeepsChangesMadeMeanwhile_data() {
        QTest::addColumn<QByteArray>("before");     // "-" for no list
        QTest::addColumn<QByteArray>("meanwhile");  // written by the fake gio
        QTest::addColumn<QByteArray>("after");
        const QByteArray added = "[Added Associations]\ntext/html=old.desktop;\n";
        QTest::newRow("a line added") << added << added + "image/png=viewer.desktop;\n"
                                      << QByteArray(
                                             "[Added Associations]\n"
                                             "text/html=old.desktop;quindo-edit.desktop;\n"
                                             "image/png=viewer.desktop;\n"
                                             "application/xhtml+xml=quindo-edit.desktop;\n");
        QTest::newRow("list made") << QByteArray("-")
                                   << QByteArray(
                                          "[Default Applications]\n"
                                          "text/html=viewer.desktop;\n")
                                   << QByteArray(
                                          "[Default Applications]\n"
                                          "text/html=viewer.desktop;\n\n"
                                          "[Added Associations]\n"
                                          "text/html=quindo-edit.desktop;\n"
                                          "application/xhtml+xml=quindo-edit.desktop;\n");
    }
    void editEntryKeepsChangesMadeMeanwhile() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, meanwhile);
        QFETCH(QByteArray, after);
        const FakeHome home;
        if (before != "-")
            writeFile(EditEntry::associationsFile(), before);
        // The desktop's tool, asked for a type's default: another program writes the list
        // meanwhile (once), and no default is known.
        writeFile(home.path("meanwhile"), meanwhile);
        home.tool("gio",
                  "#!/bin/sh\nif [ -s \"$MEANWHILE\" ]; then mv \"$MEANWHILE\" "
                  "\"$XDG_CONFIG_HOME/mimeapps.list\"; fi\nexit 1\n");
        qputenv("MEANWHILE", name(home.path("meanwhile")));
        QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
        QCOMPARE(readFile(EditEntry::associationsFile()), after);
    }
};

QTEST_MAIN(FileSafetyTest)
#include "test_filesafety.moc"
