// SPDX-License-Identifier: GPL-3.0-or-later
// "Edit with Quindo" for HTML files: the desktop entry and the associations written into a
// temporary XDG home, read back by the desktop's own tools (desktop-file-validate, gio).
#include "MainWindowFixture.h"
#include "StubBrowser.h"
#include "app/ProgramInfo.h"
#include "browser/BrowserPreference.h"
#include "browser/EditEntry.h"
#include "browser/frmOptions.h"
#include "ui/frmMain.h"

#include <QProcess>
#include <QPushButton>

namespace {

const QString kInstalledText = QStringLiteral(
    "You can now right-click on an HTML file and select -Edit with Quindo- to launch the "
    "program and edit your web documents.");
const QString kFailedText = QStringLiteral(
    "There was an error writing to the Windows Registry,  please make sure you have "
    "administrative rights.  Otherwise, you could have a damaged Registry Database that could "
    "lead to serious problems with Windows.");

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(text.toUtf8());
    return true;
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

// Runs one of the desktop's tools with the temporary XDG home in its environment.
ToolRun runTool(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll())};
}

}  // namespace

class EditEntryTest : public QObject {
    Q_OBJECT

  private:
    MainWindowFixture f;
    std::unique_ptr<QTemporaryDir> home_;

    QString entryPath() const { return EditEntry::applicationsFolder() + "/quindo-edit.desktop"; }

    // The value of a key in the entry's text ("" when absent).
    static QString entryValue(const QString& text, const QString& key) {
        for (const QString& line : text.split('\n')) {
            if (line.startsWith(key + "="))
                return line.mid(key.size() + 1);
        }
        return {};
    }

