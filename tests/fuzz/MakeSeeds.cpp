// Writes the fuzzer's seed corpus into the folder given: small Paradox tables of every value kind,
// file version and block size the reader knows, made by the test writer.
#include "tests/support/ParadoxWriter.h"

#include <QDate>
#include <QDir>
#include <QString>
#include <cstdio>

using namespace tv::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: paradox_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    QDir().mkpath(folder);
    const std::vector<PxField> fields = {
        {QStringLiteral("ID"), 4, 4}, {QStringLiteral("KOJICODE"), 1, 10},
        {QStringLiteral("N"), 3, 2},  {QStringLiteral("DATA"), 6, 8},
        {QStringLiteral("U"), 9, 1},  {QStringLiteral("D"), 2, 4}};
    std::vector<QByteArray> records;
    for (int i = 0; i < 5; ++i)
        records.push_back(PxLong(i - 2) + PxAlpha("A00" + QByteArray::number(i), 10) +
                          PxShort(static_cast<qint16>(-i)) + PxNumber(i * 1.25 - 3) +
                          (i % 2 ? PxLogical(i > 2) : PxNull(1)) + PxDate(QDate(1998, 1 + i, 3)));
    int n = 0;
    bool ok = true;
    for (const int version : {0x03, 0x05, 0x09, 0x0C})
        for (const int blockKb : {1, 2, 4}) {
            PxOptions options;
            options.version = version;
            options.blockKb = blockKb;
            options.recordsPerBlock = 2;
            ok = ok && WriteFile(folder + QStringLiteral("seed%1.DB").arg(++n),
                                 PxFile(fields, records, options));
        }
    ok = ok && WriteFile(folder + QStringLiteral("empty.DB"), PxFile(fields, {}));
    return ok ? 0 : 1;
}
