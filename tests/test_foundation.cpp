// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up, settings store, layout rule, document state and command
// surface, driven through the real window offscreen.
#include "MainWindowFixture.h"
#include "Program.h"
#include "app/SettingsStore.h"
#include "document/DocumentState.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

const QStringList kSizes{"mnuqn8", "mnuqn10", "mnuqn12", "mnuqn14"};
const QStringList kFaces{"mnuqnarial", "mnuqntimes", "mnuqnverdana"};

QStringList checkedItems(frmMain& w, const QStringList& names) {
    QStringList checked;
    for (const QString& n : names) {
        if (w.action(n)->isChecked())
            checked << n;
    }
    return checked;
}

}  // namespace

class FoundationTest : public QObject {
    Q_OBJECT

    MainWindowFixture f;

  private slots:
    void init() { f.reset({}); }
    void cleanup() { f.finish(); }

    void settingsStore() {
        QCOMPARE(SettingsStore::read("browser", "name"), QString());
        QCOMPARE(SettingsStore::read("Run", "Value", "0"), QString("0"));
        SettingsStore::write("browser", "name", "/usr/bin/my browser");
        QCOMPARE(SettingsStore::read("browser", "name"), QString("/usr/bin/my browser"));
        QCOMPARE(f.env.settingsFile(), f.env.configHome() + "/quindo/quindo.ini");
        QVERIFY(f.env.settingsText().contains("[browser]\nname=/usr/bin/my browser"));
        // Another instance writes the file directly; the next read sees it.
        QFile file(f.env.settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Run]\nValue=42\n");
        file.close();
        // File times have a coarse resolution on some systems; nudge the stamp.
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        file.close();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("42"));
    }

    void firstStartWithEmptyStore() {
        frmMain& w = f.start(true);
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("1"));
        QCOMPARE(SettingsStore::read("fontsize", "Value"), QString("10"));
        QCOMPARE(SettingsStore::read("font", "Value"), QString("Verdana"));
        QCOMPARE(SettingsStore::read("browser", "name", "absent"), QString("absent"));
        QVERIFY(w.action("mnuViewStatusBar")->isChecked());
        QCOMPARE(checkedItems(w, kSizes), QStringList{"mnuqn10"});
        QCOMPARE(checkedItems(w, kFaces), QStringList{"mnuqnverdana"});
        QCOMPARE(w.Text1().baseFontSizeHundredths(), 1000);
        QCOMPARE(w.caption(), QString("Quindo HTML Editor"));
        QCOMPARE(f.fileName(), QString());
        QCOMPARE(f.docChanged(), qint16(0));
        QCOMPARE(f.saveAnswer(), qint16(0));
        QVERIFY(w.Text1().isEmpty());
    }

    void startupCounter_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint16>("seen");
        QTest::addColumn<QString>("written");
        QTest::newRow("zero brings the welcome back") << "0" << qint16(0) << "1";
        QTest::newRow("negative") << "-5" << qint16(-5) << "-4";
        QTest::newRow("leading zeros") << "007" << qint16(7) << "8";
        QTest::newRow("blanks around") << " 12 " << qint16(12) << "13";
        QTest::newRow("top of range stays") << "32767" << qint16(32767) << "32767";
        QTest::newRow("bottom of range") << "-32768" << qint16(-32768) << "-32767";
        QTest::newRow("past the range") << "32768" << qint16(0) << "1";
        QTest::newRow("not a number") << "abc" << qint16(0) << "1";
        QTest::newRow("empty") << "" << qint16(0) << "1";
        QTest::newRow("fraction") << "2.5" << qint16(0) << "1";
    }

    void startupCounter() {
        QFETCH(QString, stored);
        QFETCH(qint16, seen);
        QFETCH(QString, written);
        QCOMPARE(RunCounter::parse(stored), seen);
        SettingsStore::write("Run", "Value", stored);
        frmMain& w = f.start(true);
        QCOMPARE(SettingsStore::read("Run", "Value"), written);
        QCOMPARE(w.startupCount(), RunCounter::next(seen));
    }

    void storedPreferences_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("sizeItem");
        QTest::addColumn<QString>("faceItem");
        QTest::addColumn<int>("hundredths");
        QTest::newRow("12 Arial") << "12" << "Arial" << "mnuqn12" << "mnuqnarial" << 1200;
        QTest::newRow("8 Times") << "8" << "Times New Roman" << "mnuqn8" << "mnuqntimes" << 800;
        QTest::newRow("14 Verdana") << "14" << "Verdana" << "mnuqn14" << "mnuqnverdana" << 1400;
        QTest::newRow("9 arial ignored") << "9" << "arial" << "" << "" << 975;
        QTest::newRow("padded ignored") << " 10" << "Verdana " << "" << "" << 975;
        QTest::newRow("caption not a face") << "10" << "Times Font" << "mnuqn10" << "" << 1000;
    }

    void storedPreferences() {
        QFETCH(QString, size);
        QFETCH(QString, face);
        QFETCH(QString, sizeItem);
        QFETCH(QString, faceItem);
        QFETCH(int, hundredths);
        SettingsStore::write("Run", "Value", "5");
        SettingsStore::write("fontsize", "Value", size);
        SettingsStore::write("font", "Value", face);
        frmMain& w = f.start(true);
        auto list = [](const QString& s) { return s.isEmpty() ? QStringList{} : QStringList{s}; };
        QCOMPARE(checkedItems(w, kSizes), list(sizeItem));
        QCOMPARE(checkedItems(w, kFaces), list(faceItem));
        QCOMPARE(w.Text1().baseFontSizeHundredths(), hundredths);
        // Recognised or not, the stored texts stay as they were.
        QCOMPARE(SettingsStore::read("fontsize", "Value"), size);
        QCOMPARE(SettingsStore::read("font", "Value"), face);
    }

    void commandLineJoining_data() {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QStringList{"quindo"} << "";
        QTest::newRow("one") << QStringList{"quindo", "/tmp/a b.html"} << "/tmp/a b.html";
        QTest::newRow("two words") << QStringList{"quindo", "/tmp/a", "b.html"} << "/tmp/a b.html";
        QTest::newRow("quotes kept") << QStringList{"quindo", "\"x.html\""} << "\"x.html\"";
        QTest::newRow("leading dash") << QStringList{"quindo", "-style"} << "-style";
        QTest::newRow("empty word") << QStringList{"quindo", "", "x"} << " x";
    }

    void commandLineJoining() {
        QFETCH(QStringList, argv);
        QFETCH(QString, text);
        std::vector<QByteArray> storage;
        std::vector<char*> pointers;
        for (const QString& a : argv)
            storage.push_back(a.toLocal8Bit());
        for (auto& s : storage)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        QCOMPARE(Program::argumentText(static_cast<int>(argv.size()), pointers.data()), text);
    }

    void commandLineNamesTheDocument() {
        SettingsStore::write("Run", "Value", "3");
        f.dialogs.answer(Dialogs::Ok);  // the load's own failure report
        frmMain& w = f.start(true, false, "/no/such folder/page.html");
        QCOMPARE(f.fileName(), QString("/no/such folder/page.html"));
        QCOMPARE(w.caption(), QString("Quindo- /no/such folder/page.html"));
        QCOMPARE(f.docChanged(), qint16(0));
    }

    void resizeRule_data() {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("design") << QSize(9030, 4950) << QSize(9025, 4150);
        QTest::newRow("width 259 keeps") << QSize(259, 4950) << QSize(5640, 4150);
        QTest::newRow("width 260") << QSize(260, 4950) << QSize(255, 4150);
        QTest::newRow("height 809 keeps") << QSize(9030, 809) << QSize(9025, 2850);
        QTest::newRow("height 810") << QSize(9030, 810) << QSize(9025, 10);
        QTest::newRow("both below") << QSize(100, 100) << QSize(5640, 2850);
    }

    void resizeRule() {
        QFETCH(QSize, inner);
        QFETCH(QSize, expected);
        QCOMPARE(frmMain::editingAreaSizeFor(inner, QSize(5640, 2850)), expected);
    }

    void resizeFollowsWindow() {
        frmMain& w = f.start(true, true);
        w.resize(Twips::toPixels(7500), w.height() + Twips::toPixels(1500));
        QTRY_COMPARE(w.Text1().width(), Twips::toPixels(w.innerSizeTwips().width() - 5));
        QCOMPARE(w.Text1().pos(), QPoint(0, Twips::toPixels(540)));
        const int textHeight = w.Text1().height();
        QCOMPARE(textHeight, Twips::toPixels(w.innerSizeTwips().height() - 800));
        // Hiding the status bar leaves the editing area as it is.
        w.action("mnuViewStatusBar")->trigger();
        QVERIFY(!w.StatusBar1().isVisible());
        QCOMPARE(w.Text1().height(), textHeight);
        // The buttons keep their design places.
        QCOMPARE(w.button("Command17")->geometry(), Twips::rect(6525, 0, 510, 510));
    }

    void changeNotification() {
        frmMain& w = f.start();
        w.Text1().setSelText("x");
        QCOMPARE(f.docChanged(), qint16(1));
        f.docChanged() = 0;
        w.Text1().setBytes("loaded");
        QCOMPARE(f.docChanged(), qint16(1));
        f.docChanged() = 0;
        QTest::keyClick(&w.Text1(), Qt::Key_A);
        QCOMPARE(f.docChanged(), qint16(1));
        // Nothing but the flag changes.
        QCOMPARE(w.caption(), QString("Quindo HTML Editor"));
        QCOMPARE(f.fileName(), QString());
    }

    void unnamedDocument_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("no file") << "" << "Quindo- /a.html" << true;
        QTest::newRow("no document") << "/a.html" << "Quindo HTML Editor" << true;
        QTest::newRow("new") << "/a.html" << "Quindo- New Untitled Document." << true;
        QTest::newRow("blank") << "/a.html" << "Quindo- Tamblor9 blank document." << true;
        QTest::newRow("sample is named") << "/s.html" << "Quindo- Tamblor9 Sample document." << false;
        QTest::newRow("path") << "/a.html" << "Quindo- /a.html" << false;
        QTest::newRow("case matters") << "/a.html" << "quindo html editor" << false;
        QTest::newRow("whole caption") << "/a.html" << "Quindo HTML Editor " << false;
    }

    void unnamedDocument() {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QFETCH(bool, unnamed);
        QCOMPARE(isUnnamedDocument(file, caption), unnamed);
    }

    // The menus are built from the command table: every entry in its menu, in order, with
    // its caption and kind; a few entries checked against the design.
    void menuTree() {
        frmMain& w = f.start();
        QStringList bar;
        for (QAction* a : w.menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, (QStringList{"File", "Edit", "Text", "Fonts", "Tables", "Scripts",
                                   "Test Page...", "Window", "&Options", "Help", "About..."}));
        QHash<QString, int> position;
        for (const auto& e : CommandSurface::menus()) {
            const QString parent = QString::fromLatin1(e.parent);
            if (parent.isEmpty())
                continue;
            QMenu* m = w.menu(parent);
            QVERIFY2(m, e.parent);
            QAction* a = m->actions().value(position[parent]++);
            QVERIFY2(a, e.name);
            QCOMPARE(a->objectName(), QString::fromLatin1(e.name));
            QCOMPARE(a->isSeparator(), e.kind == CommandSurface::Kind::Separator);
            if (!a->isSeparator()) {
                QCOMPARE(a->text(), QString::fromLatin1(e.caption));
                QVERIFY(a->shortcut().isEmpty() && a->isEnabled() && !a->text().contains('&'));
            }
            QCOMPARE(a->menu() != nullptr, e.kind == CommandSurface::Kind::Menu);
        }
        for (auto it = position.cbegin(); it != position.cend(); ++it)
            QCOMPARE(w.menu(it.key())->actions().size(), it.value());
        QCOMPARE(w.menu("mnuexplorer")->menuAction()->text(), QString("Explorer Only Tags"));
        QCOMPARE(w.menu("mnufont")->actions().at(12)->text(), QString("Font Face ......."));
        QVERIFY(!w.action("mnuTest")->menu() && !w.action("mnuabout")->menu());
        QCOMPARE(w.menu("mnuscripts")->actions().size(), 7);
        QCOMPARE(w.menu("mnuexplorer")->actions().size(), 3);
    }

    void buttonRow() {
        frmMain& w = f.start();
        const QStringList order{"Command1",  "Command2",  "Command3",  "Command4",  "Command5",
                                "Command6",  "Command7",  "Command8",  "Command9",  "Command10",
                                "Command11", "Command12", "Command17", "Command13", "Command14",
                                "Command15", "Command16"};
        QWidget* at = &w.Text1();
        for (int i = 0; i < order.size(); ++i) {
            QAbstractButton* b = w.button(order[i]);
            QVERIFY2(b, qPrintable(order[i]));
            QVERIFY(!b->toolTip().isEmpty());
            QCOMPARE(b->accessibleName(), b->toolTip());
            QCOMPARE(b->geometry(), Twips::rect(585 + 495 * i, 0, 510, 510));
            // Focus order: the editing area, then the buttons in row order.
            do
                at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus);
            QCOMPARE(at, b);
        }
        QCOMPARE(w.button("Command1")->toolTip(), QString("New Document"));
        QCOMPARE(w.button("Command17")->toolTip(), QString("Bold"));
        QCOMPARE(w.button("Command16")->toolTip(), QString("Send Email To:"));
    }

    void windowGeometry() {
        frmMain& w = f.start(true);
        QCOMPARE(w.innerSizeTwips().width(), 9030);
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.Image1().geometry(), Twips::rect(45, 0, 540, 540));
        QVERIFY(w.Image1().toolTip().contains("Tamblor9"));
        auto* credit = w.StatusBar1().findChild<QLabel*>("Panel1");
        QVERIFY(credit);
        for (const char* part : {"Quindo HTML Editor", "Tamblor9", "Tamblor", "1999"})
            QVERIFY(credit->text().contains(part) && credit->toolTip().contains(part));
    }

    void twipsAndPictures() {
        QCOMPARE(Twips::toPixels(15 * 100),
                 static_cast<int>(std::lround(100 * Twips::logicalDpi() / 96.0)));
        QCOMPARE(Twips::fromPixels(Twips::toPixels(540)), 540);
        const QImage normal = Pictures::buttonFace("new", false).toImage();
        const QImage pressed = Pictures::buttonFace("new", true).toImage();
        QCOMPARE(normal.size(), QSize(36, 36));
        // The pressed picture is the lighter one.
        auto brightness = [](const QImage& img) {
            qint64 sum = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    sum += qGray(img.pixel(x, y));
            return sum;
        };
        QVERIFY(brightness(pressed) > brightness(normal));
    }
};

QTEST_MAIN(FoundationTest)
#include "test_foundation.moc"
