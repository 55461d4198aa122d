#include "files/table_file.h"

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "files/user_file.h"
#include "platform/path_text.h"
#include "texts/text_ids.h"

namespace zrk::files {
namespace {

// A parsed JSON value with the place it starts, for messages.
struct Value {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    std::string text;  // a number as written, a string's characters, true/false
    std::vector<Value> items;
    // An object's members: keys and values side by side (a pair holding the
    // still incomplete Value does not build with every compiler).
    std::vector<std::string> memberKeys;
    std::vector<Value> memberValues;
    std::vector<std::pair<int, int>> keyPlaces;  // line, column of each member's key
    int line = 1, column = 1;
};

texts::Phrase at(int line, int column, texts::Phrase what) {
    return texts::Phrase(texts::id::kJsonAt, {std::to_string(line), std::to_string(column), std::move(what)});
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value document() {
        skipSpace();
        if (atEnd()) fail(texts::Phrase(texts::id::kJsonEmpty));
        Value v = value(0);
        skipSpace();
        if (!atEnd()) fail(texts::Phrase(texts::id::kJsonTextAfterEnd));
        return v;
    }

private:
    // Far deeper than the table needs; keeps a hostile file off the stack.
    static constexpr int kMaxDepth = 16;

    [[noreturn]] void fail(texts::Phrase what) const { throw TableFileError(at(line_, column_, std::move(what))); }
    // "expected X", with what stands there instead.
    [[noreturn]] void expected(int what) const {
        if (atEnd()) fail(texts::Phrase(texts::id::kJsonExpectedEnd, {texts::Phrase(what)}));
        const unsigned char ch = static_cast<unsigned char>(peek());
        if (ch < 0x20 || ch >= 0x7F)
            fail(texts::Phrase(texts::id::kJsonExpectedByte, {texts::Phrase(what), std::to_string(ch)}));
        fail(
            texts::Phrase(texts::id::kJsonExpectedFound, {texts::Phrase(what), std::string(1, static_cast<char>(ch))}));
    }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() {
        if (text_[pos_] == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        ++pos_;
    }
    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) advance();
    }
    void expect(char ch, int what) {
        if (peek() != ch) expected(what);
        advance();
    }

    Value value(int depth) {
        if (depth > kMaxDepth) fail(texts::Phrase(texts::id::kJsonTooDeep));
        Value v;
        v.line = line_;
        v.column = column_;
        const char ch = peek();
        if (ch == '{') {
            object(v, depth);
        } else if (ch == '[') {
            array(v, depth);
        } else if (ch == '"') {
            v.kind = Value::Kind::String;
            v.text = string();
        } else if (ch == '-' || (ch >= '0' && ch <= '9')) {
            v.kind = Value::Kind::Number;
            v.text = number();
        } else if (literal("true") || literal("false")) {
            v.kind = Value::Kind::Boolean;
            v.text = ch == 't' ? "true" : "false";
        } else if (literal("null")) {
            v.kind = Value::Kind::Null;
            v.text = "null";
        } else {
            expected(texts::id::kJsonAValue);
        }
        return v;
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        for (std::size_t i = 0; i < word.size(); ++i) advance();
        return true;
    }

    void object(Value& v, int depth) {
        v.kind = Value::Kind::Object;
        advance();
        skipSpace();
        if (peek() == '}') {
            advance();
            return;
        }
        for (;;) {
            skipSpace();
            const std::pair<int, int> keyPlace{line_, column_};
            if (peek() != '"') expected(texts::id::kJsonAKey);
            std::string key = string();
            skipSpace();
            expect(':', texts::id::kJsonColonAfterKey);
            skipSpace();
            v.memberValues.push_back(value(depth + 1));
            v.memberKeys.push_back(std::move(key));
            v.keyPlaces.push_back(keyPlace);
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            expect('}', texts::id::kJsonCommaInObject);
            return;
        }
    }

    void array(Value& v, int depth) {
        v.kind = Value::Kind::Array;
        advance();
        skipSpace();
        if (peek() == ']') {
            advance();
            return;
        }
        for (;;) {
            skipSpace();
            v.items.push_back(value(depth + 1));
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            expect(']', texts::id::kJsonCommaInArray);
            return;
        }
    }

