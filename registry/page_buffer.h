#pragma once
// A growable byte buffer for the store's large blocks (a registry file's bytes, the key tree's
// arena). Its memory comes straight from the system, in huge pages where the system offers them,
// so filling tens of megabytes costs a few page faults instead of thousands, and its bytes are
// not cleared first. Standard library only on Windows.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace registry {

class PageBuffer {
  public:
    PageBuffer() = default;
    ~PageBuffer();
    PageBuffer(PageBuffer&& other) noexcept;
    PageBuffer& operator=(PageBuffer&& other) noexcept;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    char* data() { return data_; }
    const char* data() const { return data_; }
    size_t size() const { return size_; }
    std::string_view View() const { return std::string_view(data_, size_); }

    // Makes room for `capacity` bytes without changing the size (throws std::bad_alloc).
    void Reserve(size_t capacity);
    // New bytes are not initialised.
    void Resize(size_t size);
    void Append(const char* bytes, size_t count) {
        if (size_ + count > capacity_) {
            AppendGrowing(bytes, count);
            return;
        }
        if (count > 0)
            std::memcpy(data_ + size_, bytes, count);  // bytes of this buffer lie before size_
        size_ += count;
    }
    void Clear() { size_ = 0; }
    // Gives the memory past the size back to the system (it stays reserved, and is taken
    // again when the buffer grows into it): for a buffer that is done growing for now.
    void ReleaseSlack();

  private:
    void AppendGrowing(const char* bytes, size_t count);

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace registry