  private slots:
    void initTestCase() {
        for (const char* tool : {"desktop-file-validate", "gio", "update-desktop-database"}) {
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                     qPrintable(QString("%1 is missing; run scripts/install-deps.sh").arg(tool)));
        }
    }

    void init() {
        f.dialogs.clear();
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_->filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_->filePath("config")));
    }

    void cleanup() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.env.configHome()));
        qunsetenv("XDG_DATA_HOME");
        f.finish();
    }

    void foldersFollowTheXdgHome() {
        QCOMPARE(EditEntry::applicationsFolder(), home_->filePath("data") + "/applications");
        QCOMPARE(EditEntry::associationsFile(), home_->filePath("config") + "/mimeapps.list");
    }

    // The entry is written for a program in an awkward folder, checked by the validator and
    // then started by gio on a file: the program must receive exactly its own path and the
    // file's, however the folder is named.
    void entryStartsTheProgramOnTheFile_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "lib/quindo";
        QTest::newRow("blanks") << "my programs/quindo editor";
        QTest::newRow("quotes") << "it's \"here\"";
        QTest::newRow("dollar and backtick") << "$HOME/`id`/$(id)";
        QTest::newRow("backslash") << "back\\slash\\\\double";
        QTest::newRow("percent") << "100% %f %u";
        QTest::newRow("shell separators") << "a;b&c|d>e<f*?#~";
        QTest::newRow("line break") << "first\nExec=/bin/false";
        QTest::newRow("non-ASCII") << "Übersicht/ドキュメント";
    }

    void entryStartsTheProgramOnTheFile() {
        QFETCH(QString, folder);
        const QString program = home_->filePath("programs/" + folder + "/quindo");
        QVERIFY(StubBrowser::create(program));
        QVERIFY(EditEntry::install(program, "quindo"));

        const ToolRun validation = runTool("desktop-file-validate", {entryPath()});
        QVERIFY2(validation.exitCode == 0 && !validation.output.contains("error"),
                 qPrintable(validation.output));
        const QString text = readText(entryPath());
        QCOMPARE(text.count("\nExec="), 1);  // a line break in the path made no new key
        if (folder.contains('%')) {
            // GLib looks the program up before it turns "%%" back into "%", so its desktops
            // cannot start a program whose path holds a percent sign; the validator above
            // has checked the entry.
            return;
        }

        const QString page = home_->filePath("pages/my page; $x 'q'.html");
        QVERIFY(writeText(page, "<P>hi"));
        StubBrowser started(home_->filePath("record"));
        const ToolRun launch = runTool("gio", {"launch", entryPath(), page});
        QVERIFY2(launch.exitCode == 0, qPrintable(launch.output));
        const auto run = started.waitForRun();
        QVERIFY(run);
        QCOMPARE(run->argv, QStringList({program, page}));
    }

    void entryFields() {
        QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "/usr/lib/quindo/quindo.svg"));
        const QString text = readText(entryPath());
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QCOMPARE(entryValue(text, "Type"), QString("Application"));
        QCOMPARE(entryValue(text, "Name"), QString("Edit with Quindo"));
        QCOMPARE(entryValue(text, "Exec"), QString("\"/usr/lib/quindo/quindo\" %f"));
        QCOMPARE(entryValue(text, "MimeType"), QString("text/html;application/xhtml+xml;"));
        QCOMPARE(entryValue(text, "NoDisplay"), QString("true"));
        QCOMPARE(entryValue(text, "Icon"), QString("/usr/lib/quindo/quindo.svg"));
    }

    void gioListsTheEntryForHtml_data() {
        QTest::addColumn<QString>("type");
        QTest::newRow("html") << "text/html";
        QTest::newRow("xhtml") << "application/xhtml+xml";
    }

    void gioListsTheEntryForHtml() {
        QFETCH(QString, type);
        // The desktop lists only entries whose program exists.
        const QString program = home_->filePath("my programs/quindo");
        QVERIFY(StubBrowser::create(program));
        // The user's own default for the type, which must stay the default.
        QVERIFY(writeText(EditEntry::applicationsFolder() + "/my-viewer.desktop",
                          "[Desktop Entry]\nType=Application\nName=My Viewer\nExec=/bin/true %f\n"
                          "MimeType=text/html;application/xhtml+xml;\n"));
        QVERIFY(writeText(EditEntry::associationsFile(),
                          "[Default Applications]\n" + type + "=my-viewer.desktop;\n"));
        QVERIFY(EditEntry::install(program, "quindo"));
        const ToolRun mime = runTool("gio", {"mime", type});
        QCOMPARE(mime.exitCode, 0);
        QVERIFY2(mime.output.contains(": my-viewer.desktop\n"), qPrintable(mime.output));
        const qsizetype registered = mime.output.indexOf("Registered applications:");
        QVERIFY2(registered >= 0, qPrintable(mime.output));
        QVERIFY2(mime.output.indexOf("quindo-edit.desktop", registered) > registered,
                 qPrintable(mime.output));
    }

    void typeCacheIsRefreshed() {
        QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
        // The tool runs on its own, not waited for.
        QTRY_VERIFY2_WITH_TIMEOUT(readText(EditEntry::applicationsFolder() + "/mimeinfo.cache")
                                      .contains("text/html=quindo-edit.desktop;"),
                                  "no mimeinfo.cache entry", 20000);
    }

    void associationsKeepEveryOtherLine_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("no file") << QString()
                                 << "[Added Associations]\n"
                                    "text/html=quindo-edit.desktop;\n"
                                    "application/xhtml+xml=quindo-edit.desktop;\n";
        QTest::newRow("other sections only")
            << "# my choices\n[Default Applications]\ntext/html=firefox.desktop\n"
            << "# my choices\n[Default Applications]\ntext/html=firefox.desktop\n\n"
               "[Added Associations]\n"
               "text/html=quindo-edit.desktop;\n"
               "application/xhtml+xml=quindo-edit.desktop;\n";
        QTest::newRow("lists of others")
            << "[Added Associations]\ntext/html=other.desktop;more.desktop\n"
               "image/png=viewer.desktop;\n\n[Default Applications]\ntext/html=firefox.desktop;\n"
            << "[Added Associations]\ntext/html=other.desktop;more.desktop;quindo-edit.desktop;\n"
               "image/png=viewer.desktop;\napplication/xhtml+xml=quindo-edit.desktop;\n\n"
               "[Default Applications]\ntext/html=firefox.desktop;\n";
        QTest::newRow("already there") << "[Added Associations]\ntext/html=quindo-edit.desktop;\n"
                                          "application/xhtml+xml=a.desktop;quindo-edit.desktop;\n"
                                       << "[Added Associations]\ntext/html=quindo-edit.desktop;\n"
                                          "application/xhtml+xml=a.desktop;quindo-edit.desktop;\n";
        QTest::newRow("no final line break")
            << "[Removed Associations]\ntext/html=quindo-edit.desktop;"
            << "[Removed Associations]\n\n"
               "[Added Associations]\n"
               "text/html=quindo-edit.desktop;\n"
               "application/xhtml+xml=quindo-edit.desktop;\n";
    }

    void associationsKeepEveryOtherLine() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        // No application of the system's handles the types, so no default is kept.
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_DIRS", dataDirs); });
        qputenv("XDG_DATA_DIRS", QFile::encodeName(home_->filePath("no system data")));
        if (!before.isNull())
            QVERIFY(writeText(EditEntry::associationsFile(), before));
        QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
        QCOMPARE(readText(EditEntry::associationsFile()), after);
        // Installing again changes nothing.
        QVERIFY(EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
        QCOMPARE(readText(EditEntry::associationsFile()), after);
    }

    void installButtonReportsSuccessAndCloses() {
        f.start();
        f.showOptions();
        f.dialogs.answer(Dialogs::Ok);
        f.options()->Command2()->click();
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls()[0].text, kInstalledText);
        QCOMPARE(f.dialogs.calls()[0].title, QString("Registry Updated Successfully."));
        QCOMPARE(f.dialogs.calls()[0].icon, Dialogs::Icon::None);
        QCOMPARE(f.dialogs.calls()[0].buttons, Dialogs::Buttons::Ok);
        QVERIFY(!f.options());
        const QString text = readText(entryPath());
        QCOMPARE(entryValue(text, "Exec"),
                 EditEntry::quoteExecArgument(ProgramInfo::programPath()) + " %f");
        // The icon file beside the program.
        QCOMPARE(entryValue(text, "Icon"), ProgramInfo::besideProgram("quindo.svg"));
        QVERIFY(QFile::exists(entryValue(text, "Icon")));
    }

    void installFailureKeepsTheWindowOpen_data() {
        QTest::addColumn<QString>("blocked");  // a file where a folder must be
        QTest::newRow("applications folder") << "data/applications";
        QTest::newRow("data home") << "data";
        QTest::newRow("config home") << "config";
    }

    void installFailureKeepsTheWindowOpen() {
        QFETCH(QString, blocked);
        QVERIFY(writeText(home_->filePath(blocked), "not a folder"));
        f.start();
        f.showOptions();
        frmOptions* window = f.options();
        f.dialogs.answer(Dialogs::Ok);
        window->Command2()->click();
        QCOMPARE(f.dialogs.calls().size(), 1);
        QCOMPARE(f.dialogs.calls()[0].text, kFailedText);
        QCOMPARE(f.dialogs.calls()[0].title, QString("Registry Error"));
        QCOMPARE(f.dialogs.calls()[0].icon, Dialogs::Icon::None);
        QCOMPARE(f.options(), window);
        QCOMPARE(readText(home_->filePath(blocked)), QString("not a folder"));
    }

    void associationsThatCannotBeReplacedFail() {
        QVERIFY(QDir().mkpath(EditEntry::associationsFile()));  // a folder in its place
        QVERIFY(!EditEntry::install("/usr/lib/quindo/quindo", "quindo"));
    }
};

QTEST_MAIN(EditEntryTest)
#include "test_editentry.moc"
