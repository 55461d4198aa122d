#include "params/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "texts/text_ids.h"

namespace zrk::params {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

double radixInteger(const std::string& digits, int radix) {
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        if (d < 0 || d >= radix) break;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFull) return static_cast<double>(value);
    }
    // Like the classic reader: up to 16 bits read as a signed 16-bit value,
    // up to 32 bits as a signed 32-bit value.
    if (value <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(value));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

}  // namespace

double lenientNumber(const std::string& text) {
    std::string s;
    for (char c : text)
        if (!isBlank(c)) s += c;
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return radixInteger(s.substr(2), 16);
        if (kind == 'O') return radixInteger(s.substr(2), 8);
    }
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i]))) {
            number += s[i];
            digits = true;
        } else if (s[i] == '.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0;
    if (i < s.size() && std::strchr("EeDd", s[i]) != nullptr) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const std::size_t start = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) exponent += s[j++];
        if (j > start) number += exponent;
    }
    return std::strtod(number.c_str(), nullptr);
}

Fixed4 strictNumber(const std::string& text, const platform::NumberFormat& format, const texts::TextTable* messages) {
    static const texts::TextTable english(texts::Language::English);
    const texts::TextTable& table = messages != nullptr ? *messages : english;
    // Text ids: "%1" is not a number (%2), and the reasons.
    auto fail = [&](int why) -> ConversionError {
        return ConversionError(texts::fill(table.CargarTexto(texts::id::kNotNumber), {text, table.CargarTexto(why)}));
    };
    const std::string& decimal = format.decimal.empty() ? std::string(".") : format.decimal;
    // A grouping mark that cannot be told apart from the decimal one is not
    // taken at all: reading "10,5" as 105 would change a unit behind the
    // operator's back.
    const std::string& grouping = format.grouping;
    const bool grouped = !grouping.empty() && grouping.compare(0, decimal.size(), decimal) != 0 &&
                         decimal.compare(0, grouping.size(), grouping) != 0;
    auto at = [&](std::size_t i, const std::string& mark) { return text.compare(i, mark.size(), mark) == 0; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    if (begin == end) throw fail(texts::id::kEmpty);
    std::size_t i = begin;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    // Integer part with grouping marks between digits, then decimals.
    std::int64_t integer = 0;
    bool digits = false;
    constexpr std::int64_t kIntegerLimit = std::numeric_limits<std::int64_t>::max() / 10000 / 10;
    while (i < end) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (integer > kIntegerLimit)
                throw ConversionError(texts::fill(table.CargarTexto(texts::id::kTooLarge), {text}));
            integer = integer * 10 + (c - '0');
            digits = true;
            ++i;
        } else if (grouped && digits && at(i, grouping) && i + grouping.size() < end &&
                   std::isdigit(static_cast<unsigned char>(text[i + grouping.size()]))) {
            i += grouping.size();
        } else {
            break;
        }
    }
    std::string decimals;
    if (i < end && at(i, decimal)) {
        for (i += decimal.size(); i < end && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            decimals += text[i];
        digits = digits || !decimals.empty();
    }
    if (!digits) throw fail(texts::id::kNoDigits);
    if (i != end) throw fail(texts::id::kUnexpectedCharacters);
    // Four decimals kept; the fifth and later decide the rounding, halves to even.
    std::int64_t scaled = integer * 10000;
    constexpr std::int64_t kPlace[] = {1000, 100, 10, 1};
    for (std::size_t k = 0; k < 4 && k < decimals.size(); ++k) scaled += (decimals[k] - '0') * kPlace[k];
    if (decimals.size() > 4) {
        const std::string rest = decimals.substr(4);
        const bool overHalf = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        const bool exactlyHalf = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
        if (overHalf || (exactlyHalf && scaled % 2 == 1)) ++scaled;
    }
    return {negative ? -scaled : scaled};
}

bool isNumeric(const std::string& text, const platform::NumberFormat& format) {
    try {
        strictNumber(text, format);
        return true;
    } catch (const ConversionError&) {
        return false;
    }
}

std::int32_t roundToInt32(double value, const std::string& what) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        throw ConversionError(what + ": the value is too large");
    return static_cast<std::int32_t>(rounded);
}

std::int32_t scaleToInt32(Fixed4 value, int factor, const std::string& what) {
    // value.scaled / 10000 * factor, in integers: exact, then halves to even.
    const std::int64_t divisor = 10000 / factor;
    if (value.scaled > std::numeric_limits<std::int64_t>::max() / 2 ||
        value.scaled < std::numeric_limits<std::int64_t>::min() / 2)
        throw ConversionError(what + ": the value is too large");
    std::int64_t quotient = value.scaled / divisor;
    const std::int64_t remainder = value.scaled % divisor;
    const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice > divisor || (twice == divisor && quotient % 2 != 0)) quotient += value.scaled < 0 ? -1 : 1;
    if (quotient < std::numeric_limits<std::int32_t>::min() || quotient > std::numeric_limits<std::int32_t>::max())
        throw ConversionError(what + ": the value is too large");
    return static_cast<std::int32_t>(quotient);
}

std::string formatScaled(std::int64_t value, int decimals, const std::string& decimalSeparator) {
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint64_t power = 1;
    for (int i = 0; i < decimals; ++i) power *= 10;
    std::string text = std::to_string(magnitude / power);
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % power);
        text += decimalSeparator + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return negative ? "-" + text : text;
}

}  // namespace zrk::params
