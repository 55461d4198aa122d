#include "ops/outcome.h"

namespace zrk::ops {

const char* endName(End end) {
    switch (end) {
        case End::Done:
            return "done";
        case End::NoAnswer:
            return "no answer";
        case End::Cancelled:
            return "cancelled";
        case End::BadData:
            return "bad data";
        case End::NothingToDo:
            return "nothing to do";
        case End::PortError:
            return "port error";
        case End::WrongUnit:
            return "wrong unit";
        case End::NotVerified:
            return "not verified";
        case End::NotRecorded:
            return "not recorded";
        case End::NotStarted:
            return "not started";
    }
    return "?";
}

}  // namespace zrk::ops
