#include "platform/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace tv {

namespace {

// The common short case of [-]digits[.digits] without a conversion library: up to 15 digits make
// an integer below 2^53 and at most 22 decimals a power of ten that doubles hold exactly, so one
// correctly rounded division gives the correctly rounded value. False when the text is not of
// that kind (the caller then converts it in full).
bool ShortDecimal(const char* first, const char* last, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative)
        ++p;
    uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; p != last; ++p) {
        if (*p >= '0' && *p <= '9') {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
            ++digits;
            if (point)
                ++decimals;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15)
        return false;
    const double magnitude = static_cast<double>(mantissa) / kPowers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

// Converts a whole text of the form [-]digits[.digits] (at least one digit); nothing otherwise.
std::optional<double> ConvertPlain(const char* first, const char* last) {
    if (first == last)
        return std::nullopt;
    double value = 0;
    if (ShortDecimal(first, last, value))
        return value;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

QString FixedFromDigits(bool negative, uint64_t scaled, int decimals) {
    // scaled is the magnitude times 10^decimals, already rounded.
    char buf[48];
    char* end = buf + sizeof buf;
    char* p = end;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + scaled % 10);
        scaled /= 10;
    }
    if (decimals > 0)
        *--p = '.';
    do {
        *--p = static_cast<char>('0' + scaled % 10);
        scaled /= 10;
    } while (scaled != 0);
    if (negative)
        *--p = '-';
    return QString::fromLatin1(p, static_cast<int>(end - p));
}

// Rounds the digit string of an exact "%.Nf" expansion to `decimals` places, half away from zero.
QString RoundExpansion(const std::string& exact, int decimals) {
    bool negative = !exact.empty() && exact[0] == '-';
    std::string digits = exact.substr(negative ? 1 : 0);
    const size_t point = digits.find('.');
    std::string intPart = point == std::string::npos ? digits : digits.substr(0, point);
    std::string frac = point == std::string::npos ? std::string() : digits.substr(point + 1);
    const bool roundUp =
        frac.size() > static_cast<size_t>(decimals) && frac[static_cast<size_t>(decimals)] >= '5';
    frac.resize(static_cast<size_t>(decimals), '0');
    std::string all = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<size_t>(i)] == '9')
            all[static_cast<size_t>(i--)] = '0';
        if (i < 0)
            all.insert(all.begin(), '1');
        else
            ++all[static_cast<size_t>(i)];
    }
    if (all.find_first_not_of('0') == std::string::npos)
        negative = false;
    std::string result = negative ? "-" : "";
    result += all.substr(0, all.size() - static_cast<size_t>(decimals));
    if (decimals > 0)
        result += '.' + all.substr(all.size() - static_cast<size_t>(decimals));
    return QString::fromLatin1(result.data(), static_cast<int>(result.size()));
}

QString SlowFixed(double value, int decimals) {
    // glibc prints the exact binary value for any precision; 1100 places cover every double.
    const int size = std::snprintf(nullptr, 0, "%.1100f", value);
    std::string exact(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(exact.data(), exact.size(), "%.1100f", value);
    exact.resize(static_cast<size_t>(size));
    return RoundExpansion(exact, decimals);
}

// Products of a decimal mantissa and a power of ten or five exceed 64 bits; the compiler's
// 128-bit integer holds them (__extension__: it is not standard C++).
__extension__ typedef unsigned __int128 Wide;

// True when value (> 0) equals digits * 10^exp10 exactly; digits is odd (it ends in 5).
bool EqualsDecimal(double value, uint64_t digits, int exp10) {
    if (exp10 >= 0) {
        // An odd digits * 10^e holds e factors of two; a double above 2^63 holds at least 11 and
        // then 5^e * digits would exceed its 53-bit significand.
        if (value >= 9.2e18 || value != std::floor(value))
            return false;
        Wide scaled = digits;
        for (int i = 0; i < exp10; ++i)
            scaled *= 10;
        return scaled == static_cast<Wide>(static_cast<uint64_t>(value));
    }
    // value = m * 2^k with m odd; digits / 10^f equals it only when k = -f and m * 5^f = digits.
    int exp2 = 0;
    const double mant = std::frexp(value, &exp2);
    auto m = static_cast<uint64_t>(std::ldexp(mant, 53));
    int k = exp2 - 53;
    while ((m & 1) == 0) {
        m >>= 1;
        ++k;
    }
    const int f = -exp10;
    if (k != -f)
        return false;
    Wide scaled = m;
    for (int i = 0; i < f; ++i) {
        scaled *= 5;
        if (scaled > digits)
            return false;
    }
    return scaled == digits;
}

// Splits a to_chars scientific text "d.ddde+XX" into its digits and decimal exponent.
int SplitScientific(const char* first, const char* last, char* digits, int& exp10) {
    int count = 0;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p)
        if (*p != '.')
            digits[count++] = *p;
    int sign = 1;
    exp10 = 0;
    if (p != last)
        ++p; // 'e'
    if (p != last && (*p == '+' || *p == '-'))
        sign = *p++ == '-' ? -1 : 1;
    for (; p != last; ++p)
        exp10 = exp10 * 10 + (*p - '0');
    exp10 *= sign;
    return count;
}

