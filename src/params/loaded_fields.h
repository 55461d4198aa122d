#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zrk::params {

// What each field row of the form was loaded with, by a read of the unit or
// by opening a file: the cells it came from and what the form showed right
// after. A row whose form still shows exactly that is encoded as those very
// cells, so a unit read and written back without an edit keeps every byte,
// whatever the display rounds, caps or steps through a table.
class LoadedFields {
public:
    struct Row {
        std::vector<std::int32_t> cells;
        std::string shown;
        bool operator==(const Row&) const = default;
    };

    void clear() { rows_.clear(); }
    void remember(int firstAddress, Row row) { rows_[firstAddress] = std::move(row); }
    void forget(int firstAddress) { rows_.erase(firstAddress); }
    // Nothing when the row was never loaded.
    const Row* find(int firstAddress) const;
    const std::map<int, Row>& rows() const { return rows_; }
    bool operator==(const LoadedFields&) const = default;

private:
    std::map<int, Row> rows_;
};

}  // namespace zrk::params
