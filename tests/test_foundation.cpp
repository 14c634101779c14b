// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up, settings store, layout rule, document state and command
// surface, driven through the real window offscreen.
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "app/Program.h"
#include "app/SettingsStore.h"
#include "document/DocumentState.h"
#include "ui/CommandSurface.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"
#include "ui/platform/Pictures.h"
#include "ui/platform/Twips.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

class FoundationTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    ScriptedDialogs dialogs_;

    std::unique_ptr<frmMain> startWindow(const QString& commandLine = {}) {
        auto w = std::make_unique<frmMain>(dialogs_, commandLine);
        w->Form_Load();
        return w;
    }

    QStringList checkedItems(frmMain& w, const QStringList& names) {
        QStringList checked;
        for (const QString& n : names) {
            if (w.action(n)->isChecked())
                checked << n;
        }
        return checked;
    }

  private slots:
    void init() {
        env_.resetSettings();
        dialogs_.clear();
    }

    void cleanup() {
        QVERIFY2(dialogs_.unexpected().isEmpty(), qPrintable(dialogs_.unexpected().join("; ")));
    }

    void settingsStoreRoundTrip() {
        QCOMPARE(SettingsStore::read("browser", "name"), QString());
        QCOMPARE(SettingsStore::read("Run", "Value", "0"), QString("0"));
        SettingsStore::write("browser", "name", "/usr/bin/my browser");
        QCOMPARE(SettingsStore::read("browser", "name"), QString("/usr/bin/my browser"));
        QVERIFY(env_.settingsFile().startsWith(env_.configHome() + "/quindo/"));
        QVERIFY(env_.settingsFile().endsWith("quindo.ini"));
        QVERIFY(env_.settingsText().contains("[browser]"));
        QVERIFY(env_.settingsText().contains("name=/usr/bin/my browser"));
    }

    void settingsSeeOtherWriters() {
        // Another instance writes the file directly; the next read sees it.
        SettingsStore::write("Run", "Value", "3");
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("3"));
        QFile f(env_.settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Run]\nValue=42\n");
        f.close();
        // File times have a coarse resolution on some systems; nudge the stamp.
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        f.close();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("42"));
    }

    void firstStartWithEmptyStore() {
        auto w = startWindow();
        QCOMPARE(SettingsStore::read("Run", "Value"), QString("1"));
        QCOMPARE(SettingsStore::read("fontsize", "Value"), QString("10"));
        QCOMPARE(SettingsStore::read("font", "Value"), QString("Verdana"));
        QCOMPARE(SettingsStore::read("browser", "name", "absent"), QString("absent"));
        QVERIFY(w->action("mnuViewStatusBar")->isChecked());
        QCOMPARE(checkedItems(*w, {"mnuqn8", "mnuqn10", "mnuqn12", "mnuqn14"}),
                 QStringList{"mnuqn10"});
        QCOMPARE(checkedItems(*w, {"mnuqnarial", "mnuqntimes", "mnuqnverdana"}),
                 QStringList{"mnuqnverdana"});
        QCOMPARE(w->Text1().baseFontSizeHundredths(), 1000);
        QCOMPARE(w->caption(), QString("Quindo HTML Editor"));
        QCOMPARE(w->CurrentFileName, QString());
        QCOMPARE(w->DocChanged, qint16(0));
        QCOMPARE(w->SaveAnswer, qint16(0));
        QVERIFY(w->Text1().isEmpty());
    }

    void startupCounter_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint16>("seen");
        QTest::addColumn<QString>("written");
        QTest::newRow("zero brings the welcome back") << "0" << qint16(0) << "1";
        QTest::newRow("negative") << "-5" << qint16(-5) << "-4";
        QTest::newRow("ordinary") << "6" << qint16(6) << "7";
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
        auto w = startWindow();
        QCOMPARE(SettingsStore::read("Run", "Value"), written);
        QCOMPARE(w->startupCount(), RunCounter::next(seen));
    }

    void storedPreferences_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("sizeItem");
        QTest::addColumn<QString>("faceItem");
        QTest::addColumn<int>("hundredths");
        QTest::newRow("12 Arial") << "12"
                                  << "Arial"
                                  << "mnuqn12"
                                  << "mnuqnarial" << 1200;
        QTest::newRow("8 Times") << "8"
                                 << "Times New Roman"
                                 << "mnuqn8"
                                 << "mnuqntimes" << 800;
        QTest::newRow("14 Verdana") << "14"
                                    << "Verdana"
                                    << "mnuqn14"
                                    << "mnuqnverdana" << 1400;
        QTest::newRow("9 arial ignored") << "9"
                                         << "arial"
                                         << ""
                                         << "" << 975;
        QTest::newRow("padded ignored") << " 10"
                                        << "Verdana "
                                        << ""
                                        << "" << 975;
        QTest::newRow("caption not a face") << "10"
                                            << "Times Font"
                                            << "mnuqn10"
                                            << "" << 1000;
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
        auto w = startWindow();
        const QStringList sizes{"mnuqn8", "mnuqn10", "mnuqn12", "mnuqn14"};
        const QStringList faces{"mnuqnarial", "mnuqntimes", "mnuqnverdana"};
        QCOMPARE(checkedItems(*w, sizes),
                 sizeItem.isEmpty() ? QStringList{} : QStringList{sizeItem});
        QCOMPARE(checkedItems(*w, faces),
                 faceItem.isEmpty() ? QStringList{} : QStringList{faceItem});
        QCOMPARE(w->Text1().baseFontSizeHundredths(), hundredths);
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
        auto w = startWindow("/no/such folder/page.html");
        QCOMPARE(w->CurrentFileName, QString("/no/such folder/page.html"));
        QCOMPARE(w->caption(), QString("Quindo- /no/such folder/page.html"));
        QCOMPARE(w->DocChanged, qint16(0));
        dialogs_.clear();  // the load's own failure report belongs to the document tests
    }

    void resizeRule_data() {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<QSize>("expected");
        const QSize current(5640, 2850);
        QTest::newRow("design") << QSize(9030, 4950) << QSize(9025, 4150);
        QTest::newRow("width 259 keeps") << QSize(259, 4950) << QSize(current.width(), 4150);
        QTest::newRow("width 260") << QSize(260, 4950) << QSize(255, 4150);
        QTest::newRow("height 809 keeps") << QSize(9030, 809) << QSize(9025, current.height());
        QTest::newRow("height 810") << QSize(9030, 810) << QSize(9025, 10);
        QTest::newRow("both below") << QSize(100, 100) << current;
    }

    void resizeRule() {
        QFETCH(QSize, inner);
        QFETCH(QSize, expected);
        QCOMPARE(frmMain::editingAreaSizeFor(inner, QSize(5640, 2850)), expected);
    }

    void resizeFollowsWindow() {
        auto w = startWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->resize(Twips::toPixels(7500), w->height() + Twips::toPixels(1500));
        QTRY_COMPARE(w->Text1().width(), Twips::toPixels(w->innerSizeTwips().width() - 5));
        QCOMPARE(w->Text1().x(), 0);
        QCOMPARE(w->Text1().y(), Twips::toPixels(540));
        const int textHeight = w->Text1().height();
        QCOMPARE(textHeight, Twips::toPixels(w->innerSizeTwips().height() - 800));
        // Hiding the status bar leaves the editing area as it is.
        w->mnuViewStatusBar_Click();
        QVERIFY(!w->StatusBar1().isVisible());
        QCOMPARE(w->Text1().height(), textHeight);
        // The buttons keep their design places.
        QCOMPARE(w->button("Command17")->geometry(), Twips::rect(6525, 0, 510, 510));
    }

    void statusBarToggle() {
        auto w = startWindow();
        w->show();
        QAction* item = w->action("mnuViewStatusBar");
        QVERIFY(item->isChecked());
        QVERIFY(w->StatusBar1().isVisible());
        item->trigger();  // through the menu, as the user chooses it
        QVERIFY(!item->isChecked());
        QVERIFY(!w->StatusBar1().isVisible());
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(w->StatusBar1().isVisible());
    }

    void fontSizeChosenAgainStaysChecked() {
        auto w = startWindow();
        QAction* item = w->action("mnuqn10");
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked());
        w->action("mnuqn14")->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(w->action("mnuqn14")->isChecked());
        QCOMPARE(SettingsStore::read("fontsize", "Value"), QString("14"));
        QCOMPARE(w->Text1().baseFontSizeHundredths(), 1400);
    }

    void changeNotification() {
        auto w = startWindow();
        QCOMPARE(w->DocChanged, qint16(0));
        w->Text1().setSelText("x");
        QCOMPARE(w->DocChanged, qint16(1));
        w->DocChanged = 0;
        w->Text1().setBytes("loaded");
        QCOMPARE(w->DocChanged, qint16(1));
        w->DocChanged = 0;
        QTest::keyClick(&w->Text1(), Qt::Key_A);
        QCOMPARE(w->DocChanged, qint16(1));
        // Nothing but the flag changes.
        QCOMPARE(w->caption(), QString("Quindo HTML Editor"));
        QCOMPARE(w->CurrentFileName, QString());
    }

    void unnamedDocument_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("no file") << ""
                                 << "Quindo- /a.html" << true;
        QTest::newRow("no document") << "/a.html"
                                     << "Quindo HTML Editor" << true;
        QTest::newRow("new") << "/a.html"
                             << "Quindo- New Untitled Document." << true;
        QTest::newRow("blank") << "/a.html"
                               << "Quindo- Tamblor9 blank document." << true;
        QTest::newRow("sample is named") << "/s.html"
                                         << "Quindo- Tamblor9 Sample document." << false;
        QTest::newRow("path") << "/a.html"
                              << "Quindo- /a.html" << false;
        QTest::newRow("case matters") << "/a.html"
                                      << "quindo html editor" << false;
        QTest::newRow("whole caption") << "/a.html"
                                       << "Quindo HTML Editor " << false;
    }

    void unnamedDocument() {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QFETCH(bool, unnamed);
        QCOMPARE(isUnnamedDocument(file, caption), unnamed);
    }

    void menuTree() {
        auto w = startWindow();
        // The bar, left to right, with only Options carrying an access key.
        QStringList bar;
        for (QAction* a : w->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, (QStringList{"File", "Edit", "Text", "Fonts", "Tables", "Scripts",
                                   "Test Page...", "Window", "&Options", "Help", "About..."}));
        // Every table entry is in its menu, in order, with its caption and kind.
        QHash<QString, int> position;
        for (const auto& e : CommandSurface::menus()) {
            const QString parent = QString::fromLatin1(e.parent);
            if (parent.isEmpty())
                continue;
            QMenu* m = w->menu(parent);
            QVERIFY2(m, e.parent);
            const int index = position[parent]++;
            QVERIFY(index < m->actions().size());
            QAction* a = m->actions().at(index);
            QCOMPARE(a->objectName(), QString::fromLatin1(e.name));
            if (e.kind == CommandSurface::Kind::Separator) {
                QVERIFY(a->isSeparator());
            } else {
                QCOMPARE(a->text(), QString::fromLatin1(e.caption));
                QVERIFY(a->shortcut().isEmpty());
                QVERIFY(a->isEnabled());
                QVERIFY(!a->text().contains('&'));
            }
            QCOMPARE(a->menu() != nullptr, e.kind == CommandSurface::Kind::Menu);
        }
        for (auto it = position.cbegin(); it != position.cend(); ++it) {
            QCOMPARE(w->menu(it.key())->actions().size(), it.value());
        }
        QCOMPARE(w->menu("mnuexplorer")->menuAction()->text(), QString("Explorer Only Tags"));
        QCOMPARE(w->menu("mnufont")->actions().at(12)->text(), QString("Font Face ......."));
        // The two bar commands open no menu.
        QVERIFY(!w->action("mnuTest")->menu());
        QVERIFY(!w->action("mnuabout")->menu());
        QCOMPARE(w->menu("mnuscripts")->actions().size(), 7);
        QCOMPARE(w->menu("mnuexplorer")->actions().size(), 3);
    }

    void buttonRow() {
        auto w = startWindow();
        const QStringList order{"Command1",  "Command2",  "Command3",  "Command4",  "Command5",
                                "Command6",  "Command7",  "Command8",  "Command9",  "Command10",
                                "Command11", "Command12", "Command17", "Command13", "Command14",
                                "Command15", "Command16"};
        const QStringList tips{"New Document",
                               "Open a Document",
                               "Save this Document",
                               "Print HTML",
                               "Cut",
                               "Copy",
                               "Paste",
                               "Insert Hyperlink",
                               "Image Source",
                               "Color Selector",
                               "Line Break",
                               "New Paragraph",
                               "Bold",
                               "Horizontal Rule",
                               "Alignment",
                               "Center",
                               "Send Email To:"};
        for (int i = 0; i < order.size(); ++i) {
            QAbstractButton* b = w->button(order[i]);
            QVERIFY(b);
            QCOMPARE(b->toolTip(), tips[i]);
            QCOMPARE(b->accessibleName(), tips[i]);
            QCOMPARE(b->geometry(), Twips::rect(585 + 495 * i, 0, 510, 510));
        }
        QCOMPARE(Twips::fromPixels(w->button("Command17")->x()), 6525);
        // Focus order: the editing area, the buttons in row order, the status bar.
        QWidget* at = &w->Text1();
        for (const QString& name : order) {
            at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus)
                at = at->nextInFocusChain();
            QCOMPARE(at->objectName(), name);
        }
    }

    void windowGeometry() {
        auto w = startWindow();
        QCOMPARE(w->caption(), QString("Quindo HTML Editor"));
        QCOMPARE(w->innerSizeTwips().width(), 9030);
        QVERIFY(!w->windowIcon().isNull());
        QCOMPARE(w->Image1().geometry(), Twips::rect(45, 0, 540, 540));
        QVERIFY(w->Image1().toolTip().contains("Tamblor9"));
        QLabel* credit = w->StatusBar1().findChild<QLabel*>("Panel1");
        QVERIFY(credit);
        for (const char* part : {"Quindo HTML Editor", "Tamblor9", "Tamblor", "1999"}) {
            QVERIFY(credit->text().contains(part));
            QVERIFY(credit->toolTip().contains(part));
        }
    }

    void twips() {
        QCOMPARE(Twips::toPixels(15 * 100),
                 static_cast<int>(std::lround(100 * Twips::logicalDpi() / 96.0)));
        QCOMPARE(Twips::fromPixels(Twips::toPixels(540)), 540);
    }

    void picturesDiffer() {
        const QImage normal = Pictures::buttonFace("new", false).toImage();
        const QImage pressed = Pictures::buttonFace("new", true).toImage();
        QCOMPARE(normal.size(), QSize(36, 36));
        QVERIFY(normal != pressed);
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
