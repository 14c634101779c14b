// SPDX-License-Identifier: GPL-3.0-or-later
// The real open and save dialogs: which files the document filters show, the default
// suffix and the name the dialog starts with.
#include "TestEnvironment.h"
#include "ui/platform/Dialogs.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

#include <functional>

namespace {

QFileDialog* openDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

// Runs act on the dialog once it is open and its folder is listed.
void whenOpen(int expectedRows, const std::function<void(QFileDialog*, QStringList)>& act) {
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QFileDialog* dialog = openDialog();
        if (!dialog)
            return;
        auto* list = dialog->findChild<QAbstractItemView*>("listView");
        QStringList shown;
        if (list && list->model()) {
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row) {
                const QModelIndex index = list->model()->index(row, 0, root);
                // A file the filter leaves out is hidden or shown disabled.
                if (list->model()->flags(index) & Qt::ItemIsEnabled)
                    shown << index.data().toString();
            }
        }
        if (shown.size() < expectedRows && clock->elapsed() < 5000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        shown.sort();
        act(dialog, shown);
    });
    poll->start(20);
}

}  // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT

  private:
    TestEnvironment env_;
    QTemporaryDir dir_;

  private slots:
    void initTestCase() {
        for (const char* name : {"page.html", "PAGE.HTM", "Mixed.Htm", "notes.txt", "README.TXT",
                                 "picture.png", "page.html.bak", "style.css"}) {
            QFile f(dir_.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("open") << "HTML or Text Files (*.HTM* *.txt)"
                              << QStringList{"Mixed.Htm", "PAGE.HTM",  "README.TXT",
                                             "notes.txt", "page.html", "page.html.bak"};
        QTest::newRow("save") << "HTML Files (*.HTM*)"
                              << QStringList{"Mixed.Htm", "PAGE.HTM", "page.html", "page.html.bak"};
    }

    // The patterns match whatever the case of the name.
    void filters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        QtDialogs dialogs;
        QStringList seen;
        whenOpen(int(shown.size()), [&](QFileDialog* dialog, QStringList names) {
            seen = names;
            dialog->reject();
        });
        const QString chosen =
            dialogs.openFile({filter, dir_.filePath("page.html"), QStringLiteral("html"), {}});
        QCOMPARE(chosen, QString());
        QCOMPARE(seen, shown);
    }

    void saveAddsTheDefaultSuffix() {
        QtDialogs dialogs;
        QString startedIn;
        QString startedWith;
        whenOpen(1, [&](QFileDialog* dialog, QStringList) {
            startedIn = dialog->directory().absolutePath();
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            startedWith = edit ? edit->text() : QString();
            if (edit)
                edit->setText("new page");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const QString chosen =
            dialogs.saveFile({"HTML Files (*.HTM*)", dir_.filePath("remembered.html"), "html", {}});
        QCOMPARE(startedIn, QDir(dir_.path()).absolutePath());
        QCOMPARE(startedWith, QString("remembered.html"));
        QCOMPARE(chosen, dir_.filePath("new page.html"));
    }
};

QTEST_MAIN(FileDialogsTest)
#include "test_filedialogs.moc"