// Adds one unit in the 15th digit, carrying into a new leading digit.
void RoundUp(char* digits, int& exp10) {
    int i = 14;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i < 0) {
        digits[0] = '1';
        ++exp10;
    } else {
        ++digits[i];
    }
}

// The significant digits (no trailing zeros, at most 15) and the decimal exponent of the first
// digit of magnitude (> 0), rounded to 15 significant digits half away from zero. Returns the
// number of digits.
int Significant15(double magnitude, char* digits, int& exp10) {
    char buf[64];
    // 16 significant digits, correctly rounded: the 16th tells whether a tie at 15 is possible.
    const auto r16 =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 15);
    char d16[24];
    int x16 = 0;
    SplitScientific(buf, r16.ptr, d16, x16);
    int count = 15;
    if (d16[15] != '5') {
        // The 16th digit decides alone: below 5 the exact tail is under a half, above it over.
        std::memcpy(digits, d16, 15);
        exp10 = x16;
        if (d16[15] > '5')
            RoundUp(digits, exp10);
    } else {
        uint64_t digits16 = 0;
        for (int i = 0; i < 16; ++i)
            digits16 = digits16 * 10 + static_cast<uint64_t>(d16[i] - '0');
        if (EqualsDecimal(magnitude, digits16, x16 - 15)) {
            // Exactly half way: away from zero.
            std::memcpy(digits, d16, 15);
            exp10 = x16;
            RoundUp(digits, exp10);
        } else {
            const auto r15 =
                std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
            count = SplitScientific(buf, r15.ptr, digits, exp10);
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;
    return count;
}

} // namespace

static QString FormatGeneralUncached(double value);

QString FormatFixed(double value, int decimals) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (decimals < 0)
        decimals = 0;
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    constexpr double kIntegral = 9007199254740992.0; // 2^53: from here on every double is whole
    if (magnitude >= kIntegral) {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.0f", value);
        QString text = QString::fromLatin1(buf);
        if (decimals > 0)
            text += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
        return text;
    }
    if (decimals <= 2) {
        // Exactly, in integers: magnitude = m * 2^k with m below 2^53, so m * 10^decimals fits in
        // 60 bits and the bits shifted out are the exact fraction, compared with one half.
        uint64_t bits = 0;
        std::memcpy(&bits, &magnitude, sizeof bits);
        const auto biased = static_cast<int>(bits >> 52);
        uint64_t m = bits & ((uint64_t{1} << 52) - 1);
        int k = -1074;
        if (biased != 0) {
            m |= uint64_t{1} << 52;
            k = biased - 1075;
        }
        const uint64_t product = m * (decimals == 0 ? 1 : decimals == 1 ? 10 : 100);
        uint64_t scaled = 0;
        if (k >= 0) {
            scaled = product << k; // whole numbers below 2^53: at most 2^60
        } else if (k > -64) {
            const int shift = -k;
            scaled = product >> shift;
            const uint64_t rest = product & ((uint64_t{1} << shift) - 1);
            if (rest >= (uint64_t{1} << (shift - 1)))
                ++scaled;
        }
        return FixedFromDigits(negative && scaled != 0, scaled, decimals);
    }
    return SlowFixed(value, decimals);
}

QString FormatGeneral(double value) {
    // Recalculations format the same sums again and again: remember recent results.
    struct Memo {
        uint64_t bits = 0;
        bool used = false;
        QString text;
    };
    thread_local std::array<Memo, 2048> memo;
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Memo& slot = memo[static_cast<size_t>((bits * 0x9E3779B97F4A7C15ull) >> 53)];
    if (slot.used && slot.bits == bits)
        return slot.text;
    slot.text = FormatGeneralUncached(value);
    slot.bits = bits;
    slot.used = true;
    return slot.text;
}

static QString FormatGeneralUncached(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    char digits[24];
    int exp10 = 0;
    const int count = Significant15(magnitude, digits, exp10);
    char out[48];
    int n = 0;
    if (value < 0)
        out[n++] = '-';
    if (magnitude >= 0.00001 && exp10 < 15) {
        if (exp10 >= 0) {
            const int intDigits = exp10 + 1;
            for (int i = 0; i < intDigits; ++i)
                out[n++] = i < count ? digits[i] : '0';
            if (count > intDigits) {
                out[n++] = '.';
                for (int i = intDigits; i < count; ++i)
                    out[n++] = digits[i];
            }
        } else {
            out[n++] = '0';
            out[n++] = '.';
            for (int i = 0; i < -exp10 - 1; ++i)
                out[n++] = '0';
            for (int i = 0; i < count; ++i)
                out[n++] = digits[i];
        }
    } else {
        out[n++] = digits[0];
        if (count > 1) {
            out[n++] = '.';
            for (int i = 1; i < count; ++i)
                out[n++] = digits[i];
        }
        out[n++] = 'E';
        const auto r = std::to_chars(out + n, out + sizeof out, exp10);
        n = static_cast<int>(r.ptr - out);
    }
    return QString::fromLatin1(out, n);
}

