// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"

#include "app/SettingsStore.h"
#include "app/StartupProbe.h"
#include "app/frmsplash.h"
#include "platform/Dialogs.h"
#include "ui/Features.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QPointer>
#include <QSettings>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

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

void showMainWindow(frmMain& main, frmsplash& splash) {
    // Registered with the main window, so that its way out closes the splash in turn.
    main.showSecondaryWindow(QStringLiteral("frmsplash"), [&splash] { return &splash; });
    main.Form_Load();
    main.show();
}

void chooseWindowSystem() {
    // On a Wayland session a program can neither centre its windows nor keep one above
    // the others, and the small windows are designed to do both: run on the session's X
    // server (XWayland) instead, unless the user chose a platform.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

int run(int argc, char** argv) {
    const QString arguments = argumentText(argc, argv);
    UserFolders::ignoreRelative();
    chooseWindowSystem();
    // Qt sees only the program's name, so a file called "-style" stays a file name.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("quindo"));
    QApplication::setOrganizationName(QStringLiteral("quindo"));
    // The program writes no settings file but its own: Qt's file dialog would keep its
    // state in the user's QtProject.conf (native format), which is sent nowhere instead.
    // The settings store uses the INI format and is not affected.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));

    QtDialogs dialogs;
    std::unique_ptr<frmMain> main;
    // The splash comes first; its first tick builds, loads and shows the main window.
    QPointer<frmsplash> splash = new frmsplash([&](frmsplash& self) {
        main = std::make_unique<frmMain>(dialogs, arguments);
        dialogs.setParent(main.get());
        StartupProbe::reportWhenIdle(*main);
        showMainWindow(*main, self);
        // Exit ends the program; once the window is up (after the welcome window and the
        // command line's file) the unsaved documents of programs that ended are offered.
        main->features().runAsProgram([] { QApplication::quit(); });
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
