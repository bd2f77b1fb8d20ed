#include "fuzz/ZepRoundTrip.h"

#include <cstdint>
#include <string>

#include "core/FileDataStore.h"
#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "core/clsZEPFileItem.h"
#include "fuzz/ReorderCheck.h"
#include "support/Options.h"

namespace zep::fuzz {
namespace {

constexpr std::string_view kTolerance = "000.005";
constexpr std::string_view kPaddingValue = "0.000000";
constexpr std::string_view kPaddingLabel = "    ";

struct Variant {
    std::int32_t perLine;
    bool pad;
    std::int32_t extra;  // labels the list's largest file has beyond this one's rows
};

std::string Write(const ZepFileContents& file, const Options& options, std::int32_t maxNumber) {
    FileDataStore store;
    clsZEPFileItem item(store);
    item.SetFormats(file.Formats);
    item.AdoptCounts(file.VarCount, file.StrCount, file.MidCount);
    StringSink sink;
    if (!WriteZep(sink, item, file.data, options, maxNumber)) {
        return {};
    }
    return sink.text;
}

std::string At(const char* what, std::int32_t i) {
    return std::string(what) + " " + std::to_string(i);
}

// The value the second read must give at (r, c): the first read's, or the padding.
std::string_view ExpectedCell(const ZepFileContents& first, std::int32_t r, std::int32_t c) {
    return r <= first.VarCount && c <= first.VarCount ? first.data.Coordinates(r, c)
                                                      : kPaddingValue;
}

std::string CompareCounts(const ZepFileContents& first, const ZepFileContents& second,
                          const ZepLayout& layout) {
    if (second.Formats != first.Formats) {
        return "format field differs";
    }
    if (second.VarCount != layout.rows || second.StrCount != layout.labels ||
        second.MidCount != layout.deviations) {
        return "counts differ: " + std::to_string(second.VarCount) + " " +
               std::to_string(second.StrCount) + " " + std::to_string(second.MidCount);
    }
    if (second.data.VarCount() != second.VarCount || second.data.LabelCount() != second.StrCount ||
        second.data.DeviationCount() != second.MidCount) {
        return "record not sized to the header";
    }
    return {};
}

std::string CompareData(const ZepFileContents& first, const ZepFileContents& second,
                        const ZepLayout& layout) {
    for (std::int32_t r = 1; r <= layout.rows; ++r) {
        for (std::int32_t c = 1; c <= layout.rows; ++c) {
            if (second.data.Coordinates(r, c) != ExpectedCell(first, r, c)) {
                return At("coordinate differs in row", r) + At(" column", c);
            }
        }
    }
    for (std::int32_t i = 1; i <= layout.labels; ++i) {
        const std::string_view want = i <= first.StrCount ? first.data.Labels(i) : kPaddingLabel;
        if (second.data.Labels(i) != want) {
            return At("label differs at", i);
        }
    }
    for (std::int32_t i = 1; i <= layout.deviations; ++i) {
        const std::string_view want = i <= first.MidCount ? first.data.Deviations(i) : kTolerance;
        if (second.data.Deviations(i) != want) {
            return At("deviation differs at", i);
        }
    }
    return {};
}

std::string CheckVariant(const ZepFileContents& first, const Variant& variant) {
    Options options;
    options.STR_OPT_TOLERANCE = std::string(kTolerance);
    options.LNG_OPT_COUNT_PER_TOLERANCELINE = variant.perLine;
    options.BLN_OPT_ADJTOMAXCOUNT = variant.pad;
    const std::int32_t maxNumber = first.VarCount + variant.extra;
    FileDataStore store;
    clsZEPFileItem item(store);
    item.AdoptCounts(first.VarCount, first.StrCount, first.MidCount);
    const ZepLayout layout = ChooseLayout(item, options, maxNumber);

    const std::string written = Write(first, options, maxNumber);
    ReadResult second = ParseZepFile(written, kTolerance);
    if (!second.ok()) {
        return "written file does not read: " + DescribeReadError(second.error);
    }
    std::string fault = CompareCounts(first, *second.file, layout);
    if (fault.empty()) {
        fault = CompareData(first, *second.file, layout);
    }
    if (fault.empty() && Write(*second.file, options, second.file->VarCount) != written) {
        fault = "writing the file read back gives other bytes";
    }
    return fault.empty() ? fault
                         : fault + " (per line " + std::to_string(variant.perLine) +
                               (variant.pad ? ", padded)" : ", plain)");
}

std::string CheckOneFile(std::string_view bytes) {
    ReadResult first = ParseZepFile(std::string(bytes), kTolerance);
    if (!first.ok()) {
        return first.error.reason.empty() ? "refused without a reason" : std::string();
    }
    // Vary the per-line amount and the padding with the input, so that every file meets each.
    const auto seed = static_cast<std::int32_t>(bytes.size() % 13);
    const Variant variants[] = {
        {11, false, 0}, {1 + seed, false, 2}, {1 + seed % 5, true, 1 + seed % 3}};
    for (const Variant& variant : variants) {
        std::string fault = CheckVariant(*first.file, variant);
        if (!fault.empty()) {
            return fault;
        }
    }
    return {};
}

}  // namespace

std::string CheckZepRoundTrip(std::string_view bytes) {
    std::string fault = CheckOneFile(bytes);
    return fault.empty() ? CheckReorder(bytes) : fault;
}

}  // namespace zep::fuzz
