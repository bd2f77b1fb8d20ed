#include "checks/ZepRoundTrip.h"

#include <cstdint>
#include <string>

#include "checks/ReorderCheck.h"
#include "core/FileDataStore.h"
#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "core/clsZEPFileItem.h"
#include "support/Options.h"

namespace zep::checks {
namespace {

constexpr std::string_view kTolerance = "000.005";
constexpr std::int32_t kMostCheckedDeviations = 1 << 16;
constexpr std::string_view kPaddingValue = "0.000000";
constexpr std::string_view kPaddingLabel = "    ";

struct Variant {
    std::int32_t perLine;
    bool pad;
    std::int32_t extra;  // labels the list's largest file has beyond this one's rows
};

// The bytes a save writes, and the layout it chose; none when the write fails.
std::string Write(const ZepFileContents& file, const Options& options, std::int32_t maxNumber,
                  ZepLayout* layout = nullptr) {
    FileDataStore store;
    clsZEPFileItem item(store);
    item.SetFormats(file.Formats);
    item.AdoptCounts(file.VarCount, file.StrCount, file.MidCount);
    if (layout != nullptr) {
        *layout = ChooseLayout(item, options, maxNumber);
    }
    StringSink sink;
    return WriteZep(sink, item, file.data, options, maxNumber) ? sink.text : std::string();
}

std::string CheckVariant(const ZepFileContents& first, const Variant& variant) {
    Options options;
    options.STR_OPT_TOLERANCE = std::string(kTolerance);
    options.LNG_OPT_COUNT_PER_TOLERANCELINE = variant.perLine;
    options.BLN_OPT_ADJTOMAXCOUNT = variant.pad;
    const std::int32_t maxNumber = first.VarCount + variant.extra;
    ZepLayout layout;
    const std::string written = Write(first, options, maxNumber, &layout);
    ReadResult second = ParseZepFile(written, kTolerance);
    if (!second.ok()) {
        return "written file does not read: " + DescribeReadError(second.error);
    }
    std::string fault;
    if (Describe(*second.file) != Describe(first, layout)) {
        fault = "the file read back differs from the one written, padded to its layout";
    } else if (Write(*second.file, options, second.file->VarCount) != written) {
        fault = "writing the file read back gives other bytes";
    }
    return fault.empty() ? fault
                         : fault + " (per line " + std::to_string(variant.perLine) +
                               (variant.pad ? ", padded)" : ", plain)");
}

}  // namespace

std::string Piece(std::string_view text) {
    return std::to_string(text.size()) + ":" + std::string(text) + " ";
}

std::string Describe(const ZepFileContents& file, const ZepLayout& to) {
    std::string text = Piece(file.Formats) + std::to_string(to.rows) + " " +
                       std::to_string(to.labels) + " " + std::to_string(to.deviations) + " ";
    const FileData& held = file.data;
    for (std::int32_t r = 1; r <= to.rows; ++r) {
        for (std::int32_t c = 1; c <= to.rows; ++c) {
            const bool has = r <= held.VarCount() && c <= held.VarCount();
            text += Piece(has ? held.Coordinates(r, c) : kPaddingValue);
        }
    }
    for (std::int32_t i = 1; i <= to.labels; ++i) {
        text += Piece(i <= held.LabelCount() ? held.Labels(i) : kPaddingLabel);
    }
    for (std::int32_t i = 1; i <= to.deviations; ++i) {
        text += Piece(i <= held.DeviationCount() ? held.Deviations(i) : kTolerance);
    }
    return text;
}

std::string Describe(const ZepFileContents& file) {
    return Describe(file, {file.VarCount, file.StrCount, file.MidCount});
}

std::string CheckZepRoundTrip(std::string_view bytes) {
    ReadResult first = ParseZepFile(std::string(bytes), kTolerance);
    if (!first.ok()) {
        return first.error.reason.empty() ? "refused without a reason" : std::string();
    }
    // Millions of default deviations read fine; writing and reordering them again and again
    // would only time the fuzzer out.
    if (first.file->MidCount > kMostCheckedDeviations) {
        return {};
    }
    // Vary the per-line amount and the padding with the input, so that every file meets each.
    const auto seed = static_cast<std::int32_t>(bytes.size() % 13);
    const Variant variants[] = {
        {11, false, 0}, {1 + seed, false, 2}, {1 + seed % 5, true, 1 + seed % 3}};
    for (const Variant& variant : variants) {
        if (std::string fault = CheckVariant(*first.file, variant); !fault.empty()) {
            return fault;
        }
    }
    return CheckReorder(bytes);
}

}  // namespace zep::checks
