// CSV and tab-separated text: decoding, fields written and read back, the separator of a text.
#include "platform/Csv.h"
#include "tests/support/TestEnv.h"

namespace tv {
namespace {

TEST(Csv, FieldsComeBackAsWrittenAndTheSeparatorIsGuessed) {
    // A UTF-8 byte-order mark (a spreadsheet's "CSV UTF-8") is no part of the first field.
    EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBFNo.0,1")), QStringLiteral("No.0,1"));
    const QStringList fields = {QStringLiteral("a,b"), QStringLiteral("say \"x\""),
                                QStringLiteral("1\n2"), QStringLiteral("測点")};
    QStringList written;
    for (const QString& field : fields)
        written << CsvField(field);
    const CsvRecords read = ParseCsv(written.join(QLatin1Char(',')) + QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records.front(), fields);
    EXPECT_EQ(read.openQuoteRecord, 0);
    EXPECT_EQ(GuessSeparator(QStringLiteral("1\t2\n")), QLatin1Char('\t'));
    EXPECT_EQ(GuessSeparator(QStringLiteral("No.1,1\t2\n")), QLatin1Char(','));
}

} // namespace
} // namespace tv
