// libFuzzer entry: any bytes as the settings file.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "checks/IniRoundTrip.h"

namespace {

// One folder for the whole run: ZEP_FUZZ_DIR (tools/fuzz.sh makes and removes it), else a
// new one, on a memory file system when there is one, since every rewrite is synced to disk.
const std::string& WorkFolder() {
    static const std::string folder = [] {
        if (const char* given = std::getenv("ZEP_FUZZ_DIR"); given != nullptr && *given != 0) {
            return std::string(given);
        }
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/zepfuzz.XXXXXX" : "/tmp/zepfuzz.XXXXXX";
        return std::string(mkdtemp(pattern.data()));
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault =
        zep::checks::CheckIniRoundTrip({reinterpret_cast<const char*>(data), size}, WorkFolder());
    if (!fault.empty()) {
        std::fprintf(stderr, "AppINIFuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
