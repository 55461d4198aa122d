#pragma once

#include <string>
#include <vector>

namespace zrk::platform {

// Starts other programs (the help viewer) as processes of their own, which
// the tool neither waits for nor watches.
class ProcessLauncher {
public:
    struct Outcome {
        enum class Kind { Started, NotFound, Failed };
        Kind kind = Kind::Started;
        std::string error;  // the system's description when not started
        bool started() const { return kind == Kind::Started; }
    };
    virtual ~ProcessLauncher() = default;

    // Starts `program` (looked up on the search path) with `arguments`, in a
    // normal window that takes the focus, and returns at once.
    virtual Outcome startDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;

    // For platforms that start nothing (zrkctl, most tests): every program is
    // reported missing.
    static ProcessLauncher& none() {
        class None : public ProcessLauncher {
        public:
            Outcome startDetached(const std::string& program, const std::vector<std::string>&) override {
                return {Outcome::Kind::NotFound, program + ": starting programs is not available here"};
            }
        };
        static None instance;
        return instance;
    }
};

}  // namespace zrk::platform
