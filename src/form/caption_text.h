#pragma once

#include <string>

namespace zrk::form {

// A caption: either a localised text id or a fixed text, the same in every language.
struct CaptionText {
    int textId = 0;
    std::string fixed;
};
inline CaptionText txt(int id) { return {id, {}}; }
inline CaptionText fix(std::string text) { return {0, std::move(text)}; }

}  // namespace zrk::form
