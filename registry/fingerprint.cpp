// The fingerprint is XXH3's 128-bit hash: maintained, checked against its reference vectors by
// its makers, and faster over a whole registry file than the store's earlier hand-made hash.
#ifndef _WIN32

#include "registry/fingerprint.h"

#define XXH_STATIC_LINKING_ONLY  // the state lives inside State, not on the heap by itself
#include <xxhash.h>

namespace registry {

struct FingerprintBuilder::State {
    XXH3_state_t hash;
};

FingerprintBuilder::FingerprintBuilder() : state_(std::make_unique<State>()) {
    XXH3_INITSTATE(&state_->hash);
    XXH3_128bits_reset(&state_->hash);
}

FingerprintBuilder::~FingerprintBuilder() = default;

void FingerprintBuilder::Add(std::string_view bytes) {
    size_ += bytes.size();
    XXH3_128bits_update(&state_->hash, bytes.data(), bytes.size());
}

Fingerprint FingerprintBuilder::Finish() const {
    const XXH128_hash_t hash = XXH3_128bits_digest(&state_->hash);
    return Fingerprint{size_, hash.low64, hash.high64};
}

Fingerprint FingerprintOf(std::string_view bytes) {
    const XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
    return Fingerprint{bytes.size(), hash.low64, hash.high64};
}

}  // namespace registry

#endif
