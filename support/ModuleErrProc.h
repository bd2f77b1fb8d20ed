#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/MessageSink.h"

namespace zep {

// The report of an unexpected run-time error: three lines naming the routine and the number.
std::string ErrProcText(std::string_view ModuleName, std::int32_t ErrNumber);

void ErrProc(MessageSink& messages, std::string_view ModuleName, std::int32_t ErrNumber);

}  // namespace zep
