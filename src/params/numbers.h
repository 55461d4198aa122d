#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/number_format.h"
#include "texts/texts.h"

namespace zrk::params {

// A field's text that does not convert, or a value too large for its
// target. The message names what failed.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value its cells cannot hold (a byte above 255, a negative count, a
// speed beyond 24 bits): refused rather than cut down to fit.
class RangeError : public ConversionError {
public:
    using ConversionError::ConversionError;
};

// A fixed-point number with four decimal places (value × 10000).
struct Fixed4 {
    std::int64_t scaled = 0;
    bool operator==(const Fixed4&) const = default;
};

// The lenient reading: blanks, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits with at most one '.', an optional
// exponent, up to the first other character. "&H" and "&O" read hexadecimal
// and octal integers. Text without a leading number gives 0. Never fails and
// ignores the regional settings.
double lenientNumber(const std::string& text);

// The strict reading: the whole text (blanks around it aside) is a decimal
// number with the user's decimal and grouping separators. Rounded to four
// decimals, halves to even. Throws ConversionError otherwise, its message
// in the set of `messages` (English without one).
Fixed4 strictNumber(const std::string& text, const platform::NumberFormat& format,
                    const texts::TextTable* messages = nullptr);
// Whether strictNumber would succeed.
bool isNumeric(const std::string& text, const platform::NumberFormat& format);

// Rounds to the nearest integer, halves to the even neighbour; beyond the
// signed 32-bit range is a ConversionError naming `what`.
std::int32_t roundToInt32(double value, const std::string& what);
// The fixed-point value times `factor` (1, 10, 100, 10000), rounded the same way.
std::int32_t scaleToInt32(Fixed4 value, int factor, const std::string& what);

// `value` / 10^decimals with exactly that many decimals and at least one
// digit before the separator, no grouping: 12345, 2 -> "123.45".
std::string formatScaled(std::int64_t value, int decimals, const std::string& decimalSeparator);

}  // namespace zrk::params
