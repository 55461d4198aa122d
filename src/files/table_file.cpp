#include "files/table_file.h"

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "files/user_file.h"
#include "platform/path_text.h"

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

std::string place(int line, int column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value document() {
        skipSpace();
        if (atEnd()) fail("the file is empty; it must hold {\"colors\": [...], \"pattern\": [...]}");
        Value v = value(0);
        skipSpace();
        if (!atEnd()) fail("unexpected text after the end of the table");
        return v;
    }

private:
    // Far deeper than the table needs; keeps a hostile file off the stack.
    static constexpr int kMaxDepth = 16;

    [[noreturn]] void fail(const std::string& what) const { throw TableFileError(place(line_, column_) + what); }
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
    void expect(char ch, const char* what) {
        if (peek() != ch) fail(std::string("expected ") + what + found());
        advance();
    }
    std::string found() const {
        if (atEnd()) return ", but the file ends here";
        const unsigned char ch = static_cast<unsigned char>(peek());
        if (ch < 0x20 || ch >= 0x7F) return ", found the byte " + std::to_string(ch);
        return std::string(", found '") + static_cast<char>(ch) + "'";
    }

    Value value(int depth) {
        if (depth > kMaxDepth) fail("the values nest too deeply");
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
            fail("expected a value" + found());
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
            if (peek() != '"') fail("expected a key in double quotes" + found());
            std::string key = string();
            skipSpace();
            expect(':', "':' after the key");
            skipSpace();
            v.memberValues.push_back(value(depth + 1));
            v.memberKeys.push_back(std::move(key));
            v.keyPlaces.push_back(keyPlace);
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            expect('}', "',' or '}' in the object");
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
            expect(']', "',' or ']' in the array");
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
            fail("expected a digit" + found());
        }
        if (peek() == '.') {
            advance();
            if (!(peek() >= '0' && peek() <= '9')) fail("expected a digit after the decimal point" + found());
            while (peek() >= '0' && peek() <= '9') advance();
        }
        if (peek() == 'e' || peek() == 'E') {
            advance();
            if (peek() == '+' || peek() == '-') advance();
            if (!(peek() >= '0' && peek() <= '9')) fail("expected a digit in the exponent" + found());
            while (peek() >= '0' && peek() <= '9') advance();
        }
        if (peek() >= '0' && peek() <= '9') fail("a number may not start with 0");
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string string() {
        advance();  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd()) fail("the string is not closed");
            const unsigned char ch = static_cast<unsigned char>(peek());
            if (ch == '"') {
                advance();
                return out;
            }
            if (ch < 0x20) fail("a control character must be escaped inside a string");
            if (ch != '\\') {
                out += static_cast<char>(ch);
                advance();
                continue;
            }
            advance();
            const char escape = peek();
            if (atEnd()) fail("the string is not closed");
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
                    fail(std::string("unknown escape '\\") + escape + "'");
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
                fail("expected four hexadecimal digits after \\u" + found());
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

std::string describe(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Array:
            return "an array";
        case Value::Kind::Object:
            return "an object";
        case Value::Kind::String: {
            const std::string shown = v.text.size() > 20 ? v.text.substr(0, 20) + "..." : v.text;
            return "the text \"" + shown + "\"";
        }
        default:
            return v.text;
    }
}

[[noreturn]] void wrong(const Value& v, const std::string& what) {
    throw TableFileError(place(v.line, v.column) + what);
}

std::int32_t wholeNumber(const Value& v, std::int32_t max, const std::string& what) {
    const std::string range = what + " must be a whole number from 0 to " + std::to_string(max);
    if (v.kind != Value::Kind::Number) wrong(v, range + ", not " + describe(v));
    if (v.text.find_first_of(".eE") != std::string::npos) wrong(v, range + ", not " + v.text);
    const bool negative = v.text[0] == '-';
    const std::string digits = negative ? v.text.substr(1) : v.text;
    if (digits.size() > 9) wrong(v, range + ", not " + v.text);
    const std::int32_t value = std::stoi(digits);
    if (negative && value != 0) wrong(v, range + ", not " + v.text);
    if (value > max) wrong(v, range + ", not " + v.text);
    return value;
}

const Value& arrayOf(const Value& v, std::size_t count, const std::string& what, const std::string& of) {
    if (v.kind != Value::Kind::Array) wrong(v, what + " must be an array of " + of + ", not " + describe(v));
    if (v.items.size() != count)
        wrong(v, what + " has " + std::to_string(v.items.size()) + (v.items.size() == 1 ? " entry" : " entries") +
                     "; it needs " + std::to_string(count) + " (" + of + ")");
    return v;
}

}  // namespace

TableFile parseTableJson(std::string_view text) {
    const Value root = Parser(text).document();
    if (root.kind != Value::Kind::Object)
        wrong(root, "the table must be an object {\"colors\": [...], \"pattern\": [...]}, not " + describe(root));
    const Value* colors = nullptr;
    const Value* pattern = nullptr;
    for (std::size_t i = 0; i < root.memberKeys.size(); ++i) {
        const std::string& key = root.memberKeys[i];
        const Value& value = root.memberValues[i];
        const auto [line, column] = root.keyPlaces[i];
        const Value** slot = key == "colors" ? &colors : key == "pattern" ? &pattern : nullptr;
        if (slot == nullptr)
            throw TableFileError(place(line, column) + "unknown key \"" + key +
                                 "\"; the table has only \"colors\" and \"pattern\"");
        if (*slot != nullptr) throw TableFileError(place(line, column) + "\"" + key + "\" is given twice");
        *slot = &value;
    }
    if (colors == nullptr) wrong(root, "the table has no \"colors\"");
    if (pattern == nullptr) wrong(root, "the table has no \"pattern\"");

    TableFile table;
    arrayOf(*colors, 8, "\"colors\"", "8 row colours");
    for (std::size_t row = 0; row < 8; ++row)
        table.colors[row] = wholeNumber(colors->items[row], kMaxColour, "the colour of row " + std::to_string(row + 1));
    arrayOf(*pattern, 8, "\"pattern\"", "8 rows");
    for (std::size_t row = 0; row < 8; ++row) {
        const std::string rowName = "row " + std::to_string(row + 1) + " of \"pattern\"";
        const Value& entries = arrayOf(pattern->items[row], 32, rowName, "32 entries");
        for (std::size_t col = 0; col < 32; ++col)
            table.pattern[row][col] =
                wholeNumber(entries.items[col], kMaxEntry, "entry " + std::to_string(col + 1) + " of " + rowName);
    }
    return table;
}

TableFile readTableFile(const std::filesystem::path& file) {
    std::string text;
    try {
        text = files::readUserFile(file);
    } catch (const files::UserFileError& e) {
        if (e.reason() == files::UserFileError::Reason::Missing)
            throw TableFileError(files::utf8(file) + ": cannot open the file for reading");
        throw TableFileError(files::utf8(file) + ": " + e.problem());
    }
    try {
        return parseTableJson(text);
    } catch (const TableFileError& e) {
        throw TableFileError(files::utf8(file) + ": " + e.what());
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
