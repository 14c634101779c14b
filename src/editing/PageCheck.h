// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/BusyCursor.h"
#include "platform/SecondaryWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>

class QListWidget;
class QListWidgetItem;
class QProcess;
class QPushButton;
class WindowHost;

// One message of HTML Tidy about the page.
struct TidyFinding {
    int line = 0;    // from 1
    int column = 0;  // from 1, in characters, a tab counting one
    bool error = false;
    QString code;  // Tidy's message code, such as MISSING_ENDTAG_FOR
    QString text;  // Tidy's own words
};

// The "Page Check" window: a summary line, then one row per finding; the Cancel button
// stops a check that is running.
class frmCheck : public SecondaryWindow {
    Q_OBJECT

  public:
    explicit frmCheck(QWidget* owner);
    QListWidget& list() { return *list_; }
    QPushButton& cancelButton() { return *cancel_; }

  private:
    QListWidget* list_;
    QPushButton* cancel_;
};

// Check Page (F7 and the editing area's menu): runs HTML Tidy on the text as it stands in
// the editing area and explains what it found in plain words in the "Page Check" window.
// Tidy is an outside program: it gets the text on its standard input, runs beside the
// window, and the window never changes the document.
class PageCheck : public QObject {
    Q_OBJECT

  public:
    // Pages larger than this are not checked.
    static constexpr qsizetype kLargestPage = 20 * 1024 * 1024;
    static constexpr int kTimeLimitMs = 30000;
    static constexpr int kBusyAfterMs = 500;

    explicit PageCheck(WindowHost& host);
    ~PageCheck() override;

    // Shows the window and checks the page again; a check still running is stopped first.
    void run();
    // Stops the running check.
    void cancel();
    bool isRunning() const { return process_ != nullptr; }

    // Tidy's report (its standard error with --mute-id) as findings, errors first, each
    // group in the order of the page.
    static QList<TidyFinding> parse(const QString& report);
    // A finding in words for someone learning HTML.
    static QString explain(const TidyFinding& finding);
    // "2 errors and 5 warnings." or "No problems found."
    static QString summary(const QList<TidyFinding>& findings);

  private:
    frmCheck* window();
    void showLines(const QStringList& lines);
    void finished(int exitCode, bool crashed);
    void stop();
    void jumpTo(const QListWidgetItem* item);

    WindowHost& host_;
    QProcess* process_ = nullptr;
    QTimer busyTimer_;
    QTimer timeLimit_;
    std::optional<BusyCursor> busy_;
};
