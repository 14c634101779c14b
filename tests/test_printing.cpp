// SPDX-License-Identifier: GPL-3.0-or-later
// Print: header lines in bold on the first page, then the selection or the whole text,
// printed to a PDF file and read back with pdftotext.
#include "MainWindowFixture.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QPrinter>
#include <QProcess>

namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF's text, page by page, each page as its non-empty lines.
QList<QStringList> pagesOf(const QString& pdf) {
    QList<QStringList> pages;
    for (const QString& page : run("pdftotext", {"-layout", pdf, "-"}).split('\f')) {
        QStringList lines;
        for (const QString& line : page.split('\n')) {
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        }
        if (!lines.isEmpty())
            pages << lines;
    }
    return pages;
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

  private:
    MainWindowFixture f;
    QString pdf_;

  private slots:
    void init() {
        f.reset();
        f.start();
        pdf_ = f.path(
            QString("%1-%2.pdf").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        f.setChoosePrinter([this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf_);
            return true;
        });
    }

    void cleanup() {
        QVERIFY(f.dialogs.calls().isEmpty());
        f.finish();
    }

    void print_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("selFrom");
        QTest::addColumn<int>("selTo");
        QTest::addColumn<QStringList>("expected");  // the first page's lines
        const QByteArray doc("<html>\r\nalpha line here\r\nSECOND line\r\n</html>");
        QTest::newRow("untitled") << QString() << doc << 0 << 0
                                  << QStringList{"Untitled Document.", "<html>", "alpha line here",
                                                 "SECOND line", "</html>"};
        QTest::newRow("named") << "/home/user/my page.html" << doc << 0 << 0
                               << QStringList{"/home/user/my page.html", "<html>",
                                              "alpha line here", "SECOND line", "</html>"};
        QTest::newRow("selection only")
            << "/srv/a.html" << doc << 14 << 29 << QStringList{"/srv/a.html", "line here", "SECO"};
        QTest::newRow("selection within a line")
            << QString() << doc << 10 << 15 << QStringList{"Untitled Document.", "pha l"};
        QTest::newRow("empty document")
            << QString() << QByteArray() << 0 << 0 << QStringList{"Untitled Document."};
        QTest::newRow("8-bit text") << QString() << QByteArray("caf\xe9 cr\xe8me") << 0 << 0
                                    << QStringList{"Untitled Document.", "caf\u00e9 cr\u00e8me"};
    }

    void print() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, document);
        QFETCH(int, selFrom);
        QFETCH(int, selTo);
        QFETCH(QStringList, expected);
        f.fileName() = fileName;
        f.setText(document, selFrom, selTo);
        f->action("mnuFilePrint")->trigger();
        QVERIFY(QFileInfo::exists(pdf_));
        const QList<QStringList> pages = pagesOf(pdf_);
        QCOMPARE(pages.size(), 1);
        QStringList lines = pages[0];
        QVERIFY2(lines.value(0).startsWith("Quindo HTML Editor"), qPrintable(lines.join('|')));
        lines.removeFirst();
        QCOMPARE(lines, expected);
        // Printing changes nothing about the document.
        QCOMPARE(f.bytes(), document);
        QCOMPARE(f.docChanged(), qint16(0));
        QCOMPARE(f.fileName(), fileName);
        // The header is bold, the text is not.
        const QString fonts = run("pdffonts", {pdf_});
        QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));
        if (!document.isEmpty()) {
            bool plain = false;
            for (const QString& line : fonts.split('\n').mid(2)) {
                if (!line.isEmpty() && !line.section(' ', 0, 0).contains("Bold"))
                    plain = true;
            }
            QVERIFY2(plain, qPrintable(fonts));
        }
    }

    void longDocumentHasHeaderOnFirstPageOnly() {
        QByteArray doc;
        for (int i = 1; i <= 150; ++i)
            doc += "line " + QByteArray::number(i) + "\r\n";
        f->Text1().setBytes(doc);
        f->runCommand("mnuFilePrint");
        const QList<QStringList> pages = pagesOf(pdf_);
        QVERIFY(pages.size() >= 2);
        QVERIFY(pages[0][0].startsWith("Quindo HTML Editor"));
        QCOMPARE(pages[0][1], QString("Untitled Document."));
        QCOMPARE(pages[0][2], QString("line 1"));
        QCOMPARE(pages[1][0].left(5), QString("line "));
        QCOMPARE(pages.last().last(), QString("line 150"));
    }

    void noPrinterDoesNothing() {
        f.setChoosePrinter([](QPrinter&) { return false; });
        f->Text1().setBytes("text");
        f->runCommand("mnuFilePrint");
        QVERIFY(!QFileInfo::exists(pdf_));
    }
};

QTEST_MAIN(PrintingTest)
#include "test_printing.moc"
