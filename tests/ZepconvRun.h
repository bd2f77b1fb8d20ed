#pragma once

// Runs the batch tool in-process, as its main would, and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Zepconv.h"

namespace zep::test {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

inline Outcome Zepconv(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"zepconv"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out, err;
    const int code = cli::RunZepconv(static_cast<int>(argv.size()), argv.data(), out, err);
    return Outcome{code, out.str(), err.str()};
}

}  // namespace zep::test
