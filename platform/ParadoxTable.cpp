#include "platform/ParadoxTable.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <limits>

namespace tv {

namespace paradox {

QString TypeName(int type) {
    switch (type) {
    case Alpha:
        return QStringLiteral("Alpha");
    case Date:
        return QStringLiteral("Date");
    case Short:
        return QStringLiteral("Short");
    case Long:
        return QStringLiteral("Long");
    case Currency:
        return QStringLiteral("Currency");
    case Number:
        return QStringLiteral("Number");
    case Logical:
        return QStringLiteral("Logical");
    case Memo:
        return QStringLiteral("Memo");
    case Blob:
        return QStringLiteral("BLOB");
    case FormattedMemo:
        return QStringLiteral("Formatted Memo");
    case Ole:
        return QStringLiteral("OLE");
    case Graphic:
        return QStringLiteral("Graphic");
    case Time:
        return QStringLiteral("Time");
    case Timestamp:
        return QStringLiteral("Timestamp");
    case AutoInc:
        return QStringLiteral("AutoInc");
    case Bcd:
        return QStringLiteral("BCD");
    case Bytes:
        return QStringLiteral("Bytes");
    default:
        return QStringLiteral("型 0x%1").arg(type, 2, 16, QLatin1Char('0'));
    }
}

namespace {
quint64 BigEndian(const char* p, int size) {
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}
bool AllZero(const char* p, int size) {
    for (int i = 0; i < size; ++i)
        if (p[i] != 0)
            return false;
    return true;
}
} // namespace

bool ReadInteger(const char* p, int size, qint64* value) {
    if (AllZero(p, size))
        return false;
    const quint64 raw = BigEndian(p, size);
    const int bits = size * 8;
    // Flipping the sign bit gives two's complement; widen it with its sign.
    const quint64 flipped = raw ^ (quint64(1) << (bits - 1));
    if (bits < 64 && (flipped & (quint64(1) << (bits - 1))))
        *value = static_cast<qint64>(flipped | (~quint64(0) << bits));
    else
        *value = static_cast<qint64>(flipped);
    return true;
}

bool ReadNumber(const char* p, double* value) {
    if (AllZero(p, 8))
        return false;
    quint64 raw = BigEndian(p, 8);
    if (raw & (quint64(1) << 63))
        raw &= ~(quint64(1) << 63);
    else
        raw = ~raw;
    std::memcpy(value, &raw, sizeof raw);
    return true;
}

bool ReadDate(const char* p, QDate* value) {
    qint64 days = 0;
    if (!ReadInteger(p, 4, &days))
        return false;
    // 1 January of year 1 (proleptic Gregorian) is Julian day 1721426.
    *value = QDate::fromJulianDay(1721425 + days);
    return true;
}

bool ReadLogical(const char* p, bool* value, bool* valid) {
    const auto b = static_cast<unsigned char>(*p);
    *valid = b == 0 || b == 0x80 || b == 0x81;
    if (b == 0 || !*valid)
        return false;
    *value = b == 0x81;
    return true;
}

int AlphaLength(const char* p, int size) {
    const void* nul = std::memchr(p, 0, static_cast<size_t>(size));
    return nul ? static_cast<int>(static_cast<const char*>(nul) - p) : size;
}

} // namespace paradox

namespace {

// A view of the file with little-endian reads, each checked against the file's size: a read past
// the end fails with the file named, whatever the header claims.
struct Header {
    const QByteArray& bytes;
    QString shown;
    int U8(int at) const {
        if (at < 0 || at >= bytes.size())
            throw EngineError(
                QStringLiteral("%1: ファイルが途中で切れています（%2 バイト目を読めま"
                               "せん。ファイルは %3 バイトです）")
                    .arg(shown, QString::number(at + 1), QString::number(bytes.size())));
        return static_cast<unsigned char>(bytes.at(at));
    }
    int U16(int at) const { return U8(at) | (U8(at + 1) << 8); }
    quint32 U32(int at) const {
        return static_cast<quint32>(U16(at)) | (static_cast<quint32>(U16(at + 2)) << 16);
    }
};

// Where the field list is kept; the version byte says which, and a file whose bytes only make
// sense with the other one is read with that one.
struct Layout {
    int descriptors = 0; // offset of the (type, size) pairs
    int nameSlot = 0;    // bytes of the table-name slot
};

// Reads the field list with the layout; false when it does not fit the header.
bool ReadFields(const Header& h, int headerSize, int fieldCount, int recordSize,
                const Layout& layout, std::vector<ParadoxField>* fields) {
    fields->clear();
    const int afterDescriptors = layout.descriptors + 2 * fieldCount;
    int at = afterDescriptors + 4 + 4 * fieldCount + layout.nameSlot;
    if (at > headerSize)
        return false;
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        ParadoxField f;
        f.type = h.U8(layout.descriptors + 2 * i);
        f.size = h.U8(layout.descriptors + 2 * i + 1);
        f.offset = offset;
        if (f.type == 0 || f.size == 0)
            return false;
        offset += f.size;
        fields->push_back(f);
    }
    if (offset != recordSize)
        return false;
    for (ParadoxField& f : *fields) {
        const int start = at;
        while (at < headerSize && h.bytes.at(at) != 0)
            ++at;
        if (at >= headerSize || at == start)
            return false;
        for (int k = start; k < at; ++k)
            if (h.U8(k) < 0x20)
                return false;
        const std::optional<QString> name = Cp932Decode(h.bytes.constData() + start, at - start);
        f.name = name ? *name : QString::fromLatin1(h.bytes.constData() + start, at - start);
        ++at;
    }
    return true;
}

// The size of a field of a type whose values have one size; 0 for the others.
int FixedSize(int type) {
    switch (type) {
    case paradox::Date:
    case paradox::Long:
    case paradox::Time:
    case paradox::AutoInc:
        return 4;
    case paradox::Short:
        return 2;
    case paradox::Currency:
    case paradox::Number:
    case paradox::Timestamp:
        return 8;
    case paradox::Logical:
        return 1;
    default:
        return 0;
    }
}

} // namespace

