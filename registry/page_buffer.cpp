#include "registry/page_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace registry {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

char* Allocate(size_t capacity) {
#ifdef _WIN32
    char* p = static_cast<char*>(std::malloc(capacity));
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
#else
    void* p = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    if (capacity >= kHugePage)
        ::madvise(p, capacity, MADV_HUGEPAGE);
#endif
    return static_cast<char*>(p);
#endif
}

void Release(char* p, size_t capacity) {
    if (p == nullptr)
        return;
#ifdef _WIN32
    (void)capacity;
    std::free(p);
#else
    ::munmap(p, capacity);
#endif
}

}  // namespace

PageBuffer::~PageBuffer() {
    Release(data_, capacity_);
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
        Release(data_, capacity_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void PageBuffer::Reserve(size_t capacity) {
    if (capacity <= capacity_)
        return;
    // Whole huge pages once it is large, so growing by doubling stays aligned to them.
    const size_t rounded = RoundUp(capacity, capacity >= kHugePage ? kHugePage : 4096);
    char* fresh = Allocate(rounded);
    if (size_ > 0)
        std::memcpy(fresh, data_, size_);
    Release(data_, capacity_);
    data_ = fresh;
    capacity_ = rounded;
}

void PageBuffer::Resize(size_t size) {
    if (size > capacity_)
        Reserve(size > capacity_ * 2 ? size : capacity_ * 2);
    size_ = size;
}

void PageBuffer::Append(const char* bytes, size_t count) {
    if (count == 0)
        return;
    if (size_ + count > capacity_) {
        // The source may lie in this buffer.
        const bool inside = bytes >= data_ && bytes < data_ + size_;
        const size_t offset = inside ? static_cast<size_t>(bytes - data_) : 0;
        Resize(size_ + count);
        size_ -= count;
        if (inside)
            bytes = data_ + offset;
    }
    std::memmove(data_ + size_, bytes, count);
    size_ += count;
}

}  // namespace registry
