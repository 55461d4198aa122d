#pragma once

namespace zrk::app {
class Program;
}

namespace zrk::tables {

// Connects the page's grid, colour labels and buttons to the flash-pattern
// procedures; the two transfers run as device operations.
void wireFlashTable(app::Program& program);

}  // namespace zrk::tables
