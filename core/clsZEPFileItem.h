#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/FileIdentity.h"
#include "support/SafeFileReader.h"

namespace zep {

class FileData;
class FileDataStore;

// Count setters size the record FileDataIndex names, so it must exist before a count is set.
class clsZEPFileItem {
public:
    explicit clsZEPFileItem(FileDataStore& store) : store_(&store) {}

    std::int32_t FileDataIndex() const { return fileDataIndex_; }
    void SetFileDataIndex(std::int32_t index) { fileDataIndex_ = index; }

    // Each returns false, changing nothing, when FileDataIndex names no record or n < 1.
    bool SetVarCount(std::int32_t n);
    bool SetStrCount(std::int32_t n);
    bool SetMidCount(std::int32_t n);
    std::int32_t VarCount() const { return varCount_; }
    std::int32_t StrCount() const { return strCount_; }
    std::int32_t MidCount() const { return midCount_; }

    // Takes the counts of a record that the reader has already sized and filled.
    void AdoptCounts(std::int32_t var, std::int32_t str, std::int32_t mid);

    const std::string& Formats() const { return formats_; }
    void SetFormats(std::string formats) { formats_ = std::move(formats); }
    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& Key() const { return key_; }
    void SetKey(std::string key) { key_ = std::move(key); }
    // Which file Path reached when it was read; empty once a save may have changed that.
    const FileIdentity& Identity() const { return identity_; }
    void SetIdentity(FileIdentity identity) { identity_ = std::move(identity); }
    // The file's state when this program last read or saved it, to see another program's edits.
    const std::optional<SafeFileReader::Stamp>& OnDisk() const { return onDisk_; }
    void SetOnDisk(std::optional<SafeFileReader::Stamp> stamp) { onDisk_ = stamp; }

private:
    bool SetCount(std::int32_t n, std::int32_t& count, void (FileData::*size)(std::int32_t));

    FileDataStore* store_;
    std::int32_t fileDataIndex_ = 0;
    std::string key_;
    std::string title_;
    std::string path_;
    std::string formats_;
    FileIdentity identity_;
    std::optional<SafeFileReader::Stamp> onDisk_;
    std::int32_t varCount_ = 0;
    std::int32_t strCount_ = 0;
    std::int32_t midCount_ = 0;
};

}  // namespace zep
