// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class Document;

// Takes drags and drops on the editing area's viewport before the editing area sees them,
// so the editing area never inserts dropped data itself; a drop hands its list of files
// to the document (Document::loadDrop).
class DropLoader : public QObject {
    Q_OBJECT

  public:
    // Drops are handed to the document; parent owns the loader.
    DropLoader(Document& document, QObject& parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Document& document_;
};
