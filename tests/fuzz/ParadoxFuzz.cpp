// libFuzzer entry: any bytes as a Paradox table file. The reader must refuse what it cannot read
// with a message, and every value of every record it accepts must decode without reading outside
// the record; the sanitizers report anything else.
#include "platform/ParadoxTable.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Raw: a read past the end meets the end of libFuzzer's own buffer, which the address
    // sanitizer guards.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const tv::ParadoxTable table =
            tv::ParadoxTable::FromBytes(bytes, QStringLiteral("fuzz.DB"));
        for (int r = 0; r < table.RecordCount(); ++r) {
            const char* record = table.Record(r);
            for (const tv::ParadoxField& f : table.Fields()) {
                const char* p = record + f.offset;
                qint64 integer = 0;
                double number = 0;
                QDate date;
                bool logical = false, valid = false;
                switch (f.type) {
                case tv::paradox::Long:
                case tv::paradox::Short:
                case tv::paradox::AutoInc:
                    tv::paradox::ReadInteger(p, f.size, &integer);
                    break;
                case tv::paradox::Number:
                case tv::paradox::Currency:
                    tv::paradox::ReadNumber(p, &number);
                    break;
                case tv::paradox::Date:
                    tv::paradox::ReadDate(p, &date);
                    break;
                case tv::paradox::Logical:
                    tv::paradox::ReadLogical(p, &logical, &valid);
                    break;
                case tv::paradox::Alpha:
                    tv::paradox::AlphaLength(p, f.size);
                    break;
                default:
                    break;
                }
            }
        }
    } catch (const tv::TError&) {
        // a refused file: what the reader is for
    }
    return 0;
}
