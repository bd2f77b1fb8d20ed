// libFuzzer entry: any bytes as the settings file.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "checks/IniRoundTrip.h"

// One folder per run, on a memory file system if any: every rewrite is synced to disk.
static std::string WorkFolder() {
    if (const char* given = std::getenv("ZEP_FUZZ_DIR"); given != nullptr && *given != 0) {
        return given;
    }
    std::string pattern =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/zepfuzz.XXXXXX" : "/tmp/zepfuzz.XXXXXX";
    return mkdtemp(pattern.data());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = WorkFolder();
    const std::string fault =
        zep::checks::CheckIniRoundTrip({reinterpret_cast<const char*>(data), size}, folder);
    if (!fault.empty()) {
        std::fprintf(stderr, "AppINIFuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
