#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FileData.h"
#include "core/clsZEPFileItem.h"
#include "support/Options.h"
#include "support/SafeFileWriter.h"

namespace zep {

// The counts a file is written with: its own, or all three raised to the list's MaxNumber.
struct ZepLayout {
    std::int32_t rows = 0;
    std::int32_t labels = 0;
    std::int32_t deviations = 0;
    bool padded = false;
};

// The padded form is used when BLN_OPT_ADJTOMAXCOUNT is on and the file has fewer rows than
// maxNumber; a file whose labels or deviations outnumber maxNumber keeps its own counts, since
// padding would cut them off.
ZepLayout ChooseLayout(const clsZEPFileItem& item, const Options& options, std::int32_t maxNumber);

// Writes the file described by item, with the contents of data, in the coordinate file format.
// False once the sink has failed.
bool WriteZep(ByteSink& sink, const clsZEPFileItem& item, const FileData& data,
              const Options& options, std::int32_t maxNumber);

}  // namespace zep
