// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Features.h"

#include "app/DisplayPreferences.h"
#include "app/SmallWindows.h"
#include "app/Startup.h"
#include "browser/BrowserCommands.h"
#include "document/Document.h"
#include "editing/EditingCommands.h"
#include "editing/EditingKeys.h"
#include "editing/FindReplace.h"
#include "editing/GoToLine.h"
#include "editing/PageCheck.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"
#include "snippets/TagInsertion.h"

#include <QTimer>
#include <QWidget>

Features::Features(WindowHost& host)
    : host_(host),
      document_(new Document(host)),
      tags_(std::make_unique<TagInsertion>(host)),
      browser_(std::make_unique<BrowserCommands>(host, *document_)),
      display_(std::make_unique<DisplayPreferences>(host)),
      smallWindows_(std::make_unique<SmallWindows>(host)),
      findReplace_(std::make_unique<FindReplace>(host)),
      goToLine_(std::make_unique<GoToLine>(host)),
      pageCheck_(std::make_unique<PageCheck>(host)) {
    EditingKeys::install(host.editingArea());
    editingCommands_ = new EditingCommands(
        {host.editingArea(), *document_, *findReplace_, *goToLine_, *pageCheck_}, host.window());
}

Features::~Features() = default;

qint16 Features::load(const QString& commandLine) {
    const qint16 count = Startup::load(host_, *smallWindows_, *display_);
    document_->loadCommandLine(commandLine);
    return count;
}

void Features::runAsProgram(std::function<void()> endProgram) {
    document_->setEndProgram(std::move(endProgram));
    QTimer::singleShot(0, document_, [this] { document_->offerRecovery(); });
}
