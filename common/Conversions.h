#pragma once

#include <QString>
#include <cstdint>

namespace quindorel {

// The text-to-number rules shared by every input of the program: one numeric
// test, and integer conversions that round halves to even and fail with
// Overflow outside their range, or with TypeMismatch on text that is no number.
namespace convert {

// True when the text reads as a finite number in the user's locale or in the
// C locale: surrounding blanks, a sign, a decimal part, grouping and an
// exponent are accepted; empty and blank text is not a number.
bool isNumeric(const QString& text);

// The value of a numeric text; throws TypeMismatch otherwise.
double toNumber(const QString& text);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

std::int16_t toInteger16(const QString& text);
std::int16_t toInteger16(double value);
std::int32_t toInteger32(const QString& text);
std::int32_t toInteger32(double value);
std::uint8_t toByte(std::int32_t value);

// "True"/"False" in any letter case; a number is false when zero.
bool toBoolean(const QString& text);
QString fromBoolean(bool value);

}  // namespace convert
}  // namespace quindorel
