#pragma once
// Reading and writing CSV and tab-separated text: the files of the command line and of the main
// window's import and export, and text copied from a spreadsheet.
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv {

// The text of a file: UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is
// dropped), else Shift-JIS (code page 932); nothing when they are neither.
std::optional<QString> DecodeText(const QByteArray& bytes);

struct CsvRecords {
    std::vector<QStringList> records;
    // 1-based record at which a quoted field was left open; 0 when the text is well formed.
    int openQuoteRecord = 0;
};

// Splits CSV text into records of fields: the separator (',' unless given) separates fields,
// CR LF, LF or CR ends a record, a field in double quotes may hold the separator, line breaks
// and doubled quotes. A final line break does not start another record, and blank lines at the
// end are dropped.
CsvRecords ParseCsv(const QString& text, QChar separator = QLatin1Char(','));

// The separator of a text: a tab when the text holds tabs and no comma, else ','.
QChar GuessSeparator(const QString& text);

// A field as written to CSV: quoted when it holds ',', '"' or a line break.
QString CsvField(const QString& text);

} // namespace tv
