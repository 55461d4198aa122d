#pragma once

#include <string>

namespace zrk::texts {

// The captions, list items, help-file name and the two messages that follow
// the operator's language. Looked up by their numeric id.
class TextTable {
public:
    // The text of `id` in the active set; an id that is not in the table is a
    // programming error and gives "<id>" so that it shows up on screen.
    std::string CargarTexto(int id) const;
};

}  // namespace zrk::texts
