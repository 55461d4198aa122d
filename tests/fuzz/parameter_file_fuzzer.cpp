// libFuzzer target: any bytes as a parameter file. Reading either refuses the
// file with a ParameterFileError or accepts it; an accepted file, saved and
// read again, must give the same image, colours and table entries.
//
// The form is only asked for its list sizes, once: opening a file into the
// form is a fixed sequence of control assignments that no input changes, and
// running it for every input made this target seven times slower and
// several hundred megabytes larger without reaching any more of the reader.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>

#include "files/parameter_file.h"
#include "params/image_table.h"
#include "started_program.h"

using namespace zrk;

namespace {

// The list sizes of the form the program starts with, read once.
const files::ListSizes& listSizes() {
    static const files::ListSizes sizes = [] {
        test::StartedProgram started;
        const files::ListSizes ofForm = files::listSizesOf(started.program->state.frm);
        std::map<std::string, int> known;
        for (const auto& row : params::imageTable())
            if (row.holdsList()) known[row.field] = ofForm(row.field);
        return files::ListSizes([known](const std::string& field) { return known.at(field); });
    }();
    return sizes;
}

tables::FlashTable tableOf(const files::ParameterFileContent& content) {
    tables::FlashTable table;
    for (int row = 1; row <= tables::kPatternRows; ++row) {
        table.color(row) = content.colors[static_cast<std::size_t>(row - 1)];
        for (int col = 1; col <= tables::kPatternColumns; ++col)
            table.pauta(row, col) =
                content.angles[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    files::ParameterFileContent content;
    try {
        content = files::parseParameterFile(in, "fuzz.zrk");
        files::checkParameterFile(content, "fuzz.zrk", listSizes());
    } catch (const files::ParameterFileError&) {
        return 0;
    }
    std::istringstream saved(files::formatParameterFile(content.image, tableOf(content)));
    const auto again = files::parseParameterFile(saved, "saved.zrk");
    if (again.image != content.image || again.colors != content.colors || again.angles != content.angles) std::abort();
    return 0;
}
