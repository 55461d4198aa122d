#pragma once

#include "platform/number_format.h"

namespace zrk::test {

// Regional number settings the tool must read and write alike: the
// separators these regions use, as the system gives them, and one whose
// grouping mark is its decimal mark.
struct Region {
    const char* name;
    platform::NumberFormat numbers;
};

inline const Region kRegions[] = {
    {"C", {".", ","}},          {"en_US", {".", ","}},      {"fr_FR", {",", "\u202f"}},
    {"de_DE", {",", "."}},      {"de_CH", {".", "\u2019"}}, {"es_ES", {",", "."}},
    {"ru_RU", {",", "\u00a0"}}, {"pt_PT", {",", "\u00a0"}}, {"sv_SE", {",", "\u00a0"}},
    {"pl_PL", {",", "\u00a0"}}, {"fi_FI", {",", "\u00a0"}}, {"a grouping mark that is the decimal mark", {",", ","}},
};

}  // namespace zrk::test
