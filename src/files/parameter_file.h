#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "params/image_layout.h"
#include "tables/flash_table.h"
#include "texts/phrase.h"
#include "texts/texts.h"

namespace zrk::form {
class FrmMain;
}

namespace zrk::files {

// A parameter file: run 1 is the image, one line per position; run 2 is,
// for rows 1 to 8, the row's colour then its 32 table entries.
inline constexpr int kImageLines = 256;
inline constexpr int kParameterFileLines = kImageLines + tables::kPatternRows * (1 + tables::kPatternColumns);
// No valid line comes near this; a longer one is refused unread.
inline constexpr std::size_t kMaxLineLength = 256;

// A file that cannot be opened: which file, which line (0 when the problem
// is not one line's) and what is wrong with it. A problem about a field
// names it last: describe() puts in its caption, what() its code name.
class ParameterFileError : public std::runtime_error {
public:
    ParameterFileError(std::string file, int line, texts::Phrase problem, int fieldRow = -1);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const texts::Phrase& problem() const { return problem_; }
    // The first address of the field row the problem is about, or -1.
    int fieldRow() const { return fieldRow_; }

private:
    std::string file_;
    int line_;
    texts::Phrase problem_;
    int fieldRow_;
};

// What a file holds, checked and ready to apply.
struct ParameterFileContent {
    params::ParameterImage image{};
    // Rows 1 to 8 at indexes 0 to 7.
    std::array<std::int32_t, tables::kPatternRows> colors{};
    // The table entries: an angle 0 to 360, which the grid shows, or 511 for
    // every other line, which empties the cell. Opening sets every entry, so
    // nothing of the table before it stays behind an empty cell.
    std::array<std::array<std::int32_t, tables::kPatternColumns>, tables::kPatternRows> angles{};
};

// The 520 lines of a file, each ending in CR LF.
std::string formatParameterFile(const params::ParameterImage& image, const tables::FlashTable& flash);

// Reads lines 1 to 520 and nothing after them; LF or CR LF line ends. Throws
// ParameterFileError (with `file` as the name) for a short file, a run-1 line
// that is not a whole number, a number beyond 32 bits or a line too long.
// `afterPosition` is called after each run-1 line.
ParameterFileContent parseParameterFile(std::istream& in, const std::string& file,
                                        const std::function<void(int position)>& afterPosition = {});

// The number of items of each list the file sets, by field name.
using ListSizes = std::function<int(const std::string& field)>;
ListSizes listSizesOf(const form::FrmMain& frm);
// Checks that the form would take every value: 16- and 24-bit values within
// 32 bits, list positions and check states the controls accept, valid
// identification characters. Throws ParameterFileError naming the line.
void checkParameterFile(const ParameterFileContent& content, const std::string& file, const ListSizes& lists);

// What the message says when the system refuses to open a file, in English.
std::string cannotReadProblem(const std::error_code& error);

// Opens `path` and parses it, with clear messages for a missing file, a
// folder, an unreadable file.
ParameterFileContent readParameterFile(const std::filesystem::path& path,
                                       const std::function<void(int position)>& afterPosition = {});

// The message box text of a failed open, in the operator's language; a
// field is named by its caption on `frm`.
std::string describe(const ParameterFileError& error, const texts::TextTable& texts, const form::FrmMain& frm);

}  // namespace zrk::files
