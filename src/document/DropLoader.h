// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class frmMain;

// Takes drags and drops on the editing area's viewport before the editing area sees them,
// so the editing area never inserts dropped data itself; a drop loads the first dropped
// file as the document.
class DropLoader : public QObject {
    Q_OBJECT

  public:
    explicit DropLoader(frmMain& main);

    // What a drop does with its data: ask whether to save, then load the first local file
    // of the list. hasFileList is false when the data carries no list of paths.
    static void load(frmMain& main, bool hasFileList, const QList<QUrl>& urls);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    frmMain& main_;
};
