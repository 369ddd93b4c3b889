#include "framework/icons.h"

#include <utility>

namespace fw {
namespace {

IconProvider& Provider() {
    static IconProvider provider;
    return provider;
}

}  // namespace

void SetIconProvider(IconProvider provider) {
    Provider() = std::move(provider);
}

QIcon LoadIcon(int iconId) {
    const IconProvider& provider = Provider();
    return provider ? provider(iconId) : QIcon();
}

}  // namespace fw
