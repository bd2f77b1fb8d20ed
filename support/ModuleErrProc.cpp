#include "support/ModuleErrProc.h"

namespace zep {

std::string ErrProcText(std::string_view ModuleName, std::int32_t ErrNumber) {
    std::string text = "Unknow Error :\r\nModule:";
    text.append(ModuleName);
    text.append("\r\nCode: ");
    text.append(std::to_string(ErrNumber));
    return text;
}

void ErrProc(MessageSink& messages, std::string_view ModuleName, std::int32_t ErrNumber) {
    messages.ShowMessage(ErrProcText(ModuleName, ErrNumber), MessageIcon::Critical);
}

}  // namespace zep
