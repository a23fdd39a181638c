#include "platform/Csv.h"

#include "platform/Cp932.h"

#include <QStringDecoder>

namespace tv {

std::optional<QString> DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    return Cp932Decode(bytes);
}

CsvRecords ParseCsv(const QString& text, QChar separator) {
    CsvRecords result;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool fieldWasQuoted = false;
    bool recordStarted = false; // something of the current record has been read
    const int size = text.size();
    auto endField = [&] {
        record << field;
        field.clear();
        fieldWasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        result.records.push_back(record);
        record.clear();
        recordStarted = false;
    };
    for (int i = 0; i < size; ++i) {
        const QChar ch = text[i];
        if (inQuotes) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < size && text[i + 1] == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += ch;
            }
            continue;
        }
        if (ch == QLatin1Char('"') && field.isEmpty() && !fieldWasQuoted) {
            inQuotes = true;
            fieldWasQuoted = true;
            recordStarted = true;
        } else if (ch == separator) {
            endField();
            recordStarted = true;
        } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            if (ch == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRecord();
        } else {
            field += ch;
            recordStarted = true;
        }
    }
    if (inQuotes)
        result.openQuoteRecord = static_cast<int>(result.records.size()) + 1;
    if (recordStarted || !field.isEmpty())
        endRecord();
    // Blank lines at the end hold no grid rows.
    while (!result.records.empty() && result.records.back().size() == 1 &&
           result.records.back().front().isEmpty())
        result.records.pop_back();
    return result;
}

QChar GuessSeparator(const QString& text) {
    if (text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char(',')))
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace tv
