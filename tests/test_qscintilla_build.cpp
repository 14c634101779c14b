// SPDX-License-Identifier: GPL-3.0-or-later
// The editor runs on our patched QScintilla build, which carries no language lexers, and
// that build still reports edits to assistive technologies when accessibility is active.
#include "platform/EditingArea.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAccessible>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

namespace {

struct SeenEvent {
    QAccessible::Event type;
    int offset;
    QString text;
};

QList<SeenEvent> gSeen;

void recordEvent(QAccessibleEvent* event) {
    switch (event->type()) {
        case QAccessible::TextInserted: {
            auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
            gSeen.append({e->type(), e->changePosition(), e->textInserted()});
            break;
        }
        case QAccessible::TextRemoved: {
            auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
            gSeen.append({e->type(), e->changePosition(), e->textRemoved()});
            break;
        }
        case QAccessible::TextCaretMoved: {
            auto* e = static_cast<QAccessibleTextCursorEvent*>(event);
            gSeen.append({e->type(), e->cursorPosition(), QString()});
            break;
        }
        default:
            break;
    }
}

// What a screen reader's bridge does when it starts listening.
void setAccessibilityActive(bool active) {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        return QStringLiteral("%1 failed: %2")
            .arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

}  // namespace

class QScintillaBuildTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        gSeen.clear();
        QAccessible::installUpdateHandler(recordEvent);
    }
    void cleanup() {
        setAccessibilityActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    // QScintilla is linked in statically: the code runs from the program's own file.
    void testProgramCarriesTheLibrary() {
        Dl_info info{};
        QVERIFY(dladdr(reinterpret_cast<const void*>(&QsciScintillaBase::staticMetaObject),
                       &info) != 0);
        QCOMPARE(QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath(),
                 QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    }

    // The program in the build folder and the installed one: neither names a QScintilla
    // library for the loader to find (Debian's unpatched copy is installed on the test
    // machine, so a program that asked for one would get it), and both define the editing
    // control's code themselves.
    void programsCarryTheLibrary_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("build folder") << QStringLiteral(QUINDO_EXECUTABLE);
        QTest::newRow("installed") << QStringLiteral("installed");
    }
    void programsCarryTheLibrary() {
        QFETCH(QString, program);
        QTemporaryDir prefix;
        if (program == QLatin1String("installed")) {
            QProcess install;
            install.start(QStringLiteral("cmake"),
                          {QStringLiteral("--install"), QStringLiteral(QUINDO_BUILD_DIR),
                           QStringLiteral("--prefix"), prefix.path()});
            QVERIFY(install.waitForFinished(120000));
            QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
            program = prefix.filePath(QStringLiteral("lib/quindo/quindo"));
        }
        QVERIFY2(QFile::exists(program), qPrintable(program));
        QVERIFY2(
            QFile::exists(QStringLiteral("/usr/lib/x86_64-linux-gnu/libqscintilla2_qt6.so.15")),
            "Debian's libqscintilla2-qt6-15 belongs on the test machine "
            "(scripts/install-deps.sh --test)");

        const QString ldd = run(QStringLiteral("ldd"), {program});
        QVERIFY2(ldd.contains(QLatin1String("libQt6Widgets")), qPrintable(ldd));
        QVERIFY2(!ldd.contains(QLatin1String("qscintilla"), Qt::CaseInsensitive), qPrintable(ldd));

        const QString symbols =
            run(QStringLiteral("nm"),
                {QStringLiteral("-C"), QStringLiteral("--defined-only"), program});
        QVERIFY(symbols.contains(QLatin1String("QsciScintillaBase::staticMetaObject")));
        // Plain text needs no language lexers: the null lexer is the only one built.
        static const QRegularExpression lexerModule(QStringLiteral(" lm[A-Z][A-Za-z0-9_]*$"),
                                                    QRegularExpression::MultilineOption);
        QStringList lexers;
        for (auto it = lexerModule.globalMatch(symbols); it.hasNext();) {
            lexers << it.next().captured().trimmed();
        }
        QCOMPARE(lexers, QStringList{QStringLiteral("lmNull")});
    }

    void editEvents_data() {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("insertAt");  // in characters
        QTest::addColumn<QByteArray>("inserted");
        // The offsets a screen reader gets are characters, not bytes.
        const QByteArray multibyte("\xc3\xa9t\xc3\xa9\r\n\xe2\x82\xac and more");
        QTest::newRow("inactive, ascii")
            << false << QByteArray("<P>text</P>") << 3 << QByteArray("<B></B>");
        QTest::newRow("inactive, multibyte") << false << multibyte << 6 << QByteArray("x");
        QTest::newRow("active, ascii")
            << true << QByteArray("<P>text</P>") << 3 << QByteArray("<B></B>");
        QTest::newRow("active, multibyte") << true << multibyte << 6 << QByteArray("\xc3\xa0<I>");
        QTest::newRow("active, at end") << true << QByteArray("abc\r\n") << 5 << QByteArray("z");
    }

    void editEvents() {
        QFETCH(bool, active);
        QFETCH(QByteArray, text);
        QFETCH(int, insertAt);
        QFETCH(QByteArray, inserted);

        EditingArea area;
        area.setBytes(text);
        // The accessible object exists once something has asked for it.
        QVERIFY(QAccessible::queryAccessibleInterface(&area) != nullptr);
        setAccessibilityActive(active);
        gSeen.clear();

        area.setSelStart(insertAt);
        area.setSelText(inserted);
        const qint64 insertedChars = QString::fromUtf8(inserted).size();
        // Take the insertion back out with a real deletion.
        area.SendScintilla(QsciScintillaBase::SCI_SETSEL, area.positionFromCharacter(insertAt),
                           area.positionFromCharacter(insertAt + insertedChars));
        area.removeSelectedText();
        QCOMPARE(area.bytes().toByteArray(), text);

        QList<SeenEvent> edits;
        for (const SeenEvent& e : std::as_const(gSeen)) {
            if (e.type != QAccessible::TextCaretMoved) {
                edits.append(e);
            }
        }
        if (!active) {
            QVERIFY(gSeen.isEmpty());
            return;
        }
        QCOMPARE(edits.size(), 2);
        QCOMPARE(edits[0].type, QAccessible::TextInserted);
        QCOMPARE(edits[0].offset, insertAt);
        QCOMPARE(edits[0].text, QString::fromUtf8(inserted));
        QCOMPARE(edits[1].type, QAccessible::TextRemoved);
        QCOMPARE(edits[1].offset, insertAt);
        QCOMPARE(edits[1].text, QString::fromUtf8(inserted));
    }

    void caretEventsWhenActive() {
        EditingArea area;
        area.setBytes("\xc3\xa9\xc3\xa9\xc3\xa9 abc");
        area.show();
        QVERIFY(QAccessible::queryAccessibleInterface(&area) != nullptr);
        setAccessibilityActive(true);
        gSeen.clear();
        area.setSelStart(4);
        // The caret report follows the next screen update.
        QTRY_VERIFY(std::any_of(gSeen.cbegin(), gSeen.cend(), [](const SeenEvent& e) {
            return e.type == QAccessible::TextCaretMoved && e.offset == 4;
        }));
    }
};

QTEST_MAIN(QScintillaBuildTest)
#include "test_qscintilla_build.moc"
