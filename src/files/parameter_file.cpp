#include "files/parameter_file.h"

#include <cerrno>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

#include "files/atomic_file.h"
#include "files/user_file.h"
#include "form/frm_main.h"
#include "params/codepage.h"
#include "params/image_table.h"
#include "params/numbers.h"
#include "params/visibility.h"
#include "platform/path_text.h"
#include "texts/text_ids.h"

namespace zrk::files {
namespace {

using params::ParameterImage;

constexpr int kRows = tables::kPatternRows;
constexpr int kColumns = tables::kPatternColumns;

std::string lineText(std::int32_t value) { return std::to_string(value) + "\r\n"; }

// A line as the message shows it: printable text quoted, anything else described.
texts::Phrase shownText(const std::string& line) {
    if (line.size() > 24) return texts::Phrase(texts::id::kTheTextThere);
    for (unsigned char ch : line)
        if (ch < 0x20 || ch > 0x7E) return texts::Phrase(texts::id::kTheTextThere);
    return "\"" + line + "\"";
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Lines one by one, never more than kMaxLineLength characters of one in memory.
class LineReader {
public:
    enum class Got { Line, End, TooLong, ReadError };
    explicit LineReader(std::istream& in) : in_(in) {}

    Got next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ == len_) {
                if (end_) return any ? Got::Line : Got::End;
                in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
                len_ = static_cast<std::size_t>(in_.gcount());
                pos_ = 0;
                if (in_.bad()) return Got::ReadError;
                if (!in_) end_ = true;
                continue;
            }
            const char ch = buffer_[pos_++];
            any = true;
            if (ch == '\n') break;
            // One more than the limit, for the CR of a CR LF.
            if (line.size() > kMaxLineLength) return Got::TooLong;
            line.push_back(ch);
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line.size() > kMaxLineLength ? Got::TooLong : Got::Line;
    }

private:
    std::istream& in_;
    std::array<char, 4096> buffer_{};
    std::size_t len_ = 0, pos_ = 0;
    bool end_ = false;
};

std::int32_t wholeNumber(const std::string& line, const std::string& file, int lineNumber) {
    const std::string text = trimmed(line);
    if (text.empty()) throw ParameterFileError(file, lineNumber, texts::Phrase(texts::id::kLineEmptyNumber));
    const texts::Phrase notWhole(texts::id::kNotWholeNumber, {shownText(line)}),
        tooLarge(texts::id::kNumberTooLarge, {shownText(line)});
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) throw ParameterFileError(file, lineNumber, notWhole);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9') throw ParameterFileError(file, lineNumber, notWhole);
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            throw ParameterFileError(file, lineNumber, tooLarge);
    }
    const std::int64_t value = text[0] == '-' ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) throw ParameterFileError(file, lineNumber, tooLarge);
    return static_cast<std::int32_t>(value);
}

// Whether the lenient reading finds a number at the start of the line, and
// not just the 0 it gives for any other text.
bool startsWithNumber(const std::string& line) {
    std::string text;
    for (char ch : line)
        if (ch != ' ' && ch != '\t' && ch != '\n') text.push_back(ch);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') return true;
    return text.size() >= 3 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o');
}

// A table entry of run 2: an angle from 0 to 360, or empty. Zero is the
// most common start angle of a sector, so it is an angle like any other;
// a line that holds no number at all is no angle.
std::int32_t fileAngle(const std::string& line) {
    if (!startsWithNumber(line)) return tables::kEmptyAngle;
    const double v = params::lenientNumber(line);
    if (!(v >= -0.5 && v <= 360.5)) return tables::kEmptyAngle;
    const std::int32_t angle = params::roundToInt32(v, "angle");
    return angle >= 0 && angle <= 360 ? angle : tables::kEmptyAngle;
}

}  // namespace

namespace {

// The whole message: the file, the line and the problem, its field named last.
texts::Phrase message(const std::string& file, int line, texts::Phrase problem, const std::string& field) {
    if (!field.empty()) problem.args.push_back(field);
    texts::Phrase where = line > 0 ? texts::Phrase(texts::id::kFileLine, {std::to_string(line), problem}) : problem;
    return texts::Phrase(texts::id::kCannotOpenParameterFile, {file, where});
}

}  // namespace

ParameterFileError::ParameterFileError(std::string file, int line, texts::Phrase problem, int fieldRow)
    : std::runtime_error(message(file, line, problem, fieldRow >= 0 ? params::fieldAt(fieldRow) : "").english()),
      file_(std::move(file)),
      line_(line),
      problem_(std::move(problem)),
      fieldRow_(fieldRow) {}

std::string describe(const ParameterFileError& error, const texts::TextTable& table, const form::FrmMain& frm) {
    const std::string field = error.fieldRow() >= 0 ? params::fieldCaption(frm, error.fieldRow()) : "";
    return message(error.file(), error.line(), error.problem(), field).in(table);
}

std::string formatParameterFile(const ParameterImage& image, const tables::FlashTable& flash) {
    std::string text;
    text.reserve(kParameterFileLines * 8);
    for (std::int32_t value : image) text += lineText(value);
    for (int row = 1; row <= kRows; ++row) {
        text += lineText(flash.color(row));
        for (int col = 1; col <= kColumns; ++col) text += lineText(flash.pauta(row, col));
    }
    return text;
}

