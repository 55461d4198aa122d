// libFuzzer target: any bytes as a parameter file. Reading either refuses the
// file with a ParameterFileError or applies it to a form; then the applied
// image, saved and read again, must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "ops/parameter_files.h"
#include "started_program.h"

using namespace zrk;

namespace {

struct Harness {
    test::StartedProgram started;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Harness harness;
    app::Program& program = *harness.started.program;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    files::ParameterFileContent content;
    try {
        content = files::parseParameterFile(in, "fuzz.zrk");
        files::checkParameterFile(content, "fuzz.zrk", files::listSizesOf(program.frm));
    } catch (const files::ParameterFileError&) {
        return 0;
    }
    files::applyParameterFile(program, content);

    std::istringstream saved(files::formatParameterFile(content.image, program.flash));
    if (files::parseParameterFile(saved, "saved.zrk").image != content.image) std::abort();
    return 0;
}
