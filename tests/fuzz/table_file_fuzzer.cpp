// libFuzzer target: any bytes as a table file. The reader either refuses them
// with a TableFileError or returns a table whose every value is in range;
// that table, written and read again, must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/table_file.h"

using namespace zrk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    files::TableFile table;
    try {
        table = files::parseTableJson(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const files::TableFileError&) {
        return 0;
    }
    for (std::size_t row = 0; row < 8; ++row) {
        if (table.colors[row] < 0 || table.colors[row] > files::kMaxColour) std::abort();
        for (std::int32_t entry : table.pattern[row])
            if (entry < 0 || entry > files::kMaxEntry) std::abort();
    }
    if (files::parseTableJson(files::tableJson(table)).pattern != table.pattern) std::abort();
    if (files::parseTableJson(files::tableJson(table)).colors != table.colors) std::abort();
    return 0;
}
