#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace zep {

// Free room is left uncleared, so reading a large file writes each byte once, not twice.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::string_view bytes) { Append(bytes); }
    ByteBuffer(ByteBuffer&&) noexcept = default;
    ByteBuffer& operator=(ByteBuffer&&) noexcept = default;
    // A copy holds the content only; its room past the content is not carried over.
    ByteBuffer(const ByteBuffer& other)
        : ByteBuffer(std::string_view(other.data(), other.size())) {}
    ByteBuffer& operator=(const ByteBuffer& other) { return *this = ByteBuffer(other); }

    const char* data() const { return data_.get(); }
    char* data() { return data_.get(); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

    void Reserve(std::size_t capacity) {
        if (capacity <= capacity_) {
            return;
        }
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ > 0) {
            std::memcpy(grown.get(), data_.get(), size_);
        }
        data_ = std::move(grown);
        capacity_ = capacity;
    }

    void SetSize(std::size_t size) { size_ = size; }

    // bytes may lie inside this buffer: they are copied before the old room is let go.
    void Append(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (bytes.size() > capacity_ - size_) {
            ByteBuffer grown;
            grown.Reserve(std::max(size_ + bytes.size(), capacity_ * 2));
            grown.Append(std::string_view(data(), size_));
            grown.Append(bytes);
            *this = std::move(grown);
            return;
        }
        std::memmove(data_.get() + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace zep
