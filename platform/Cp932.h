#pragma once
// Code page 932 (Shift-JIS as Windows writes it), in one place: byte counting (column sizes of
// the tables and the input limits of text boxes count these bytes), encoding and decoding.
#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {

// The number of code-page-932 bytes of the text; empty when a character cannot be encoded.
// Characters that Japanese input methods on this system produce for the code page's own symbols
// (the wave dash U+301C for 0x8160, the minus sign U+2212 for 0x817C, ...) count as those symbols.
std::optional<int> Cp932Length(const QString& text);

// The first character of the text that code page 932 cannot encode; empty when there is none.
QString Cp932FirstUnencodable(const QString& text);

// Raises EngineError when the text does not fit `bytes` code-page-932 bytes (or cannot be
// encoded); `what` names the box as the user knows it ("「工事名」", "3 行目の「測定位置」").
void CheckFitsBytes(const QString& what, const QString& text, int bytes);

// A limit of code-page-932 bytes in the words a user reads: "全角5文字（半角10文字）まで".
QString Cp932LimitText(int bytes);

// The text's code-page-932 bytes, characters mapped as Cp932Length counts them; empty when a
// character cannot be encoded.
std::optional<QByteArray> Cp932Encode(const QString& text);

// The text of code-page-932 bytes; empty when they are not valid code page 932 (as below).
std::optional<QString> Cp932Decode(const QByteArray& bytes);

// The text of code-page-932 bytes by Microsoft's table (0x8160 is U+FF5E, the NEC and IBM
// extensions such as ① and 髙 decode). Empty when the bytes are not valid code page 932: a lead
// byte without its trail byte, an unassigned code, a byte that is no character (0x80, 0xA0,
// 0xFD to 0xFF). *badOffset then receives the offset of the first byte that could not be read.
std::optional<QString> Cp932Decode(const char* bytes, int size, int* badOffset = nullptr);

} // namespace tv
