#pragma once
// Areas: loading and entering an area, the camera, putting the hero somewhere, exits, doors, the animated
// blocks, the palette variants, the area's music and its handler.

#include <cstdint>

#include "sim/core/context.h"

namespace world {
struct Area;
}

namespace sim::areas {

// The area cache for area n; false when the area has no map.
bool refreshAreaCache(Context& c, std::int64_t n);
// Lays again the walls and floors the current area's set pieces keep changed, after its cache was refreshed
// outside the game step (a saved or searched state loaded), so that the hero's next move meets the map the
// step that left the state saw.
void reapplyKeptCollision(Context& c);
// Loads area n: its cache, its actors, and the per-area resets. Stops the game when the area has no map.
bool loadArea(Context& c, std::int64_t n);
// Copies an area's actor records into the actors block as loadArea does.
void loadAreaActors(Context& c, const world::Area& area);
// The first frame in a newly loaded area: its blocks, the panel, the hero, the handler and the actors.
void enterArea(Context& c);
// The camera follows the hero's x: camera_x and sprite_x.
void updateCamera(Context& c);
// Puts a reset hero at (x, y) (16.16) in an area, with the camera, and clears a death: the respawn after a
// lost life and the teleport.
void respawnAt(Context& c, std::int64_t area, std::int64_t x, std::int64_t y);
// Puts the hero at (x, y) (pixels) in an area and makes it his restart point.
void teleportHero(Context& c, std::int64_t area, std::int64_t x, std::int64_t y);

// Leaving the area above the map, below it, or past a cave's side edge.
void exitCheck(Context& c);
// UP alone in front of an open door acts as B.
std::uint8_t doorRule(const Context& c, std::uint8_t pad);
// The first open door of this area in front of the hero, or -1.
int doorAtHero(const Context& c);
// B at a door: true when a door took the hero through.
bool doorPassage(Context& c);
// A door that opens with an animation: door_states record `record`, door `door`, drawn at (x, y).
void animatedDoor(Context& c, int record, int door, std::int64_t x, std::int64_t y);

void animatedBlockCheck(Context& c);
void paletteVariantTimer(Context& c);
// A palette fade in progress stops.
void cancelPaletteFade(Context& c);
// The lamp of area 6 ($0062E4).
void area6Lamp(Context& c);
// The area's handler ($005BA6) and then the area's music.
void runAreaHandler(Context& c);
void areaMusic(Context& c);

}  // namespace sim::areas
