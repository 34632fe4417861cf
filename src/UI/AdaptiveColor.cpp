#include "UI/AdaptiveColor.h"

#include "Platform/Platform.h"

namespace kestr {

namespace {

int openLightScopes = 0;

}  // namespace

bool AdaptiveColor::darkAppearance() {
    if (openLightScopes > 0 || !hasPlatform()) return false;
    return platform().appearance().isDark();
}

QColor AdaptiveColor::resolved() const { return darkAppearance() ? dark : light; }

AdaptiveColor::LightScope::LightScope() { ++openLightScopes; }

AdaptiveColor::LightScope::~LightScope() { --openLightScopes; }

}  // namespace kestr