ParadoxTable ParadoxTable::Read(const QString& path) {
    QFile file(path);
    const auto unreadable = [&] {
        return EngineError(QStringLiteral("%1: 読み込めません（%2）")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw unreadable();
    return FromBytes(bytes, path);
}

ParadoxTable ParadoxTable::FromBytes(const QByteArray& bytes, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const auto fail = [&](const QString& what) -> void {
        throw EngineError(QStringLiteral("%1: %2").arg(shown, what));
    };
    const qint64 length = bytes.size();
    if (length >= 16 && bytes.startsWith(QByteArray("SQLite format 3\0", 16)))
        fail(QStringLiteral("このプログラムのテーブルです（Paradox 形式ではありません）"));
    if (length < 0x58)
        fail(QStringLiteral("Paradox のテーブルではないか、途中で切れています（%1 バイト）")
                 .arg(length));
    const Header h{bytes, shown};

    ParadoxTable t;
    t.path_ = path;
    t.recordSize_ = h.U16(0x00);
    const int headerSize = h.U16(0x02);
    const int fileType = h.U8(0x04);
    const int blockKb = h.U8(0x05);
    const quint32 recordCount = h.U32(0x06);
    const int fileBlocks = h.U16(0x0A);
    const int firstBlock = h.U16(0x0E);
    const int fieldCount = h.U16(0x21);
    t.version_ = h.U8(0x39);

    if (fileType != 0 && fileType != 2)
        fail(QStringLiteral("Paradox のテーブルではありません（ファイルの種類 %1）").arg(fileType));
    if (t.version_ < 0x03 || t.version_ > 0x0C)
        fail(QStringLiteral("Paradox のテーブルではないか、対応していない版です（版 0x%1）")
                 .arg(t.version_, 2, 16, QLatin1Char('0')));
    if (blockKb != 1 && blockKb != 2 && blockKb != 3 && blockKb != 4 && blockKb != 8 &&
        blockKb != 16 && blockKb != 32)
        fail(QStringLiteral("ヘッダーが壊れています（ブロックの大きさ %1 KB）").arg(blockKb));
    t.blockSize_ = blockKb * 1024;
    if (headerSize < 0x58 || headerSize > length)
        fail(QStringLiteral("ファイルが途中で切れているか、ヘッダーが壊れています"
                            "（ヘッダー %1 バイト、ファイル %2 バイト）")
                 .arg(headerSize)
                 .arg(length));
    if (fieldCount <= 0 || t.recordSize_ <= 0 || t.recordSize_ + 6 > t.blockSize_)
        fail(QStringLiteral("ヘッダーが壊れています（フィールド数 %1、レコード長 %2）")
                 .arg(fieldCount)
                 .arg(t.recordSize_));

    const bool newLayout = t.version_ >= 0x04;
    const Layout preferred{newLayout ? 0x78 : 0x58, t.version_ >= 0x0C ? 261 : 79};
    const Layout candidates[] = {
        preferred,
        {preferred.descriptors, preferred.nameSlot == 261 ? 79 : 261},
        {preferred.descriptors == 0x78 ? 0x58 : 0x78, preferred.nameSlot},
        {preferred.descriptors == 0x78 ? 0x58 : 0x78, preferred.nameSlot == 261 ? 79 : 261}};
    const Layout* layout = nullptr;
    for (const Layout& c : candidates)
        if (ReadFields(h, headerSize, fieldCount, t.recordSize_, c, &t.fields_)) {
            layout = &c;
            break;
        }
    // An encrypted table: a non-zero key at 0x25 (version 3) or at 0x5C (version 4 on).
    const bool extended = layout ? layout->descriptors == 0x78 : newLayout;
    if (extended ? h.U32(0x5C) != 0 : h.U32(0x25) != 0)
        fail(QStringLiteral("暗号化（パスワード保護）されたテーブルは読み込めません"));
    if (!layout)
        fail(QStringLiteral("ヘッダーが壊れています（フィールドの定義がレコード長 %1 "
                            "バイトと合わないか、フィールド名が読めません）")
                 .arg(t.recordSize_));
    if (extended)
        t.codePage_ = h.U16(0x6A);
    for (const ParadoxField& f : t.fields_) {
        const int size = FixedSize(f.type);
        if (size != 0 && size != f.size)
            fail(QStringLiteral("ヘッダーが壊れています（%1 型のフィールド %2 の大きさが %3 バイト"
                                "です）")
                     .arg(paradox::TypeName(f.type), f.name, QString::number(f.size)));
    }

    const qint64 needed = headerSize + static_cast<qint64>(fileBlocks) * t.blockSize_;
    if (needed > length)
        fail(QStringLiteral("ファイルが途中で切れています（%1 ブロックで %2 バイトのはずが %3 "
                            "バイトです）")
                 .arg(fileBlocks)
                 .arg(needed)
                 .arg(length));
    if (recordCount > static_cast<quint64>(length) / static_cast<quint64>(t.recordSize_))
        fail(
            QStringLiteral("ヘッダーが壊れています（レコード数 %1 がファイルの大きさに合いません）")
                .arg(recordCount));

    t.records_.reserve(static_cast<qsizetype>(recordCount) * t.recordSize_);
    // Blocks the file holds (at least the header's count, as checked above).
    const int blocksInFile = static_cast<int>(
        qMin<qint64>((length - headerSize) / t.blockSize_, std::numeric_limits<int>::max() - 1));
    std::vector<bool> visited(static_cast<size_t>(blocksInFile) + 1, false);
    // An empty table may have no data block at all, whatever its first-block entry says.
    int block = recordCount == 0 && fileBlocks == 0 ? 0 : firstBlock;
    qint64 found = 0;
    while (block != 0) {
        if (block > blocksInFile)
            fail(QStringLiteral("ブロックのつながりが壊れています（ブロック %1 はファイルの %2 "
                                "ブロックの外です）")
                     .arg(block)
                     .arg(blocksInFile));
        if (visited[static_cast<size_t>(block)])
            fail(QStringLiteral("ブロックのつながりが壊れています（ブロック %1 に戻るループ）")
                     .arg(block));
        visited[static_cast<size_t>(block)] = true;
        const qint64 start = headerSize + static_cast<qint64>(block - 1) * t.blockSize_;
        const int next = h.U16(static_cast<int>(start));
        const auto added = static_cast<qint16>(h.U16(static_cast<int>(start) + 4));
        if (added >= 0) {
            if (added % t.recordSize_ != 0)
                fail(QStringLiteral("ブロック %1 が壊れています（データの大きさ %2 がレコード長 "
                                    "%3 で割り切れません）")
                         .arg(block)
                         .arg(added)
                         .arg(t.recordSize_));
            const int inBlock = added / t.recordSize_ + 1;
            if (6 + static_cast<qint64>(inBlock) * t.recordSize_ > t.blockSize_)
                fail(QStringLiteral("ブロック %1 が壊れています（%2 件のレコードが入りません）")
                         .arg(block)
                         .arg(inBlock));
            found += inBlock;
            if (found > static_cast<qint64>(recordCount))
                fail(QStringLiteral("レコード数が合いません（ヘッダーは %1 件、ブロックには %1 "
                                    "件より多くあります）")
                         .arg(recordCount));
            t.records_.append(bytes.constData() + start + 6,
                              static_cast<qsizetype>(inBlock) * t.recordSize_);
        }
        block = next;
    }
    if (found != static_cast<qint64>(recordCount))
        fail(QStringLiteral("レコード数が合いません（ヘッダーは %1 件、ブロックには %2 件）")
                 .arg(recordCount)
                 .arg(found));
    t.recordCount_ = static_cast<int>(recordCount);
    return t;
}

} // namespace tv
