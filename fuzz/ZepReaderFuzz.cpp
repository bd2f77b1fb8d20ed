// libFuzzer entry: any bytes as a coordinate file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/ZepRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault =
        zep::checks::CheckZepRoundTrip({reinterpret_cast<const char*>(data), size});
    if (!fault.empty()) {
        std::fprintf(stderr, "ZepReaderFuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
