// Checks that the folders of src/ include each other in one direction only:
// every #include that leaves its own folder must be an edge listed in the
// allowed-edges file, the listed edges must form no circle, and the core
// folders must not include a Qt header. A file's namespace is zrk:: and its
// top folder (src/ops/... is zrk::ops), so a qualified name says where its
// code lives; a block of another folder's namespace may only forward-declare.
//
//   include_check <src folder> <allowed-edges file>
//
// The edges file has one line per folder (or single file) of src/:
//   from: to to ...
// A "core:" line names the folders that must stay free of Qt.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Rules {
    std::map<std::string, std::set<std::string>> allowed;  // from (folder or file) -> folders
    std::set<std::string> core;
};

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool readRules(const fs::path& path, Rules& rules) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << path.string() << ": cannot be read\n";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            std::cerr << path.string() << ":" << number << ": expected \"from: to ...\"\n";
            return false;
        }
        const std::string from = trim(line.substr(0, colon));
        std::istringstream targets(line.substr(colon + 1));
        auto& into = from == "core" ? rules.core : rules.allowed[from];
        for (std::string to; targets >> to;) into.insert(to);
    }
    return true;
}

// The folder edges, file entries counted under their folder, must allow an
// order of the folders: repeatedly take away a folder that includes no
// remaining one; whatever cannot be taken away lies on a circle.
std::vector<std::string> foldersOnCircles(const Rules& rules) {
    std::map<std::string, std::set<std::string>> graph;
    for (const auto& [from, targets] : rules.allowed) {
        const std::string folder = fs::path(from).has_extension() ? fs::path(from).parent_path().string() : from;
        for (const auto& to : targets)
            if (to != folder) graph[folder].insert(to);
        graph.try_emplace(folder);
    }
    for (bool removed = true; removed;) {
        removed = false;
        for (auto it = graph.begin(); it != graph.end();) {
            const bool leaf = std::none_of(it->second.begin(), it->second.end(),
                                           [&](const std::string& to) { return graph.count(to) != 0; });
            if (leaf) {
                it = graph.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
    }
    std::vector<std::string> left;
    for (const auto& entry : graph) left.push_back(entry.first);
    return left;
}

bool allowedEdge(const Rules& rules, const std::string& file, const std::string& folder, const std::string& to) {
    for (const std::string& from : {file, folder}) {
        const auto it = rules.allowed.find(from);
        if (it != rules.allowed.end() && it->second.count(to)) return true;
    }
    return false;
}

bool inCore(const Rules& rules, const std::string& folder) {
    return std::any_of(rules.core.begin(), rules.core.end(),
                       [&](const std::string& core) { return folder == core || folder.rfind(core + "/", 0) == 0; });
}

// Reports each namespace block of the file that is neither its top folder's
// nor only forward declarations of another folder's classes.
int wrongNamespaces(const fs::path& path, const std::string& file) {
    static const std::regex open(R"(^namespace zrk::(\w+)(::\w+)* \{)");
    static const std::regex forward(R"(^\s*((class|struct|enum class|enum) \w+( : [\w:]+)?;|//.*)?\s*$)");
    const std::string top = file.substr(0, file.find('/'));
    std::ifstream in(path);
    std::string line;
    int faults = 0;
    std::smatch match;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!std::regex_search(line, match, open) || match[1].str() == top) continue;
        const int start = number;
        const std::string name = match[0].str().substr(std::string("namespace ").size());
        bool onlyForward = true;
        while (std::getline(in, line) && line.rfind('}', 0) != 0) {
            ++number;
            onlyForward = onlyForward && std::regex_match(line, forward);
        }
        ++number;
        if (onlyForward) continue;
        std::cerr << "src/" << file << ":" << start << ": namespace " << name.substr(0, name.size() - 2)
                  << " in folder " << top << " (a file's namespace is zrk::" << top << ")\n";
        ++faults;
    }
    return faults;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: include_check <src folder> <allowed-edges file>\n";
        return 2;
    }
    const fs::path src = argv[1];
    Rules rules;
    if (!readRules(argv[2], rules)) return 2;

    int faults = 0;
    for (const auto& folder : foldersOnCircles(rules)) {
        std::cerr << "allowed edges: " << folder << " lies on a circle of includes\n";
        ++faults;
    }

    static const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    static const std::regex qt(R"(^\s*#\s*include\s*<(Q[A-Za-z]*|qt[A-Za-z]*/)[^>]*>)");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        ++files;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        const std::string folder = fs::path(file).parent_path().generic_string();
        faults += wrongNamespaces(entry.path(), file);
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (std::regex_search(line, match, quoted)) {
                const std::string to = fs::path(match[1].str()).parent_path().generic_string();
                if (to.empty() || to == folder || allowedEdge(rules, file, folder, to)) continue;
                std::cerr << "src/" << file << ":" << number << ": " << folder << " may not include " << match[1].str()
                          << " (" << to << " is not below it in the allowed edges)\n";
                ++faults;
            } else if (inCore(rules, folder) && std::regex_search(line, match, qt)) {
                std::cerr << "src/" << file << ":" << number << ": " << folder
                          << " is core code and may not include the toolkit (" << match[0].str() << ")\n";
                ++faults;
            }
        }
    }
    if (files == 0) {
        std::cerr << src.string() << ": no source files found\n";
        return 2;
    }
    std::cout << files << " files checked, " << faults << " faults\n";
    return faults == 0 ? 0 : 1;
}
