#pragma once

#include <string>

namespace zep {

// Starts another program as a process of its own, without a shell and without waiting for it.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // False when the program could not be started.
    virtual bool StartDetached(const std::string& program) = 0;
};

// Starts programs through the operating system.
class DetachedProcessLauncher : public ProgramLauncher {
public:
    bool StartDetached(const std::string& program) override;
};

}  // namespace zep
