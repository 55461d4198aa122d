// Checks that the build put a Compiled HTML Help file beside the program for
// every set of texts, under the name that set gives for the help file.
#include <cstdio>
#include <fstream>
#include <string>

#include "texts/text_ids.h"
#include "texts/texts.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_files_check FOLDER\n");
        return 2;
    }
    using zrk::texts::Language;
    int failures = 0;
    for (Language language : {Language::Neutral, Language::English, Language::SpanishTraditional,
                              Language::SpanishModern, Language::French}) {
        const std::string name = zrk::texts::TextTable(language).CargarTexto(zrk::texts::id::kHelpFile);
        const std::string path = std::string(argv[1]) + "/" + name;
        std::ifstream file(path, std::ios::binary);
        char signature[4] = {};
        file.read(signature, sizeof signature);
        // Every Compiled HTML Help file starts with "ITSF".
        if (!file || std::string(signature, 4) != "ITSF") {
            std::fprintf(stderr, "%s: missing or not a Compiled HTML Help file (set %s)\n", path.c_str(),
                         std::string(zrk::texts::languageTag(language)).c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
