#pragma once

#include <ostream>

namespace zep::cli {

// The batch tool: parses the command line, runs the verb and returns the exit code. Results go
// to out, messages and refusals to err.
int RunZepconv(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zep::cli
