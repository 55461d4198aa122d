#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "files/atomic_write.h"
#include "params/image_layout.h"
#include "tables/flash_table.h"

namespace zrk::files {

// The record every write leaves, so that no write is beyond undoing: one
// log line per changed field, and a copy of the unit's parameters as they
// were before the write (a plain parameter file: opened and written back,
// it undoes the write).
//
//   <data folder>/writes.log
//   <data folder>/before-write/<identifier number>-<YYYYMMDD-HHMMSS>.zrk
class WriteRecord {
public:
    explicit WriteRecord(std::filesystem::path dataFolder);

    // The name the copy of this unit's parameters takes at `now` (with a
    // suffix when a copy of that second exists already).
    std::filesystem::path copyPathFor(const std::string& unit, std::time_t now) const;

    // Writes the copy and keeps only the newest kKeptCopies of that unit.
    // Throws FileError naming the path and the reason.
    void saveCopy(const std::filesystem::path& copy, const std::string& unit, const std::string& content) const;
    // Makes sure the log can take lines (the folder exists, the file opens
    // for appending). Throws FileError naming the path and the reason.
    void checkLog() const;

    struct Line {
        std::string time;  // local time, ISO 8601
        std::string unit;  // identifier number, "-" when the unit has none
        std::string field;
        std::string unitValue;
        std::string written;
        std::string outcome;  // "verified", "not verified" or "failed"
    };
    // Appends the lines, tab-separated, one per field. Throws FileError.
    void append(const std::vector<Line>& lines) const;
    // Every line of the log, oldest first; lines that do not read are skipped.
    std::vector<Line> read() const;

    static constexpr int kKeptCopies = 50;

private:
    std::filesystem::path log_;
    std::filesystem::path copies_;
};

// Local time in ISO 8601 with the offset, e.g. "2026-12-10T15:41:05+0100".
std::string isoLocalTime(std::time_t when);

// The unit's parameters as a parameter file: the bytes it was read with in
// run 1 (check boxes as the states the form showed), the flash table in run 2.
std::string unitParameterFile(const params::LoadedFields& unit, const tables::FlashTable& flash);

}  // namespace zrk::files