double TextToFloat(const QString& text) {
    // The kept characters; a text of more than 64 of them is no number a user typed, but is
    // still read in full.
    char small[64] = {};
    std::string large;
    char* kept = small;
    if (text.size() > static_cast<qsizetype>(sizeof small)) {
        large.resize(static_cast<size_t>(text.size()));
        kept = large.data();
    }
    size_t n = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if ((u >= '0' && u <= '9') || u == '-' || u == '.')
            kept[n++] = static_cast<char>(u);
    }
    return ConvertPlain(kept, kept + n).value_or(0.0);
}

std::optional<double> ParseNumber(const QString& text) {
    // Surrounding blanks are skipped; everything between must be ASCII.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    const qsizetype length = end - begin;
    if (length == 0)
        return std::nullopt;
    char small[64] = {};
    std::string large;
    char* s = small;
    if (length > static_cast<qsizetype>(sizeof small)) {
        large.resize(static_cast<size_t>(length));
        s = large.data();
    }
    for (qsizetype j = 0; j < length; ++j) {
        const char16_t u = text[begin + j].unicode();
        if (u >= 0x80)
            return std::nullopt;
        s[j] = static_cast<char>(u);
    }
    const auto size = static_cast<size_t>(length);
    size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    const size_t start = i;
    size_t digitCount = 0;
    while (i < size && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digitCount;
    }
    if (i < size && s[i] == '.') {
        ++i;
        while (i < size && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digitCount;
        }
    }
    if (digitCount == 0)
        return std::nullopt;
    if (i < size && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < size && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < size && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != size)
        return std::nullopt;
    double value = 0;
    const char* first = s + start;
    const char* last = s + size;
    if (ShortDecimal(first, last, value))
        return negative ? -value : value;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

QString RoundNumberText(const QString& text, int decimals) {
    if (decimals < 0)
        decimals = 0;
    const QString trimmed = text.trimmed();
    std::string s;
    s.reserve(static_cast<size_t>(trimmed.size()));
    for (const QChar ch : trimmed) {
        if (ch.unicode() >= 0x80)
            return QString();
        s += static_cast<char>(ch.unicode());
    }
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    // All digits of the mantissa, and how many of them stand before the decimal point.
    std::string digits;
    long intDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        digits += s[i++];
        ++intDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            digits += s[i++];
    }
    if (digits.empty())
        return QString();
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negativeExponent = s[i++] == '-';
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 100000)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return QString();
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != s.size())
        return QString();
    // Leading zeros carry nothing; a number of no more digits than a double has is expanded in
    // full, anything larger is left to the binary formatting.
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return FixedFromDigits(false, 0, decimals);
    intDigits -= static_cast<long>(first);
    digits.erase(0, first);
    const long point = intDigits + exponent; // digits before the decimal point
    if (point > 400)
        return FormatFixed(ParseNumber(trimmed).value_or(0.0), decimals);
    std::string exact = negative ? "-" : "";
    if (point <= 0) {
        // Far below the last kept decimal: only whether it reaches half a unit matters, and a
        // value below 10^-(decimals+1) never does.
        if (-point > decimals + 1)
            return FixedFromDigits(false, 0, decimals);
        exact += "0.";
        exact.append(static_cast<size_t>(-point), '0');
        exact += digits;
    } else if (static_cast<size_t>(point) >= digits.size()) {
        exact += digits;
        exact.append(static_cast<size_t>(point) - digits.size(), '0');
    } else {
        exact += digits.substr(0, static_cast<size_t>(point));
        exact += '.';
        exact += digits.substr(static_cast<size_t>(point));
    }
    return RoundExpansion(exact, decimals);
}

QString NarrowNumberText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(char16_t(u'0' + (u - 0xFF10)));
        else if (u == 0xFF0E)
            c = QLatin1Char('.');
        else if (u == 0xFF0C)
            c = QLatin1Char(',');
        else if (u == 0xFF0B)
            c = QLatin1Char('+');
        else if (u == 0xFF0D || u == 0x2212 || u == 0x30FC)
            c = QLatin1Char('-');
        else if (u == 0xFF0A)
            c = QLatin1Char('*');
    }
    return out;
}

} // namespace tv