    std::string number() {
        const std::size_t start = pos_;
        if (peek() == '-') advance();
        if (peek() == '0') {
            advance();
        } else if (peek() >= '1' && peek() <= '9') {
            while (peek() >= '0' && peek() <= '9') advance();
        } else {
            expected(texts::id::kJsonADigit);
        }
        if (peek() == '.') {
            advance();
            if (!(peek() >= '0' && peek() <= '9')) expected(texts::id::kJsonDigitAfterPoint);
            while (peek() >= '0' && peek() <= '9') advance();
        }
        if (peek() == 'e' || peek() == 'E') {
            advance();
            if (peek() == '+' || peek() == '-') advance();
            if (!(peek() >= '0' && peek() <= '9')) expected(texts::id::kJsonDigitInExponent);
            while (peek() >= '0' && peek() <= '9') advance();
        }
        if (peek() >= '0' && peek() <= '9') fail(texts::Phrase(texts::id::kJsonLeadingZero));
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string string() {
        advance();  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd()) fail(texts::Phrase(texts::id::kJsonStringNotClosed));
            const unsigned char ch = static_cast<unsigned char>(peek());
            if (ch == '"') {
                advance();
                return out;
            }
            if (ch < 0x20) fail(texts::Phrase(texts::id::kJsonControlCharacter));
            if (ch != '\\') {
                out += static_cast<char>(ch);
                advance();
                continue;
            }
            advance();
            const char escape = peek();
            if (atEnd()) fail(texts::Phrase(texts::id::kJsonStringNotClosed));
            advance();
            switch (escape) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u':
                    appendUtf8(out, hex4());
                    break;
                default:
                    fail(texts::Phrase(texts::id::kJsonUnknownEscape, {std::string(1, escape)}));
            }
        }
    }

    unsigned hex4() {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char ch = peek();
            unsigned digit = 0;
            if (ch >= '0' && ch <= '9')
                digit = static_cast<unsigned>(ch - '0');
            else if (ch >= 'a' && ch <= 'f')
                digit = static_cast<unsigned>(ch - 'a' + 10);
            else if (ch >= 'A' && ch <= 'F')
                digit = static_cast<unsigned>(ch - 'A' + 10);
            else
                expected(texts::id::kJsonFourHexDigits);
            code = code * 16 + digit;
            advance();
        }
        return code;
    }

    // Keys only need comparing; a lone surrogate is kept as its own code.
    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1, column_ = 1;
};

texts::Phrase describe(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Array:
            return texts::Phrase(texts::id::kJsonAnArray);
        case Value::Kind::Object:
            return texts::Phrase(texts::id::kJsonAnObject);
        case Value::Kind::String:
            return texts::Phrase(texts::id::kJsonTheText, {v.text.size() > 20 ? v.text.substr(0, 20) + "..." : v.text});
        default:
            return v.text;
    }
}

[[noreturn]] void wrong(const Value& v, texts::Phrase what) {
    throw TableFileError(at(v.line, v.column, std::move(what)));
}

std::int32_t wholeNumber(const Value& v, std::int32_t max, const texts::Phrase& what) {
    const auto notInRange = [&](texts::Phrase found) {
        wrong(v, texts::Phrase(texts::id::kTableWholeNumber, {what, std::to_string(max), std::move(found)}));
    };
    if (v.kind != Value::Kind::Number) notInRange(describe(v));
    if (v.text.find_first_of(".eE") != std::string::npos) notInRange(v.text);
    const bool negative = v.text[0] == '-';
    const std::string digits = negative ? v.text.substr(1) : v.text;
    if (digits.size() > 9) notInRange(v.text);
    const std::int32_t value = std::stoi(digits);
    if (negative && value != 0) notInRange(v.text);
    if (value > max) notInRange(v.text);
    return value;
}

const Value& arrayOf(const Value& v, std::size_t count, const texts::Phrase& what, const texts::Phrase& of) {
    if (v.kind != Value::Kind::Array) wrong(v, texts::Phrase(texts::id::kTableMustBeArray, {what, of, describe(v)}));
    if (v.items.size() == 1 && count != 1)
        wrong(v, texts::Phrase(texts::id::kTableOneEntry, {what, std::to_string(count), of}));
    if (v.items.size() != count)
        wrong(v, texts::Phrase(texts::id::kTableEntryCount,
                               {what, std::to_string(v.items.size()), std::to_string(count), of}));
    return v;
}

}  // namespace

