#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace tv {

namespace {

// The ASCII bytes of a text when it has nothing but ASCII; false otherwise.
bool ToAscii(const QString& text, std::string& out) {
    out.clear();
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= 0x80)
            return false;
        out.push_back(static_cast<char>(u));
    }
    return true;
}

// Converts a whole text of the form [-]digits[.digits] (at least one digit); nothing otherwise.
std::optional<double> ConvertPlain(const char* first, const char* last) {
    if (first == last)
        return std::nullopt;
    double value = 0;
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

// True when value (> 0) equals digits * 10^exp10 exactly; digits is odd (it ends in 5).
bool EqualsDecimal(double value, uint64_t digits, int exp10) {
    if (exp10 >= 0) {
        // An odd digits * 10^e holds e factors of two; a double above 2^63 holds at least 11 and
        // then 5^e * digits would exceed its 53-bit significand.
        if (value >= 9.2e18 || value != std::floor(value))
            return false;
        unsigned __int128 scaled = digits;
        for (int i = 0; i < exp10; ++i)
            scaled *= 10;
        return scaled == static_cast<unsigned __int128>(static_cast<uint64_t>(value));
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
    unsigned __int128 scaled = m;
    for (int i = 0; i < f; ++i) {
        scaled *= 5;
        if (scaled > digits)
            return false;
    }
    return scaled == digits;
}

// Significant digits (no trailing zeros) and decimal exponent of the first digit, rounded to 15
// significant digits half away from zero.
void Significant15(double magnitude, std::string& digits, int& exp10) {
    char buf[64];
    // 16 significant digits, correctly rounded: the 16th tells whether a tie at 15 is possible.
    auto r16 = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 15);
    std::string s16(buf, r16.ptr);
    const size_t e16 = s16.find('e');
    std::string d16 = s16.substr(0, 1) + s16.substr(2, e16 - 2);
    const int x16 = std::stoi(s16.substr(e16 + 1));
    bool tie = false;
    if (d16[15] == '5') {
        const uint64_t digits16 = std::stoull(d16);
        tie = EqualsDecimal(magnitude, digits16, x16 - 15);
    }
    if (tie) {
        // Exactly half way: round the first 15 digits up.
        std::string d = d16.substr(0, 15);
        int i = 14;
        while (i >= 0 && d[static_cast<size_t>(i)] == '9')
            d[static_cast<size_t>(i--)] = '0';
        exp10 = x16;
        if (i < 0) {
            d.insert(d.begin(), '1');
            d.pop_back();
            ++exp10;
        } else {
            ++d[static_cast<size_t>(i)];
        }
        digits = d;
    } else {
        auto r15 =
            std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        std::string s15(buf, r15.ptr);
        const size_t e15 = s15.find('e');
        digits = s15.substr(0, 1) + s15.substr(2, e15 - 2);
        exp10 = std::stoi(s15.substr(e15 + 1));
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

} // namespace

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
    if (std::numeric_limits<long double>::digits >= 64 && decimals <= 2) {
        // A double (53 bits) times 10 or 100 (at most 5 significant bits) fits exactly into the
        // 64-bit significand, so the fraction compared with one half is the exact one.
        const long double scale = decimals == 0 ? 1.0L : decimals == 1 ? 10.0L : 100.0L;
        const long double product = static_cast<long double>(magnitude) * scale;
        const long double whole = std::floor(product);
        auto scaled = static_cast<uint64_t>(whole);
        if (product - whole >= 0.5L)
            ++scaled;
        return FixedFromDigits(negative && scaled != 0, scaled, decimals);
    }
    return SlowFixed(value, decimals);
}

QString FormatGeneral(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    std::string digits;
    int exp10 = 0;
    Significant15(magnitude, digits, exp10);
    std::string out = value < 0 ? "-" : "";
    if (magnitude >= 0.00001 && exp10 < 15) {
        if (exp10 >= 0) {
            const auto intDigits = static_cast<size_t>(exp10) + 1;
            if (digits.size() <= intDigits) {
                out += digits + std::string(intDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, intDigits) + '.' + digits.substr(intDigits);
            }
        } else {
            out += "0." + std::string(static_cast<size_t>(-exp10 - 1), '0') + digits;
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += '.' + digits.substr(1);
        out += 'E' + std::to_string(exp10);
    }
    return QString::fromLatin1(out.data(), static_cast<int>(out.size()));
}

double TextToFloat(const QString& text) {
    std::string kept;
    kept.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if ((u >= '0' && u <= '9') || u == '-' || u == '.')
            kept.push_back(static_cast<char>(u));
    }
    return ConvertPlain(kept.data(), kept.data() + kept.size()).value_or(0.0);
}

std::optional<double> ParseNumber(const QString& text) {
    std::string s;
    if (!ToAscii(text.trimmed(), s) || s.empty())
        return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    const size_t start = i;
    size_t digitCount = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digitCount;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digitCount;
        }
    }
    if (digitCount == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const char* first = s.data() + start;
    const char* last = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace tv
