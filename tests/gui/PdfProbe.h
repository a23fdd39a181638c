#pragma once
// Reading a written PDF back with the poppler tools: page count, page sizes, the text of a page
// and a page rendered to a grey image.
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "printing/Printer.h"

#include <QPrinter>

namespace tv::test {

// Makes the current printer one that prints into this PDF file (600 dpi, 12 points of
// unprintable margin); returns the previous printer source.
inline TPrinterSource PrintIntoPdf(const QString& file) {
    return SetPrinterSource([file] {
        auto printer = PdfPrinter(600, 12);
        printer->setOutputFileName(file);
        return printer;
    });
}

inline QString RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString& file) {
    const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Size of page n in points.
inline QSizeF PdfPageSize(const QString& file, int page) {
    const QString n = QString::number(page);
    const QString info = RunTool(QStringLiteral("pdfinfo"),
                                 {QStringLiteral("-f"), n, QStringLiteral("-l"), n, file});
    const auto match =
        QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+([\\d.]+) x ([\\d.]+)").arg(n))
            .match(info);
    if (!match.hasMatch())
        return QSizeF();
    return QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
}

inline QString PdfPageText(const QString& file, int page) {
    const QString n = QString::number(page);
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), n, QStringLiteral("-l"), n, file, QStringLiteral("-")});
}

// Page n rendered in grey at `dpi`.
inline QImage PdfPageImage(const QString& file, int page, int dpi) {
    QTemporaryDir dir;
    const QString n = QString::number(page);
    const QString root = dir.filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
             QStringLiteral("-f"), n, QStringLiteral("-l"), n, QStringLiteral("-singlefile"), file,
             root});
    return QImage(root + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// Centre of the dark run crossing row y (columns) or column x (rows); -1 when none.
inline double DarkCentreInRow(const QImage& image, int y, int from = 0) {
    int first = -1, last = -1;
    for (int x = from; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 128) {
            if (first < 0)
                first = x;
            last = x;
        } else if (first >= 0) {
            break;
        }
    }
    return first < 0 ? -1 : (first + last) / 2.0;
}

inline double DarkCentreInColumn(const QImage& image, int x, int from = 0) {
    int first = -1, last = -1;
    for (int y = from; y < image.height(); ++y) {
        if (qGray(image.pixel(x, y)) < 128) {
            if (first < 0)
                first = y;
            last = y;
        } else if (first >= 0) {
            break;
        }
    }
    return first < 0 ? -1 : (first + last) / 2.0;
}

} // namespace tv::test
