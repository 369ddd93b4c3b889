#include "registry/page_buffer.h"

#include <cstdint>
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
    // Huge pages need an aligned start: map a huge page more and give back what lies outside.
    const size_t slack = capacity >= kHugePage ? kHugePage : 0;
    void* p = ::mmap(nullptr, capacity + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                     -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    char* start = static_cast<char*>(p);
    if (slack > 0) {
        char* aligned =
            reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(start), kHugePage));
        if (aligned > start)
            ::munmap(start, static_cast<size_t>(aligned - start));
        if (aligned + capacity < start + capacity + slack)
            ::munmap(aligned + capacity, static_cast<size_t>(start + slack - aligned));
        start = aligned;
#ifdef MADV_HUGEPAGE
        ::madvise(start, capacity, MADV_HUGEPAGE);
#endif
    }
    return start;
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
    // Whole huge pages once it is large (from half of one), so growing by doubling stays
    // aligned to them.
    const size_t rounded = RoundUp(capacity, capacity >= kHugePage / 2 ? kHugePage : 4096);
    char* fresh = Allocate(rounded);
    if (size_ > 0)
        std::memcpy(fresh, data_, size_);
    Release(data_, capacity_);
    data_ = fresh;
    capacity_ = rounded;
}

void PageBuffer::ReleaseSlack() {
#ifndef _WIN32
    const size_t used = RoundUp(size_, 4096);
    if (data_ != nullptr && used < capacity_)
        ::madvise(data_ + used, capacity_ - used, MADV_DONTNEED);
#endif
}

void PageBuffer::Resize(size_t size) {
    if (size > capacity_)
        Reserve(size > capacity_ * 2 ? size : capacity_ * 2);
    size_ = size;
}

void PageBuffer::AppendGrowing(const char* bytes, size_t count) {
    // The source may lie in this buffer.
    const bool inside = bytes >= data_ && bytes < data_ + size_;
    const size_t offset = inside ? static_cast<size_t>(bytes - data_) : 0;
    Resize(size_ + count);
    size_ -= count;
    if (inside)
        bytes = data_ + offset;
    std::memcpy(data_ + size_, bytes, count);
    size_ += count;
}

}  // namespace registry
