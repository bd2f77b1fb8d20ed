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

// Labels or deviations beyond maxNumber keep a file's own counts, since padding would cut them.
ZepLayout ChooseLayout(const clsZEPFileItem& item, const Options& options, std::int32_t maxNumber);

// False once the sink has failed.
bool WriteZep(ByteSink& sink, const clsZEPFileItem& item, const FileData& data,
              const Options& options, std::int32_t maxNumber);

}  // namespace zep
