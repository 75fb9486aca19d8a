// Feeds arbitrary text to the numeric test and the conversions, and checks
// that they agree with each other: a text is numeric exactly when it has a
// value, an integer conversion is the rounded value or an Overflow, and
// integers written as text come back unchanged.
#include <QLocale>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "FuzzSupport.h"
#include "common/Conversions.h"
#include "common/RuntimeError.h"

using namespace quindorel;
using quindorel::fuzz::expect;

namespace {

// Runs a conversion; an empty result stands for the RuntimeError `expected`.
template <typename Convert>
auto attempt(Convert convert, RuntimeError::Code expected) -> std::optional<decltype(convert())> {
    try {
        return convert();
    } catch (const RuntimeError& error) {
        expect(error.code() == expected, "conversion failed with an unexpected code");
        return std::nullopt;
    }
}

void checkRounding(double value) {
    const double rounded = convert::roundHalfEven(value);
    if (!std::isfinite(value)) {
        return;
    }
    expect(rounded == std::floor(rounded), "rounding gave a fraction");
    const double distance = std::fabs(rounded - value);
    expect(distance <= 0.5, "rounding moved more than a half");
    if (distance == 0.5) {
        expect(std::fmod(rounded, 2.0) == 0, "a half did not round to even");
    }
}

template <typename Int>
void checkIntegerConversion(const QString& text, std::optional<double> number,
                            Int (*fromText)(const QString&)) {
    const auto result =
        attempt([&] { return fromText(text); },
                number ? RuntimeError::Code::Overflow : RuntimeError::Code::TypeMismatch);
    if (!number) {
        expect(!result, "a text that is no number converted to an integer", text);
        return;
    }
    const double rounded = convert::roundHalfEven(*number);
    const bool fits =
        rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max();
    expect(result.has_value() == fits, "integer range check disagrees with the value", text);
    if (result) {
        expect(static_cast<double>(*result) == rounded, "integer is not the rounded value", text);
    }
}

void checkIntegerRoundTrip(std::int32_t value) {
    for (const QString& text : {QString::number(value), QLocale::system().toString(value),
                                QLocale::c().toString(value)}) {
        expect(convert::toInteger32(text) == value, "integer did not survive its text", text);
        expect(convert::toBoolean(text) == (value != 0), "number read as the wrong truth", text);
        const auto small =
            attempt([&] { return convert::toInteger16(text); }, RuntimeError::Code::Overflow);
        expect(small.has_value() == (value >= -32768 && value <= 32767),
               "16-bit range check is wrong", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const bool numeric = convert::isNumeric(text);
    const auto number =
        attempt([&] { return convert::toNumber(text); }, RuntimeError::Code::TypeMismatch);
    expect(numeric == number.has_value(), "isNumeric disagrees with toNumber", text);
    if (number) {
        expect(std::isfinite(*number), "a numeric text has no finite value", text);
        checkRounding(*number);
    }
    checkIntegerConversion<std::int16_t>(text, number, convert::toInteger16);
    checkIntegerConversion<std::int32_t>(text, number, convert::toInteger32);

    const QString word = text.trimmed();
    const bool isTrue = word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    const bool isFalse = word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
    const auto truth =
        attempt([&] { return convert::toBoolean(text); }, RuntimeError::Code::TypeMismatch);
    if (isTrue || isFalse) {
        expect(truth == isTrue, "True/False read wrongly", text);
    } else if (number) {
        expect(truth == (*number != 0), "number read as the wrong truth", text);
    } else {
        expect(!truth, "a text that is neither a truth nor a number converted", text);
    }

    // The raw bytes as numbers too: any double for the rounding, any integer for the round trip.
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkRounding(raw);
    }
    if (size >= sizeof(std::int32_t)) {
        std::int32_t raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkIntegerRoundTrip(raw);
    }
    return 0;
}
