#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// Where a writer puts its bytes. Write returns false once the output has failed; later writes
// keep failing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// Replaces a file only once its new content is complete: the bytes go to a temporary file in
// the target's folder, which is renamed over the target by Commit. Until then, and whenever
// anything fails, the target stays exactly as it was; an uncommitted temporary file is removed.
class SafeFileWriter final : public ByteSink {
public:
    explicit SafeFileWriter(std::string target);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file; false (with Error set) when the folder cannot take it.
    bool Open();
    bool Write(std::string_view bytes) override;
    // Flushes, syncs and renames over the target. The file counts as saved only when this
    // returns true.
    bool Commit();

    // Why the last step failed, for messages.
    const std::string& Error() const { return error_; }

private:
    bool Flush();
    bool WriteAll(std::string_view bytes);
    bool Fail(const char* what);
    void Discard();

    std::string target_;
    std::string tempPath_;
    std::string error_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    bool failed_ = false;
};

// Writes bytes as the whole new content of path, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Reads a whole file; false when it cannot be opened or read. spare bytes of capacity are kept
// free past the end, for a caller that appends a little without copying the whole content.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t spare = 0);

}  // namespace zep
