// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's main window in a process of its own, for the recovery tests to kill.
//   recovery_child type SEED [FILE]  opens FILE (or nothing), then edits as RecoveryScript
//                                    SEED says, one edit every few milliseconds, printing
//                                    "edit N" after the N-th, until it is killed
//   recovery_child save TARGET       types a line into a new document and saves it as
//                                    TARGET, then leaves through Exit
//   recovery_child fill FILE END     opens FILE, types, pastes 256 KiB (more than the test's
//                                    file size limit lets the copy hold) and takes it away
//                                    again, then saves and leaves through Exit (END "exit")
//                                    or kills itself (END "kill")
// Dialogs are scripted (Save As answers TARGET); everything else is the real program.
#include "RecoveryScript.h"
#include "ScriptedDialogs.h"
#include "document/Document.h"
#include "document/Recovery.h"
#include "platform/EditingArea.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

void perform(EditingArea& area, const RecoveryScript::Edit& edit) {
    using Edit = RecoveryScript::Edit;
    area.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(edit.position));
    switch (edit.kind) {
        case Edit::Type:
            QTest::keyClicks(&area, QString::fromLatin1(edit.bytes));
            break;
        case Edit::Paste:
            area.setSelText(edit.bytes);
            break;
        case Edit::Delete:
            area.SendScintilla(QsciScintillaBase::SCI_SETSEL,
                               static_cast<unsigned long>(edit.position),
                               static_cast<long>(edit.position + edit.length));
            area.setSelText({});
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    ScriptedDialogs dialogs;
    const QString mode = args.value(0);
    if (mode == QLatin1String("type")) {
        frmMain window(dialogs, args.value(2));
        window.Form_Load();
        window.show();
        RecoveryScript script(args.value(1).toUInt());
        int count = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            EditingArea& area = window.Text1();
            perform(area, script.next(area.byteLength()));
            std::printf("edit %d\n", ++count);
            std::fflush(stdout);
        });
        tick.start(5);
        return QApplication::exec();
    }
    if (mode == QLatin1String("save")) {
        frmMain window(dialogs, {});
        window.Form_Load();
        window.show();
        QTest::keyClicks(&window.Text1(), QStringLiteral("<p>kept</p>"));
        dialogs.answerFile(args.value(1));
        const bool saved = window.document().mnuFileSaveAs_Click();
        QTest::keyClicks(&window.Text1(), QStringLiteral(" more"));
        window.document().recovery().flushNow();
        dialogs.answer(Dialogs::No);
        window.document().mnuFileExit_Click();
        return saved && dialogs.unexpected().isEmpty() ? 0 : 1;
    }
    if (mode == QLatin1String("fill")) {
        frmMain window(dialogs, args.value(1));
        window.Form_Load();
        window.show();
        EditingArea& area = window.Text1();
        Recovery& recovery = window.document().recovery();
        QTest::keyClicks(&area, QStringLiteral("typed "));
        recovery.flushNow();
        const qint64 at = area.byteLength();
        area.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(at));
        area.setSelText(QByteArray(256 * 1024, 'x'));
        recovery.flushNow();
        perform(area, {RecoveryScript::Edit::Delete, at, {}, 256 * 1024});
        if (args.value(2) == QLatin1String("kill")) {
            std::raise(SIGKILL);
        }
        const bool saved = window.document().mnuFileSave_Click();
        window.document().mnuFileExit_Click();
        return saved && dialogs.unexpected().isEmpty() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: recovery_child type SEED [FILE] | save TARGET | fill FILE END\n");
    return 2;
}
