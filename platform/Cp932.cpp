#include "platform/Cp932.h"

#include "platform/Errors.h"

#include <QSysInfo>
#include <cerrno>
#include <iconv.h>

namespace tv {
namespace {

// False for iconv_open's failure value, (iconv_t)-1.
bool Opened(iconv_t cd) {
    return cd != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr): iconv's API
}

// The characters that input methods produce in place of code page 932's own code points.
char32_t CanonicalCp932(char32_t c) {
    switch (c) {
    case 0x301C:
        return 0xFF5E; // WAVE DASH -> FULLWIDTH TILDE
    case 0x2016:
        return 0x2225; // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x2212:
        return 0xFF0D; // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x00A2:
        return 0xFFE0; // CENT SIGN
    case 0x00A3:
        return 0xFFE1; // POUND SIGN
    case 0x00AC:
        return 0xFFE2; // NOT SIGN
    case 0x2014:
        return 0x2015; // EM DASH -> HORIZONTAL BAR
    default:
        return c;
    }
}

class Converter {
public:
    Converter() : cd_(iconv_open("CP932", "UTF-32LE")) {}
    ~Converter() {
        if (Opened(cd_))
            iconv_close(cd_);
    }
    // Bytes of one character, 0 when it cannot be encoded.
    int Length(char32_t c) {
        char out[8];
        return Encode(c, out);
    }
    // Writes the bytes of one character to out (room for 8); their number, 0 when it cannot be
    // encoded.
    int Encode(char32_t c, char* out) {
        if (c < 0x80) {
            out[0] = static_cast<char>(c);
            return 1;
        }
        if (!Opened(cd_))
            return 0;
        c = CanonicalCp932(c);
        unsigned char in[4] = {static_cast<unsigned char>(c & 0xFF),
                               static_cast<unsigned char>((c >> 8) & 0xFF),
                               static_cast<unsigned char>((c >> 16) & 0xFF),
                               static_cast<unsigned char>((c >> 24) & 0xFF)};
        constexpr size_t kOut = 8;
        char* inPtr = reinterpret_cast<char*>(in);
        size_t inLeft = sizeof in;
        char* outPtr = out;
        size_t outLeft = kOut;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1) || inLeft != 0 || r > 0)
            return 0; // r > 0: replaced by an approximation, which is not the character
        return static_cast<int>(kOut - outLeft);
    }

private:
    iconv_t cd_;
};

Converter& Conv() {
    thread_local Converter converter;
    return converter;
}

// Calls f(character, index of its first UTF-16 unit, units) for each character of the text;
// stops when f returns false.
template <typename F> void ForEachChar(const QString& text, F f) {
    const int n = text.size();
    for (int i = 0; i < n;) {
        const QChar u = text.at(i);
        char32_t c = u.unicode();
        int units = 1;
        if (u.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(u, text.at(i + 1));
            units = 2;
        } else if (u.isSurrogate()) {
            c = 0xFFFFFFFF; // a lone surrogate is no character
        }
        if (!f(c, i, units))
            return;
        i += units;
    }
}

int CharLength(char32_t c) {
    return c == 0xFFFFFFFF ? 0 : Conv().Length(c);
}

// Decoding converter, code page 932 to UTF-16 in the machine's order.
class Decoder {
public:
    Decoder()
        : cd_(iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE",
                         "CP932")) {}
    ~Decoder() {
        if (Opened(cd_))
            iconv_close(cd_);
    }
    std::optional<QString> Decode(const char* bytes, int size, int* badOffset) {
        if (!Opened(cd_)) {
            if (badOffset)
                *badOffset = 0;
            return std::nullopt;
        }
        // At most one UTF-16 unit per byte, and two for a pair of bytes: size units suffice.
        QString out(size, Qt::Uninitialized);
        char* inPtr = const_cast<char*>(bytes);
        size_t inLeft = static_cast<size_t>(size);
        char* outPtr = reinterpret_cast<char*>(out.data());
        size_t outLeft = static_cast<size_t>(size) * 2;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1) || inLeft != 0) {
            if (badOffset)
                *badOffset = static_cast<int>(inPtr - bytes);
            return std::nullopt;
        }
        out.truncate(static_cast<int>((static_cast<size_t>(size) * 2 - outLeft) / 2));
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::optional<QString> Cp932Decode(const char* bytes, int size, int* badOffset) {
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(bytes[i]) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes, size);
    thread_local Decoder decoder;
    return decoder.Decode(bytes, size, badOffset);
}

std::optional<int> Cp932Length(const QString& text) {
    int total = 0;
    bool ok = true;
    ForEachChar(text, [&](char32_t c, int, int) {
        const int len = CharLength(c);
        if (len == 0) {
            ok = false;
            return false;
        }
        total += len;
        return true;
    });
    if (!ok)
        return std::nullopt;
    return total;
}

QString Cp932FirstUnencodable(const QString& text) {
    QString found;
    ForEachChar(text, [&](char32_t c, int index, int units) {
        if (CharLength(c) == 0) {
            found = text.mid(index, units);
            return false;
        }
        return true;
    });
    return found;
}

std::optional<QByteArray> Cp932Encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    bool ok = true;
    ForEachChar(text, [&](char32_t c, int, int) {
        char out[8];
        const int len = c == 0xFFFFFFFF ? 0 : Conv().Encode(c, out);
        if (len == 0) {
            ok = false;
            return false;
        }
        bytes.append(out, len);
        return true;
    });
    if (!ok)
        return std::nullopt;
    return bytes;
}

std::optional<QString> Cp932Decode(const QByteArray& bytes) {
    return Cp932Decode(bytes.constData(), static_cast<int>(bytes.size()));
}

void CheckFitsBytes(const QString& what, const QString& text, int bytes) {
    const std::optional<int> length = Cp932Length(text);
    if (!length)
        throw EngineError(QStringLiteral("%1に使えない文字 '%2' が含まれています: '%3'")
                              .arg(what, Cp932FirstUnencodable(text), text));
    if (*length > bytes)
        throw EngineError(
            QStringLiteral("%1は%2です: '%3'").arg(what, Cp932LimitText(bytes), text));
}

QString Cp932LimitText(int bytes) {
    return QStringLiteral("全角%1文字（半角%2文字）まで").arg(bytes / 2).arg(bytes);
}

} // namespace tv
