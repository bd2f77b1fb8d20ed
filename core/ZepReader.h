#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/FileData.h"
#include "support/FileIdentity.h"
#include "support/SafeFileReader.h"

namespace zep {

// Why a file cannot be read: the 1-based line where the reader gave up (0 for the file as a
// whole) and a short reason a person can act on.
struct ReadError {
    std::int32_t line = 0;
    std::string reason;
};

// "reason (line N)", or the bare reason for the file as a whole.
std::string DescribeReadError(const ReadError& error);

// A coordinate file as read: the header's format field and counts, and a record already sized
// to those counts and filled.
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

// At most this many deviations are filled with the default for a file without a deviation
// block: 64 MB of references. A file with the block is bounded by its size instead.
constexpr std::int32_t kMostDefaultDeviations = std::int32_t{1} << 24;

// Reads a coordinate file from its bytes. tolerance fills the deviations of a file that has
// no deviation block.
ReadResult ParseZepFile(std::string_view bytes, std::string_view tolerance);

// Reads the file at path. identity, when given, gets which file that was once it is open, and
// stamp, when given, the state it was read in.
ReadResult LoadZEPFile(const std::string& path, std::string_view tolerance,
                       std::optional<FileIdentity>* identity = nullptr,
                       std::optional<SafeFileReader::Stamp>* stamp = nullptr);

}  // namespace zep
