#include "tests/support/ParadoxWriter.h"

#include <QFile>
#include <cstring>

namespace tv::test {

namespace {
void PutLe(QByteArray& b, int at, quint64 v, int size) {
    for (int i = 0; i < size; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
QByteArray BigEndian(quint64 v, int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[size - 1 - i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}
int GetLe16(const QByteArray& b, int at) {
    return static_cast<unsigned char>(b.at(at)) | (static_cast<unsigned char>(b.at(at + 1)) << 8);
}
} // namespace

QByteArray PxAlpha(const QByteArray& bytes, int size) {
    QByteArray b = bytes.left(size);
    b.append(QByteArray(size - b.size(), '\0'));
    return b;
}

QByteArray PxLong(qint32 v) {
    return BigEndian(static_cast<quint32>(v) ^ 0x80000000u, 4);
}

QByteArray PxShort(qint16 v) {
    return BigEndian(static_cast<quint16>(v) ^ 0x8000u, 2);
}

QByteArray PxNumber(double v) {
    quint64 raw = 0;
    std::memcpy(&raw, &v, sizeof raw);
    if (raw & (quint64(1) << 63))
        raw = ~raw;
    else
        raw |= quint64(1) << 63;
    return BigEndian(raw, 8);
}

QByteArray PxDate(const QDate& d) {
    return PxLong(static_cast<qint32>(d.toJulianDay() - 1721425));
}

QByteArray PxLogical(bool v) {
    return QByteArray(1, static_cast<char>(v ? 0x81 : 0x80));
}

QByteArray PxNull(int size) {
    return QByteArray(size, '\0');
}

QByteArray PxFile(const std::vector<PxField>& fields, const std::vector<QByteArray>& records,
                  const PxOptions& o) {
    const int n = static_cast<int>(fields.size());
    int recordSize = 0;
    for (const PxField& f : fields)
        recordSize += f.size;
    const bool extended = o.version >= 0x04;
    const int descriptors = extended ? 0x78 : 0x58;
    const int slot = o.version >= 0x0C ? 261 : 79;
    QByteArray names;
    for (const PxField& f : fields)
        names += f.name.toLatin1() + '\0';
    const int headerUsed = descriptors + 2 * n + 4 + 4 * n + slot + names.size();
    int headerSize = o.headerSize;
    if (headerSize == 0)
        headerSize = (headerUsed + 2047) / 2048 * 2048;
    QByteArray h(headerSize, '\0');
    const int blockSize = o.blockKb * 1024;
    int perBlock = (blockSize - 6) / recordSize;
    if (o.recordsPerBlock > 0)
        perBlock = o.recordsPerBlock;
    const int count = static_cast<int>(records.size());
    const int blocks = (count + perBlock - 1) / perBlock;
    PutLe(h, 0x00, static_cast<quint64>(recordSize), 2);
    PutLe(h, 0x02, static_cast<quint64>(headerSize), 2);
    h[0x04] = 2;
    h[0x05] = static_cast<char>(o.blockKb);
    PutLe(h, 0x06, static_cast<quint64>(count), 4);
    PutLe(h, 0x0A, static_cast<quint64>(blocks), 2);
    PutLe(h, 0x0C, static_cast<quint64>(blocks), 2);
    PutLe(h, 0x0E, blocks > 0 ? 1 : 0, 2);
    PutLe(h, 0x10, static_cast<quint64>(blocks), 2);
    PutLe(h, 0x21, static_cast<quint64>(n), 2);
    h[0x39] = static_cast<char>(o.version);
    if (extended) {
        PutLe(h, 0x25, 0xFF00FF00u, 4);
        PutLe(h, 0x6A, 932, 2);
    }
    int at = descriptors;
    for (const PxField& f : fields) {
        h[at++] = static_cast<char>(f.type);
        h[at++] = static_cast<char>(f.size);
    }
    at += 4 + 4 * n;
    h.replace(at, qMin(static_cast<int>(o.tableName.size()), slot - 1), o.tableName.left(slot - 1));
    at += slot;
    h.replace(at, names.size(), names);

    QByteArray file = h;
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(blockSize, '\0');
        const int first = b * perBlock;
        const int inBlock = qMin(perBlock, count - first);
        PutLe(block, 0, b + 1 < blocks ? static_cast<quint64>(b + 2) : 0, 2);
        PutLe(block, 2, static_cast<quint64>(b), 2);
        PutLe(block, 4, static_cast<quint64>(inBlock - 1) * static_cast<quint64>(recordSize), 2);
        for (int r = 0; r < inBlock; ++r)
            block.replace(6 + r * recordSize, recordSize,
                          records[static_cast<size_t>(first) + static_cast<size_t>(r)]);
        file += block;
    }
    return file;
}

int PxBlockOffset(const QByteArray& file, int block) {
    return GetLe16(file, 0x02) + (block - 1) * static_cast<unsigned char>(file.at(0x05)) * 1024;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace tv::test
