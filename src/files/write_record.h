#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/atomic_write.h"
#include "params/image_layout.h"
#include "tables/flash_table.h"

namespace zrk::files {

// The record every write leaves, so that no write is beyond undoing: one
// log line per changed field with the very bytes it changed (what undo puts
// back), and a copy of the unit's parameters as they were before the write
// (a plain parameter file, for reading; it cannot carry the raw byte of a
// list or a check box, the log can).
//
//   <data folder>/writes.log
//   <data folder>/before-write/<identifier number>-<YYYYMMDD-HHMMSS>.zrk
//
// A log line is tab-separated: time, unit, field, before, written, outcome,
// cells ("38:5>1 40:9>2", a segment table's "2/130:5>1"), write number, the
// write number it undoes (or empty). Lines of six columns from older
// versions read without cells. A flash-pattern table row is logged as the
// field "TablaPautas(3)".
class WriteRecord {
public:
    explicit WriteRecord(std::filesystem::path dataFolder);

    // The name the copy of this unit's parameters takes at `now` (with a
    // suffix when a copy of that second exists already); a table's copy
    // ends "-table.json" instead.
    std::filesystem::path copyPathFor(const std::string& unit, std::time_t now,
                                      const std::string& ending = ".zrk") const;

    // Writes the copy and keeps only the newest kKeptCopies of that unit
    // with the same extension.
    // Throws FileError naming the path and the reason.
    void saveCopy(const std::filesystem::path& copy, const std::string& unit, const std::string& content) const;
    // Makes sure the log can take lines (the folder exists, the file opens
    // for appending). Throws FileError naming the path and the reason.
    void checkLog() const;

    // One byte a write changed: a cell of the parameter memory, or with a
    // table (1 to 4) the offset of a cell of that segment table.
    struct Cell {
        int address = 0;
        int before = 0;
        int after = 0;
        int table = 0;
        bool operator==(const Cell&) const = default;
    };
    struct Line {
        std::string time;  // local time, ISO 8601
        std::string unit;  // identifier number, "-" when the unit has none
        std::string field;
        std::string unitValue;
        std::string written;
        std::string outcome;  // one of the kOutcome words below
        std::vector<Cell> cells{};
        int write = 0;   // the lines of one write share it; 0: an older line without one
        int undoes = 0;  // the write this one put back; 0: none
    };
    // Appends the lines, tab-separated, one per field. Throws FileError.
    void append(const std::vector<Line>& lines) const;
    // Every line of the log, oldest first; lines that do not read are skipped.
    std::vector<Line> read() const;
    // The number the next write's lines take: one above the highest so far.
    int nextWrite() const;

    static constexpr int kKeptCopies = 50;

private:
    std::filesystem::path log_;
    std::filesystem::path copies_;
};

// What became of a logged change. Lines written before the unknown outcome
// came in said "not verified" for what is now "written, not verified".
inline constexpr const char* kOutcomeVerified = "verified";
inline constexpr const char* kOutcomeNotVerified = "written, not verified";
inline constexpr const char* kOutcomeUnknown = "unknown";
inline constexpr const char* kOutcomeFailed = "failed";
inline constexpr const char* kOutcomeNotVerifiedBefore = "not verified";

// How bad an outcome word is: verified 0, not verified 1, unknown 2,
// failed 3; the worst of a write's lines is its outcome.
int outcomeRank(const std::string& outcome);

// "38:5>1 40:9>2", and back; nothing for text that is not such a list.
std::string cellsText(const std::vector<WriteRecord::Cell>& cells);
std::optional<std::vector<WriteRecord::Cell>> cellsFromText(const std::string& text);

// Local time in ISO 8601 with the offset, e.g. "2026-12-10T15:41:05+0100".
std::string isoLocalTime(std::time_t when);

// The unit's parameters as a parameter file: the bytes it was read with in
// run 1 (check boxes as the states the form showed), the flash table in run 2.
std::string unitParameterFile(const params::LoadedFields& unit, const tables::FlashTable& flash);

}  // namespace zrk::files
