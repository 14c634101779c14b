// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up floor: a bare Qt 6 main window, timed by the same probe as the editor.
// With the argument "text" it also shows a menu bar and a label, which is what makes
// Qt load and match fonts at start-up: the floor of any window that shows words. With
// "editor" its window holds one empty QScintilla editing area instead: the floor of any
// editor built on it.
#include "app/StartupProbe.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(640, 480);
    if (QCoreApplication::arguments().value(1) == QLatin1String("text")) {
        for (const char* title : {"&File", "&Edit", "&View", "&Help"}) {
            window.menuBar()->addMenu(QString::fromLatin1(title));
        }
        window.setCentralWidget(new QLabel(QStringLiteral("Hello")));
    } else if (QCoreApplication::arguments().value(1) == QLatin1String("editor")) {
        window.setCentralWidget(new QsciScintilla);
    }
    window.show();
    StartupProbe::reportWhenIdle(window);
    return QApplication::exec();
}
