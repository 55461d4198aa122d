#include "gui/event_loop_run.h"

#include <QApplication>

#include "app/program.h"

namespace zrk::gui {

int runUntilClosed(const app::Program& program) {
    if (program.unloaded()) return 0;
    return QApplication::exec();
}

}  // namespace zrk::gui
