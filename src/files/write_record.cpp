#include "files/write_record.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "files/atomic_write.h"
#include "files/parameter_file.h"
#include "texts/text_ids.h"

namespace zrk::files {
namespace {

void makeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // The system's own words for what went wrong.
    if (error) throw FileError(texts::id::kCannotCreateFolder, folder.string(), error.message());
}

std::tm localTime(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}

// A number of at most nine digits, nothing else.
std::optional<int> wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string> columns(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    return parts;
}

// Tabs and line ends would break the log's columns.
std::string cell(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

WriteRecord::WriteRecord(std::filesystem::path dataFolder)
    : log_(dataFolder / "writes.log"), copies_(dataFolder / "before-write") {}

std::filesystem::path WriteRecord::copyPathFor(const std::string& unit, std::time_t now,
                                               const std::string& ending) const {
    char stamp[32];
    const std::tm local = localTime(now);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::filesystem::path path = copies_ / (unit + "-" + stamp + ending);
    for (int n = 2; std::filesystem::exists(path); ++n)
        path = copies_ / (unit + "-" + stamp + "-" + std::to_string(n) + ending);
    return path;
}

void WriteRecord::saveCopy(const std::filesystem::path& copy, const std::string& unit,
                           const std::string& content) const {
    makeFolder(copy.parent_path());
    writeFileAtomically(copy, content);
    // The newest copies of this unit of this kind stay (parameters, tables);
    // their names sort by time.
    std::vector<std::filesystem::path> ofUnit;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(copy.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(unit + "-", 0) == 0 && entry.path().extension() == copy.extension())
            ofUnit.push_back(entry.path());
    }
    std::sort(ofUnit.begin(), ofUnit.end());
    for (std::size_t i = 0; i + kKeptCopies < ofUnit.size(); ++i) std::filesystem::remove(ofUnit[i], error);
}

void WriteRecord::checkLog() const {
    makeFolder(log_.parent_path());
    errno = 0;
    std::ofstream out(log_, std::ios::app | std::ios::binary);
    if (!out) {
        throw FileError(texts::id::kCannotWriteLog, log_.string(),
                        errno != 0 ? texts::Phrase(std::strerror(errno)) : texts::Phrase(texts::id::kCannotBeOpened));
    }
}

void WriteRecord::append(const std::vector<Line>& lines) const {
    checkLog();
    std::ostringstream text;
    for (const Line& l : lines)
        text << cell(l.time) << '\t' << cell(l.unit) << '\t' << cell(l.field) << '\t' << cell(l.unitValue) << '\t'
             << cell(l.written) << '\t' << cell(l.outcome) << '\t' << cellsText(l.cells) << '\t' << l.write << '\t'
             << (l.undoes > 0 ? std::to_string(l.undoes) : std::string()) << '\n';
    std::ofstream out(log_, std::ios::app | std::ios::binary);
    out << text.str();
    out.flush();
    if (!out) throw FileError(texts::id::kCannotWriteLog, log_.string(), texts::Phrase(texts::id::kDiskRefusedLines));
}

std::vector<WriteRecord::Line> WriteRecord::read() const {
    std::vector<Line> lines;
    std::ifstream in(log_, std::ios::binary);
    for (std::string text; std::getline(in, text);) {
        const std::vector<std::string> parts = columns(text);
        if (parts.size() != 6 && parts.size() != 9) continue;
        Line line{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
        if (parts.size() == 9) {
            const auto cells = cellsFromText(parts[6]);
            const auto write = wholeNumber(parts[7]);
            const auto undoes = parts[8].empty() ? std::optional<int>(0) : wholeNumber(parts[8]);
            if (!cells || !write || !undoes) continue;
            line.cells = *cells;
            line.write = *write;
            line.undoes = *undoes;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

int WriteRecord::nextWrite() const {
    // The log only grows at its end, so its last line holds the highest
    // number: read the tail, not the whole log, before every write.
    std::ifstream in(log_, std::ios::binary | std::ios::ate);
    if (!in) return 1;
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min<std::streamoff>(size, 4096);
    std::string text(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    in.read(text.data(), tail);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const auto start = text.rfind('\n');
    if (start != std::string::npos || tail == size) {
        const auto parts = columns(text.substr(start == std::string::npos ? 0 : start + 1));
        if (parts.size() == 9)
            if (const auto write = wholeNumber(parts[7]); write && *write > 0) return *write + 1;
    }
    // A log that ends in a line of an older version, or one that does not read.
    int highest = 0;
    for (const Line& line : read()) highest = std::max(highest, line.write);
    return highest + 1;
}

std::string cellsText(const std::vector<WriteRecord::Cell>& cells) {
    std::string text;
    for (const auto& c : cells)
        text += (text.empty() ? "" : " ") + (c.table > 0 ? std::to_string(c.table) + "/" : std::string()) +
                std::to_string(c.address) + ":" + std::to_string(c.before) + ">" + std::to_string(c.after);
    return text;
}

int outcomeRank(const std::string& outcome) {
    if (outcome == kOutcomeFailed) return 3;
    if (outcome == kOutcomeUnknown) return 2;
    if (outcome == kOutcomeNotVerified || outcome == kOutcomeNotVerifiedBefore) return 1;
    return 0;
}

std::optional<std::vector<WriteRecord::Cell>> cellsFromText(const std::string& text) {
    std::vector<WriteRecord::Cell> cells;
    std::istringstream in(text);
    for (std::string item; in >> item;) {
        // A segment table's cell: "2/130:5>1".
        std::optional<int> table = 0;
        if (const auto slash = item.find('/'); slash != std::string::npos) {
            table = wholeNumber(item.substr(0, slash));
            if (!table || *table < 1 || *table > 4) return std::nullopt;
            item.erase(0, slash + 1);
        }
        const auto colon = item.find(':'), arrow = item.find('>');
        if (colon == std::string::npos || arrow == std::string::npos || arrow < colon) return std::nullopt;
        const auto address = wholeNumber(item.substr(0, colon));
        const auto before = wholeNumber(item.substr(colon + 1, arrow - colon - 1));
        const auto after = wholeNumber(item.substr(arrow + 1));
        if (!address || !before || !after || *address > 255 || *before > 255 || *after > 255) return std::nullopt;
        cells.push_back({*address, *before, *after, *table});
    }
    return cells;
}

std::string isoLocalTime(std::time_t when) {
    char text[40];
    const std::tm local = localTime(when);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    return text;
}

std::string unitParameterFile(const params::LoadedFields& unit, const tables::FlashTable& flash) {
    params::ParameterImage image{};
    for (const auto& [row, loaded] : unit.rows()) {
        if (row == 254) continue;  // a parameter file never carries the identifier
        for (std::size_t i = 0; i < loaded.cells.size(); ++i)
            image[static_cast<std::size_t>(row) + i] = loaded.cells[i];
        // A check box takes 0, 1 or 2 in a file; other bits of the cell
        // cannot travel in one.
        if (loaded.shown.rfind("check:", 0) == 0 && (loaded.cells[0] < 0 || loaded.cells[0] > 2))
            image[static_cast<std::size_t>(row)] = std::stoi(loaded.shown.substr(6));
    }
    return formatParameterFile(image, flash);
}

}  // namespace zrk::files
