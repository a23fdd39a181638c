#pragma once
// Reading the table files of the earlier program: Paradox ".DB" files (file versions 3 to 7, that
// is version bytes 0x03 to 0x0C). The whole file is read and checked when it is opened; a damaged
// or encrypted file raises EngineError with a message that names the file and what is wrong.
//
// Layout, all little-endian in the header: record size (0x00, 2 bytes), header size (0x02, 2),
// file type (0x04: 0 or 2 for a table), block size in KB (0x05), record count (0x06, 4), blocks
// in the file (0x0A, 2), first data block (0x0E, 2), field count (0x21, 2), file version (0x39),
// code page (0x6A, 2; version 4 and later). The field descriptors (type byte, size byte) follow
// at 0x78 (0x58 in version 3 files), then 4 bytes, one 4-byte pointer per field, the table name
// in a fixed slot (261 bytes from version 0x0C, 79 before) and the NUL-terminated field names.
// Data block n (from 1) starts at header size + (n - 1) * block size; its 6-byte head holds the
// next and the previous block number and (records in the block - 1) * record size.
#include "platform/Errors.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

namespace tv {

namespace paradox {
// Field types of the format.
enum Type : unsigned char {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};
// The type's name as the earlier program showed it ("Alpha", "Number", ...), or "型 0x.." for a
// type byte the format does not define.
QString TypeName(int type);
} // namespace paradox

struct ParadoxField {
    QString name;
    int type = 0;   // paradox::Type
    int size = 0;   // bytes in the record
    int offset = 0; // from the start of the record
};

class ParadoxTable {
public:
    // Reads and checks the file. Raises EngineError for a file that cannot be read, is no Paradox
    // table, is damaged (sizes that do not fit the file, a block chain that loops or leaves the
    // file, a record count that differs from the records found) or is encrypted.
    static ParadoxTable Read(const QString& path);
    // The same for the bytes of a file read already; `path` names it in the messages.
    static ParadoxTable FromBytes(const QByteArray& bytes, const QString& path);

    QString Path() const { return path_; }
    int Version() const { return version_; }
    int CodePage() const { return codePage_; } // 0 when the file does not record one
    int BlockSize() const { return blockSize_; }
    int RecordSize() const { return recordSize_; }
    const std::vector<ParadoxField>& Fields() const { return fields_; }
    int RecordCount() const { return recordCount_; }
    // The bytes of record i (from 0) in the order of the block chain, RecordSize() of them.
    const char* Record(int i) const {
        return records_.constData() + static_cast<qsizetype>(i) * recordSize_;
    }

private:
    QString path_;
    int version_ = 0;
    int codePage_ = 0;
    int blockSize_ = 0;
    int recordSize_ = 0;
    int recordCount_ = 0;
    std::vector<ParadoxField> fields_;
    QByteArray records_;
};

// Values of a field in a record. A null (all bytes zero) gives false from the readers below and
// leaves the value untouched.
namespace paradox {
// Long, AutoInc and Short (size 4 or 2): big-endian with the sign bit flipped.
bool ReadInteger(const char* p, int size, qint64* value);
// Number and Currency: an 8-byte double, positive values with the sign bit set, negative values
// with all bits inverted.
bool ReadNumber(const char* p, double* value);
// Date: days from 1 January of year 1 (day 1), stored as a Long.
bool ReadDate(const char* p, QDate* value);
// Logical: 0x80 false, 0x81 true. *valid is set false for any other non-zero byte.
bool ReadLogical(const char* p, bool* value, bool* valid);
// Alpha: the bytes up to the first NUL (none when the first byte is NUL).
int AlphaLength(const char* p, int size);
} // namespace paradox

} // namespace tv
