#include "support/ProgramInfo.h"

namespace zep {

std::string VersionNumber() {
    return std::to_string(ZEP_VERSION_MAJOR) + '.' + std::to_string(ZEP_VERSION_MINOR) + '.' +
           std::to_string(ZEP_VERSION_PATCH);
}

std::string_view LicenceText() {
    // Made from LICENSE when the build is configured, so the programs never carry a stale copy.
    static constexpr std::string_view text =
#include "support/LicenceText.inc"
        ;
    return text;
}

std::string VersionText(std::string_view program) {
    return std::string(program) + " (ZEP Converter) " + VersionNumber() + "\n\n" +
           std::string(LicenceText());
}

}  // namespace zep
