#pragma once

#include <string>

namespace zrk::cli {

// A JSON string literal, quotes included; control characters escaped.
std::string jsonString(const std::string& text);

}  // namespace zrk::cli
