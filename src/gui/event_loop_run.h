#pragma once

namespace zrk::app {
class Program;
}

namespace zrk::gui {

// Hands the started program to Qt's event loop until its window closes.
// An operator who pressed Exit or the close box while the start-up still ran
// (the speed test processes events) has already unloaded the program: there
// is no window left to wait for, so this returns 0 at once instead of
// running a loop that nothing would ever end.
int runUntilClosed(const app::Program& program);

}  // namespace zrk::gui
