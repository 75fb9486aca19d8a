#include "common/Conversions.h"

#include <QLocale>
#include <cmath>
#include <limits>

#include "common/RuntimeError.h"

namespace quindorel::convert {

namespace {

bool parse(const QString& text, double* value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    bool ok = false;
    double parsed = QLocale::system().toDouble(trimmed, &ok);
    if (!ok) {
        parsed = QLocale::c().toDouble(trimmed, &ok);
    }
    // QLocale accepts "inf" and "nan"; neither is a number a user typed.
    if (!ok || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

template <typename Int>
Int toIntegerChecked(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        throw RuntimeError(RuntimeError::Code::Overflow);
    }
    return static_cast<Int>(rounded);
}

}  // namespace

bool isNumeric(const QString& text) {
    double ignored = 0;
    return parse(text, &ignored);
}

double toNumber(const QString& text) {
    double value = 0;
    if (!parse(text, &value)) {
        throw RuntimeError(RuntimeError::Code::TypeMismatch);
    }
    return value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) {
        return lower + 1;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int16_t toInteger16(double value) {
    return toIntegerChecked<std::int16_t>(value);
}
std::int16_t toInteger16(const QString& text) {
    return toInteger16(toNumber(text));
}
std::int32_t toInteger32(double value) {
    return toIntegerChecked<std::int32_t>(value);
}
std::int32_t toInteger32(const QString& text) {
    return toInteger32(toNumber(text));
}

std::uint8_t toByte(std::int32_t value) {
    if (value < 0 || value > 255) {
        throw RuntimeError(RuntimeError::Code::Overflow);
    }
    return static_cast<std::uint8_t>(value);
}

bool toBoolean(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return toNumber(trimmed) != 0;
}

QString fromBoolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace quindorel::convert
