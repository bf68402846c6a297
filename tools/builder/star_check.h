#pragma once
// The stars of the world: the game starts with 250 to find, and the lighthouse barrier opens only
// when every one is taken, so the areas and the subgames together must offer exactly that many, each
// where the hero can reach it.

#include <vector>

#include "area_source.h"
#include "objects.h"

namespace builder {

inline constexpr int kStarsToFind = 250;
// The subgames' share: the plank and bubbles at sea holds 10 stars and the minecart ride 20 (their
// star lists have room for no more). Their flags are 298 to 327, above every area item's flag.
inline constexpr int kSeaStars = 10;
inline constexpr int kMinecartStars = 20;
inline constexpr int kWorldStars = kStarsToFind - kSeaStars - kMinecartStars;

// Stops the build when the areas do not hold kWorldStars stars (items of type 2) or a star lies where
// the hero cannot take it: inside a wall, in a mapless area, or more than a jump above the ground
// under it.
void checkStars(const std::vector<AreaSource>& areas, const std::vector<AreaGround>& ground);

}  // namespace builder