ParameterFileContent parseParameterFile(std::istream& in, const std::string& file,
                                        const std::function<void(int)>& afterPosition) {
    ParameterFileContent content;
    LineReader reader(in);
    std::string line;
    int number = 0;
    auto nextLine = [&] {
        switch (reader.next(line)) {
            case LineReader::Got::Line:
                ++number;
                return;
            case LineReader::Got::End:
                throw ParameterFileError(file, number + 1,
                                         texts::Phrase(texts::id::kFileEndsEarly,
                                                       {std::to_string(number), std::to_string(kParameterFileLines)}));
            case LineReader::Got::TooLong:
                throw ParameterFileError(file, number + 1,
                                         texts::Phrase(texts::id::kLineTooLong, {std::to_string(kMaxLineLength)}));
            case LineReader::Got::ReadError:
                throw ParameterFileError(file, number + 1, texts::Phrase(texts::id::kFileUnreadableFromHere));
        }
    };
    for (int position = 0; position < kImageLines; ++position) {
        nextLine();
        content.image[static_cast<std::size_t>(position)] = wholeNumber(line, file, number);
        if (afterPosition) afterPosition(position);
    }
    for (std::size_t row = 0; row < kRows; ++row) {
        nextLine();
        try {
            content.colors[row] = params::roundToInt32(params::lenientNumber(line), "colour");
        } catch (const params::ConversionError&) {
            throw ParameterFileError(file, number, texts::Phrase(texts::id::kColourTooLarge, {shownText(line)}));
        }
        for (std::size_t col = 0; col < kColumns; ++col) {
            nextLine();
            content.angles[row][col] = fileAngle(line);
        }
    }
    return content;
}

ListSizes listSizesOf(const form::FrmMain& frm) {
    return [&frm](const std::string& field) {
        for (const auto& row : params::imageTable())
            if (row.field == field && row.holdsList())
                return std::get<params::FormControl<form::ComboBox>>(row.control)(frm).ListCount();
        throw std::logic_error("no list row " + field);
    };
}

void checkParameterFile(const ParameterFileContent& content, const std::string& file, const ListSizes& lists) {
    const auto& m = content.image;
    auto cell = [&](int a) { return std::int64_t{m[static_cast<std::size_t>(a)]}; };
    for (const params::ImageRow& row : params::imageTable()) {
        if (!row.file.applied) continue;
        const int a = row.first;
        const std::string& field = row.field;
        const int length = row.length;
        if (length == 2 || length == 3) {
            // The value is put together in 32 bits: every step has to fit.
            const std::int64_t limitLow = std::numeric_limits<std::int32_t>::min();
            const std::int64_t limitHigh = std::numeric_limits<std::int32_t>::max();
            auto fits = [&](std::int64_t v) { return v >= limitLow && v <= limitHigh; };
            std::int64_t v = 0;
            bool ok = true;
            for (int i = 0; i < length && ok; ++i) {
                const std::int64_t term = cell(a + i) * (std::int64_t{1} << (8 * (length - 1 - i)));
                ok = fits(term) && fits(v + term);
                v += term;
            }
            if (!ok)
                throw ParameterFileError(
                    file, a + 1,
                    texts::Phrase(texts::id::kValueBeyond32Bits, {std::to_string(a + 1), std::to_string(a + length)}),
                    a);
        }
        if (row.holdsList()) {
            const std::int64_t value = cell(a);
            const auto position = row.filePosition(static_cast<int>(value));
            if (!position) continue;
            const int count = lists(field);
            if (*position < -1 || *position >= count)
                throw ParameterFileError(
                    file, a + 1,
                    texts::Phrase(texts::id::kNoChoiceOf, {std::to_string(value), std::to_string(count - 1)}), a);
        }
        if (row.holdsCheck()) {
            if (cell(a) < 0 || cell(a) > 2)
                throw ParameterFileError(file, a + 1,
                                         texts::Phrase(texts::id::kNoCheckState, {std::to_string(cell(a))}), a);
        }
        if (row.file.characters) {
            for (int c = a; c < a + length; ++c) {
                const std::int64_t code = cell(c);
                if (code == 0) continue;  // no visible character, as on a read
                if (code < 0 || code > 255 || !params::characterOfCode(static_cast<std::uint8_t>(code)))
                    throw ParameterFileError(file, c + 1,
                                             texts::Phrase(texts::id::kNoCharacterOf, {std::to_string(code)}), a);
            }
        }
    }
}

std::string cannotReadProblem(const std::error_code& error) {
    if (error == std::errc::permission_denied) return texts::Phrase(texts::id::kReadPermissionDenied).english();
    if (error == std::errc::no_such_file_or_directory) return texts::Phrase(texts::id::kDoesNotExist).english();
    if (error == std::errc::is_a_directory) return texts::Phrase(texts::id::kFolderNotFile).english();
    return texts::Phrase(texts::id::kCannotBeRead, {error.message()}).english();
}

ParameterFileContent readParameterFile(const std::filesystem::path& path,
                                       const std::function<void(int)>& afterPosition) {
    const std::string name = platform::utf8(path);
    std::string content;
    try {
        content = readUserFile(path);
    } catch (const UserFileError& e) {
        throw ParameterFileError(name, 0, e.phrase());
    }
    std::istringstream in(content);
    return parseParameterFile(in, name, afterPosition);
}

}  // namespace zrk::files
