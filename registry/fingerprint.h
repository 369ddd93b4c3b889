#pragma once
// What identifies a file's bytes without keeping them: their size and a 128-bit hash. The store
// compares the registry file's fingerprint with the one it last read or wrote to see whether
// another program changed it; fingerprints are never kept beyond the process, so the hash may
// change with the library that makes it.

#ifndef _WIN32

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace registry {

struct Fingerprint {
    size_t size = 0;
    uint64_t low = 0;
    uint64_t high = 0;
    bool operator==(const Fingerprint&) const = default;
};

// Fingerprints bytes handed over in pieces of any size, as a file is read.
class FingerprintBuilder {
  public:
    FingerprintBuilder();
    ~FingerprintBuilder();
    FingerprintBuilder(const FingerprintBuilder&) = delete;
    FingerprintBuilder& operator=(const FingerprintBuilder&) = delete;

    void Add(std::string_view bytes);
    // Of everything added so far; more may be added after.
    Fingerprint Finish() const;

  private:
    struct State;  // the hash's streaming state, kept out of this header
    std::unique_ptr<State> state_;
    size_t size_ = 0;
};

Fingerprint FingerprintOf(std::string_view bytes);

}  // namespace registry

#endif
