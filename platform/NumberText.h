#pragma once
// Number texts as the system writes and reads them, always with '.' as decimal point.
#include <QString>
#include <optional>

namespace tv {

// Fixed format with the given decimals ("%1.1f", "%1.2f"), rounded half away from zero on the
// exact binary value (0.125 -> "0.13", 0.25 -> "0.3"); a result of zero has no minus sign.
QString FormatFixed(double value, int decimals);

// A number text rounded to the given decimals on its own decimal digits, half away from zero (as
// people round: "1.45" -> "1.5", "-0.15" -> "-0.2", "2.675" -> "2.7"), not on the binary value the
// text converts to. Takes what ParseNumber takes (an exponent included, "1.9E-6" -> "0.0"); a
// result of zero has no minus sign. Empty when the text is no number.
QString RoundNumberText(const QString& text, int decimals);

// General format of up to 15 significant digits ("6.5", "0.800000011920929").
QString FormatGeneral(double value);

// The lenient reading of every number typed by the user: keeps the ASCII digits, '-' and '.' of
// the text in order and converts them; 0 when that is no number. Never raises.
double TextToFloat(const QString& text);

// Strict reading of a number text (surrounding blanks allowed): nothing when the text is not a
// number.
std::optional<double> ParseNumber(const QString& text);

// The text with the full-width characters a Japanese keyboard produces for numbers turned into
// ASCII: digits ０-９, '．', '，', '＋', and '－', '−' (U+2212) and 'ー' as minus; a full-width
// '＊' (the exclusion mark) becomes '*'. Every other character is left as it is, so a caller can
// still refuse it.
QString NarrowNumberText(const QString& text);

} // namespace tv
