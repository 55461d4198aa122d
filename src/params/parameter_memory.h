#pragma once

namespace zrk::app {
class Program;
}

namespace zrk::params {

// How an identification, read or write ended, for callers without a window.
enum class Outcome {
    Done,
    NoAnswer,       // the unit did not answer a transaction
    Cancelled,      // the operator pressed Cancel
    BadData,        // a field that does not convert or a cell that does not fit
    NothingToDo,    // a write with no unit read into the form
    PortError,      // the port could not be used
    WrongUnit,      // another unit is on the line than the one read
    NotVerified,    // the unit does not hold what was written
};

// Reads the in-use map and shows the fields this unit has. When a
// transaction gets no answer the window is left exactly as it was.
Outcome IdentificarZRK(app::Program& program);
// Reads every in-use address and decodes the image into the fields; a failed
// transaction decodes nothing.
Outcome LeerZRK(app::Program& program);
// Encodes the fields (the unchanged ones as the cells they were loaded
// from), checks the whole image and that the unit read is the one on the
// line, writes the in-use addresses, then reads them back.
Outcome EscribirZRK(app::Program& program);

// The buttons: identify then read; write.
Outcome readUnit(app::Program& program);
Outcome writeUnit(app::Program& program);
void wireParameterMemory(app::Program& program);

}  // namespace zrk::params
