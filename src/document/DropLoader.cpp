// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DropLoader.h"

#include "document/DocumentState.h"
#include "ui/frmMain.h"
#include "ui/platform/Dialogs.h"
#include "ui/platform/EditingArea.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace {

const QString kSavePrompt =
    QStringLiteral("Save current document before loading the dropped document?");
const QString kPromptTitle = QStringLiteral("Drag and Drop Load");
const QString kUnsupported = QStringLiteral(
    "The drag and drop command could not be completed because the data is in an invalid "
    "format or is not supported.");

// A drag that starts in the editing area itself (its selection) is not a document to load.
bool fromOwnArea(const QDropEvent* event, QObject* viewport) {
    const QObject* source = event->source();
    return source && (source == viewport || source == viewport->parent());
}

// Dropped files are copied, never moved: the source keeps its file.
void acceptAsCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

}  // namespace

DropLoader::DropLoader(frmMain& main) : QObject(&main), main_(main) {}

bool DropLoader::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (fromOwnArea(drag, watched)) {
                drag->ignore();
            } else {
                acceptAsCopy(drag);
            }
            return true;
        }
        case QEvent::DragLeave:
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (fromOwnArea(drop, watched)) {
                drop->ignore();
                return true;
            }
            // The data lives only as long as the drop; the handler runs once the drag has
            // finished, so its prompts do not hold the other program's drag up.
            const QMimeData* data = drop->mimeData();
            const bool hasFileList = data && data->hasUrls();
            const QList<QUrl> urls = hasFileList ? data->urls() : QList<QUrl>{};
            acceptAsCopy(drop);
            QTimer::singleShot(0, &main_,
                               [this, hasFileList, urls] { load(main_, hasFileList, urls); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

void DropLoader::load(frmMain& main, bool hasFileList, const QList<QUrl>& urls) {
    EditingArea& text = main.Text1();
    if (!text.isEmpty()) {
        switch (main.dialogs().messageBox(kSavePrompt, Dialogs::Buttons::YesNoCancel,
                                          Dialogs::Icon::None, kPromptTitle)) {
            case Dialogs::Yes:
                // Always the dialog, even for a document with a file; when nothing was
                // saved the document stays.
                if (!main.mnuFileSaveAs_Click()) {
                    return;
                }
                break;
            case Dialogs::No:
                break;
            default:
                return;
        }
    }
    if (!hasFileList || urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        main.dialogs().messageBox(kUnsupported, Dialogs::Buttons::Ok, Dialogs::Icon::None,
                                  QStringLiteral("Quindo"));
        return;
    }
    const QString path = urls.constFirst().toLocalFile();
    if (path.isEmpty()) {
        return;
    }
    text.setBytes({});
    main.CurrentFileName = path;
    main.OpenFile(main.CurrentFileName);
    main.setCaption(Caption::forPath(path));
    main.DocChanged = 0;
}
