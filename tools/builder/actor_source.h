#pragma once
// The actors of the area sources. A line names the creature's kind and sets its record's fields by
// name ("actor: crawler 640 160 left=600 right=760 speed=0.5"); the builder packs them into the
// 58-byte record the logic copies when the area loads, and writes its bytes other than the type, x
// and y (50 of them) as the actor's "data" in world.json. A line with a type number and hex digits
// ("actor: 7 640 160 HEX") gives those bytes directly.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace builder {

struct AreaGround;

inline constexpr int kActorRecordBytes = 58;
inline constexpr int kMaxActorsPerArea = 40;

struct ActorSource {
  int type = 0, x = 0, y = 0;
  std::string data;  // hex digits: the record without its type, x and y
  int line = 0;
  bool named = false;  // written with a kind and named fields (the placement checks read them)
  std::array<std::uint8_t, kActorRecordBytes> record{};
};

// Reads the words after "actor:" (KIND X Y name=value... or TYPE X Y HEX). Every fault stops the
// build with the file and line.
ActorSource readActor(const std::vector<std::string>& words, const std::filesystem::path& file, int line);

// The names of the kinds, by type number (for messages and the documents).
const char* actorKindName(int type);

// Where a named actor can touch the hero over its whole motion, in area pixels, [x0, x1) x [y0, y1).
struct ActorReach {
  int x0, y0, x1, y1;
};
ActorReach actorReach(const ActorSource& actor);

// The placement rules, for every area: at most 40 actors; the walkers and crawlers have ground under
// their feet and room above it along their whole way; no actor reaches within 8 pixels of a star or
// of a place where the logic puts the hero down (`arrivals`: his top-left corners), nor into the way
// of a hero who drops in from the top of the area (`drops`: the restart points of the exits through
// the bottom of the area above; he falls from y 0 and drifts up to 100 pixels west). Actors belong to
// areas with a map, and to the title's (area 50).
struct ActorArea {
  std::filesystem::path file;
  int id = 0;
  const std::vector<ActorSource>* actors = nullptr;
  std::vector<std::array<int, 3>> stars;  // x, y, source line
  std::vector<std::array<int, 2>> arrivals;
  std::vector<std::array<int, 2>> drops;
};
void checkActors(const std::vector<ActorArea>& areas, const std::vector<AreaGround>& ground);

}  // namespace builder
