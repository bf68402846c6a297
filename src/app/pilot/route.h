#pragma once
// Route scripts: one command per line (reach this place, hold these pads, collect the stars here, ...), each
// carried out by the autopilot on a simulated game.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace app::pilot {

// One term of a condition list: NAME, or NAME with an operator and a number, possibly negated with "!".
struct Condition {
  std::string name;
  std::string op;  // "" when none; ">=", "<=", ">", "<", "!=", anything else means equality
  std::int64_t value = 0;
  bool negate = false;
  bool hasValue = false;
};

struct RouteCommand {
  int line = 0;
  std::string word;  // the command
  std::string text;  // the rest of the line as written: messages and the cache key
  std::uint8_t pad = 0;
  std::int64_t count = -1;
  std::vector<Condition> conditions;
  std::vector<std::int64_t> numbers;  // the "via" areas; for collect also the skipped items, complemented
  std::string label;                  // mark, show and sub
  bool tryOnly = false;               // collect try
  std::int64_t object = -1;           // pick, drop, front
};

// The pad byte of a word list joined with "+" ("R+C", "left", "none"); nothing for an unknown word.
std::optional<std::uint8_t> parsePads(std::string_view words);
// A condition list ("x>=300 and !air"); nothing when a term does not read.
std::optional<std::vector<Condition>> parseConditions(std::string_view text);
// One line without its comment: the command, or the reason it cannot be read.
std::variant<RouteCommand, std::string> parseRouteLine(std::string_view line, int lineNumber);
// The whole file: every error is logged as "FILE:LINE: reason"; nothing when any line is bad.
std::optional<std::vector<RouteCommand>> parseRoute(std::string_view text, const std::string& fileName);

// Whether a condition list names a search option or term ("nodes", "anywhere", ...), and its value.
const Condition* findTerm(const std::vector<Condition>& conditions, std::string_view name);

}  // namespace app::pilot
