#include "support/ModuleErrProc.h"

namespace zep {

std::string ErrProcText(std::string_view ModuleName, std::int32_t ErrNumber) {
    return "Unknow Error :\r\nModule:" + std::string(ModuleName) +
           "\r\nCode: " + std::to_string(ErrNumber);
}

void ErrProc(MessageSink& messages, std::string_view ModuleName, std::int32_t ErrNumber) {
    messages.ShowMessage(ErrProcText(ModuleName, ErrNumber), MessageIcon::Critical);
}

}  // namespace zep
