// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciprinter.h>

#include <QStringList>

#include <functional>

class EditingArea;
class QPrinter;

// A printer that puts the header lines, in bold, at the top of the first page; the
// editing area formats the document text below them.
class DocumentPrinter : public QsciPrinter {
  public:
    explicit DocumentPrinter(QStringList header);
    void formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) override;

    // The header lines for a document of that name: the banner, "Untitled Document." for a
    // document without a name, then the name (an empty line when there is none).
    static QStringList headerFor(const QString& currentFileName);

    // Prints the editing area's selection, or its whole text, as one job under the header
    // of that file name, on the printer choosePrinter sets up (unset: the system's default
    // one). Without a printer nothing happens and nothing is shown.
    static void print(EditingArea& text, const QString& currentFileName,
                      const std::function<bool(QPrinter&)>& choosePrinter);

    // Sets the printer up as the system's default printer; false when there is none.
    static bool useDefaultPrinter(QPrinter& printer);

  private:
    QStringList header_;
};
