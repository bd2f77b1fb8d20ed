#pragma once

#include <ostream>

namespace zep::cli {

// Results go to out, messages and refusals to err; returns the exit code.
int RunZepconv(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zep::cli
