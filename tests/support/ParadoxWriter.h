#pragma once
// Writing Paradox ".DB" files as the earlier program kept its tables, for the import tests and
// the import benchmark: a header with the field list, then data blocks chained in order.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

namespace tv::test {

struct PxField {
    QString name;
    int type = 0; // 1 Alpha, 2 Date, 3 Short, 4 Long, 6 Number, 9 Logical, ...
    int size = 0; // bytes in the record
};

struct PxOptions {
    int version = 0x0C;      // file version byte, 0x03 to 0x0C
    int blockKb = 2;         // block size in KB
    int recordsPerBlock = 0; // 0: as many as fit
    int headerSize = 0;      // 0: the smallest multiple of 2048 that holds the header
    QByteArray tableName = "TABLE.DB";
};

// Field values as stored.
QByteArray PxAlpha(const QByteArray& bytes, int size);
QByteArray PxLong(qint32 v);
QByteArray PxShort(qint16 v);
QByteArray PxNumber(double v);
QByteArray PxDate(const QDate& d);
QByteArray PxLogical(bool v);
QByteArray PxNull(int size);

// The file: records are the concatenated field values, each of the record size.
QByteArray PxFile(const std::vector<PxField>& fields, const std::vector<QByteArray>& records,
                  const PxOptions& options = PxOptions());

// Offset of data block n (from 1) in a file written with these options.
int PxBlockOffset(const QByteArray& file, int block);

bool WriteFile(const QString& path, const QByteArray& bytes);

} // namespace tv::test
