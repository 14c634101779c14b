// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DropLoader.h"

#include "document/Document.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace {

// A drag that starts in the editing area itself (its selection) is not a document to load.
bool fromOwnArea(const QDropEvent* event, QObject* viewport) {
    const QObject* source = event->source();
    return source && (source == viewport || source == viewport->parent());
}

// Dropped files are copied, never moved: the source keeps its file. A drag that offers
// no copy is refused, so no file manager deletes what was dragged.
bool acceptAsCopy(QDropEvent* event) {
    if (!(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

}  // namespace

DropLoader::DropLoader(Document& document, QObject& parent)
    : QObject(&parent), document_(document) {}

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
            if (!acceptAsCopy(drop)) {
                return true;
            }
            QTimer::singleShot(0, &document_, [this, hasFileList, urls] {
                document_.loadDrop(hasFileList, urls);
            });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
