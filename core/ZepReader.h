#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/FileData.h"
#include "support/FileIdentity.h"
#include "support/SafeFileReader.h"

namespace zep {

// line is 1-based, 0 for the file as a whole.
struct ReadError {
    std::int32_t line = 0;
    std::string reason;
};

std::string DescribeReadError(const ReadError& error);

struct ZepFileContents {
    std::string Formats;
    std::int32_t VarCount = 0;
    std::int32_t StrCount = 0;
    std::int32_t MidCount = 0;
    FileData data;
};

// Either the whole file or the reason it was refused; never half of one.
struct ReadResult {
    std::optional<ZepFileContents> file;
    ReadError error;
    bool ok() const { return file.has_value(); }
};

// Default deviations for a file without the block: 64 MB of references at most.
constexpr std::int32_t kMostDefaultDeviations = std::int32_t{1} << 24;

// tolerance fills the deviations of a file that has no deviation block.
ReadResult ParseZepFile(std::string_view bytes, std::string_view tolerance);

// identity gets the file once open, stamp the state it was read in; both optional.
ReadResult LoadZEPFile(const std::string& path, std::string_view tolerance,
                       std::optional<FileIdentity>* identity = nullptr,
                       std::optional<SafeFileReader::Stamp>* stamp = nullptr);

}  // namespace zep
