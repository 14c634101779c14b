// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"

#include "app/StartupProbe.h"
#include "app/frmsplash.h"
#include "document/Document.h"
#include "ui/frmMain.h"
#include "ui/platform/Dialogs.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QStringList>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#include <memory>

namespace {

int gSignalPipe[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &byte, 1);
}

// A session manager ends a desktop program with SIGTERM (or SIGHUP when the terminal
// goes): both run the close request, which the main window answers with its save prompt.
void closeOnTerminate(QObject& context, std::function<void()> closeRequest) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &context);
    QObject::connect(notifier, &QSocketNotifier::activated, &context,
                     [closeRequest = std::move(closeRequest)] {
                         char byte;
                         [[maybe_unused]] const auto got = ::read(gSignalPipe[0], &byte, 1);
                         closeRequest();
                     });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

namespace Program {

QString argumentText(int argc, char** argv) {
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    return words.join(QLatin1Char(' '));
}

int run(int argc, char** argv) {
    const QString arguments = argumentText(argc, argv);
    // Qt sees only the program's name, so a file called "-style" stays a file name.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("quindo"));
    QApplication::setOrganizationName(QStringLiteral("quindo"));

    QtDialogs dialogs;
    std::unique_ptr<frmMain> main;
    // The splash comes first; its first tick builds, loads and shows the main window.
    QPointer<frmsplash> splash = new frmsplash([&](frmsplash& self) {
        main = std::make_unique<frmMain>(dialogs, arguments);
        dialogs.setParent(main.get());
        main->document().setEndProgram([] { QApplication::quit(); });
        StartupProbe::reportWhenIdle(*main);
        // Registered with the main window, so that its way out closes the splash in turn.
        main->showSecondaryWindow(QStringLiteral("frmsplash"), [&self] { return &self; });
        main->Form_Load();
        main->show();
    });
    closeOnTerminate(app, [&] {
        if (main) {
            main->close();
        } else {
            // Asked to end before anything was loaded: no hand-over, nothing to save.
            if (splash) {
                splash->close();
            }
            QApplication::quit();
        }
    });
    splash->Form_Load();
    splash->show();
    const int code = QApplication::exec();
    delete splash.data();
    return code;
}

}  // namespace Program
