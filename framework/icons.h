#pragma once
// Icons by resource id. The framework does not hold pictures itself: the program installs a
// provider once at start-up (for instance from its Qt resources).

#include <QIcon>
#include <functional>

namespace fw {

using IconProvider = std::function<QIcon(int iconId)>;

// Installs the provider (an empty function removes it).
void SetIconProvider(IconProvider provider);
// The icon for `iconId`; a null icon without a provider or for unknown ids.
QIcon LoadIcon(int iconId);

}  // namespace fw
