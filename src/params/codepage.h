#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrk::params {

// The unit stores its identification text as bytes of the Western Windows
// code page (1252); the tool keeps text as UTF-8.

// The character of a code, as UTF-8; nothing for the five codes the code
// page leaves undefined.
std::optional<std::string> characterOfCode(std::uint8_t code);
// The characters of a UTF-8 text (a malformed byte counts as one character).
std::vector<std::string> characters(const std::string& utf8);
// The code of one character ('?' for a character the code page lacks).
std::uint8_t codeOfCharacter(const std::string& character);

}  // namespace zrk::params
