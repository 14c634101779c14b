#include "app/Program.h"

#include "app/StartupProbe.h"

#include "ui/frmMain.h"
#include "ui/platform/Dialogs.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

int gSignalPipe[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &byte, 1);
}

// A session manager ends a desktop program with SIGTERM (or SIGHUP when the terminal
// goes): treat both as the main window's close request, so the save prompt still runs.
void closeOnTerminate(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const auto got = ::read(gSignalPipe[0], &byte, 1);
        window.close();
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
    frmMain main(dialogs, arguments);
    dialogs.setParent(&main);
    main.endProgram = [] { QApplication::quit(); };
    closeOnTerminate(main);
    main.Form_Load();
    main.show();
    StartupProbe::reportWhenIdle(main);
    return QApplication::exec();
}

}  // namespace Program