TableFile parseTableJson(std::string_view text) {
    const Value root = Parser(text).document();
    if (root.kind != Value::Kind::Object) wrong(root, texts::Phrase(texts::id::kTableMustBeObject, {describe(root)}));
    const Value* colors = nullptr;
    const Value* pattern = nullptr;
    for (std::size_t i = 0; i < root.memberKeys.size(); ++i) {
        const std::string& key = root.memberKeys[i];
        const Value& value = root.memberValues[i];
        const auto [line, column] = root.keyPlaces[i];
        const Value** slot = key == "colors" ? &colors : key == "pattern" ? &pattern : nullptr;
        if (slot == nullptr) throw TableFileError(at(line, column, texts::Phrase(texts::id::kTableUnknownKey, {key})));
        if (*slot != nullptr) throw TableFileError(at(line, column, texts::Phrase(texts::id::kTableKeyTwice, {key})));
        *slot = &value;
    }
    if (colors == nullptr) wrong(root, texts::Phrase(texts::id::kTableKeyMissing, {"colors"}));
    if (pattern == nullptr) wrong(root, texts::Phrase(texts::id::kTableKeyMissing, {"pattern"}));

    TableFile table;
    arrayOf(*colors, 8, "\"colors\"", texts::Phrase(texts::id::kEightRowColours));
    for (std::size_t row = 0; row < 8; ++row)
        table.colors[row] = wholeNumber(colors->items[row], kMaxColour,
                                        texts::Phrase(texts::id::kRowColourOf, {std::to_string(row + 1)}));
    arrayOf(*pattern, 8, "\"pattern\"", texts::Phrase(texts::id::kEightRows));
    for (std::size_t row = 0; row < 8; ++row) {
        const texts::Phrase rowName(texts::id::kPatternRowOf, {std::to_string(row + 1)});
        const Value& entries = arrayOf(pattern->items[row], 32, rowName, texts::Phrase(texts::id::kThirtyTwoEntries));
        for (std::size_t col = 0; col < 32; ++col)
            table.pattern[row][col] = wholeNumber(
                entries.items[col], kMaxEntry, texts::Phrase(texts::id::kEntryOf, {std::to_string(col + 1), rowName}));
    }
    return table;
}

TableFile readTableFile(const std::filesystem::path& file) {
    std::string text;
    try {
        text = files::readUserFile(file);
    } catch (const files::UserFileError& e) {
        if (e.reason() == files::UserFileError::Reason::Missing)
            throw TableFileError(texts::Phrase(texts::id::kJsonWhere,
                                               {platform::utf8(file), texts::Phrase(texts::id::kJsonCannotOpen)}));
        throw TableFileError(texts::Phrase(texts::id::kJsonWhere, {platform::utf8(file), e.phrase()}));
    }
    try {
        return parseTableJson(text);
    } catch (const TableFileError& e) {
        throw TableFileError(texts::Phrase(texts::id::kJsonWhere, {platform::utf8(file), e.message()}));
    }
}

TableFile tableFileOf(const tables::FlashTable& table) {
    TableFile file;
    for (int row = 1; row <= 8; ++row) {
        const auto r = static_cast<std::size_t>(row - 1);
        file.colors[r] = table.color(row);
        for (int col = 1; col <= 32; ++col) file.pattern[r][static_cast<std::size_t>(col - 1)] = table.pauta(row, col);
    }
    return file;
}

std::string tableJson(const TableFile& table) {
    std::string out = "{\"colors\": [";
    for (std::size_t row = 0; row < 8; ++row) out += (row ? ", " : "") + std::to_string(table.colors[row]);
    out += "],\n \"pattern\": [";
    for (std::size_t row = 0; row < 8; ++row) {
        out += row ? ",\n  [" : "\n  [";
        for (std::size_t col = 0; col < 32; ++col) out += (col ? ", " : "") + std::to_string(table.pattern[row][col]);
        out += "]";
    }
    return out + "]}\n";
}

}  // namespace zrk::files
