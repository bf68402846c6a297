#include "app/pilot/route.h"

#include <cerrno>
#include <cstdlib>
#include <map>

#include "app/recording/recording.h"
#include "base/log.h"

namespace app::pilot {
namespace {

const std::map<std::string_view, std::uint8_t>& padWords() {
  static const std::map<std::string_view, std::uint8_t> kWords = {
      {"R", 0x08}, {"right", 0x08}, {"L", 0x04}, {"left", 0x04}, {"U", 0x01},    {"up", 0x01},
      {"D", 0x02}, {"down", 0x02},  {"B", 0x10}, {"C", 0x20},    {"jump", 0x20}, {"A", 0x40},
      {"S", 0x80}, {"start", 0x80}, {"none", 0}, {"0", 0}};
  return kWords;
}

std::string join(const std::vector<std::string_view>& words, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < words.size(); ++i) {
    if (!out.empty()) out += ' ';
    out += words[i];
  }
  return out;
}

// A decimal number, or hexadecimal with "0x"; a leading "-" allowed.
std::optional<std::int64_t> number(std::string_view word) {
  if (word.empty() || word.size() > 24) return std::nullopt;
  std::string text(word);
  bool negative = false;
  std::size_t at = 0;
  if (text[0] == '-') {
    negative = true;
    at = 1;
  }
  int base = 10;
  if (text.size() > at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    base = 16;
    at += 2;
  }
  if (at >= text.size() || text[at] == '-' || text[at] == '+') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str() + at, &end, base);
  if (errno != 0 || *end != '\0') return std::nullopt;
  return negative ? -value : value;
}

bool isOperatorChar(char c) {
  return c == '<' || c == '>' || c == '=' || c == '!';
}
bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::optional<Condition> parseTerm(std::string_view term) {
  Condition c;
  if (!term.empty() && term[0] == '!') {
    c.negate = true;
    term.remove_prefix(1);
  }
  std::size_t i = 0;
  while (i < term.size() && isNameChar(term[i])) ++i;
  if (i == 0) return std::nullopt;
  c.name = std::string(term.substr(0, i));
  if (i == term.size()) return c;
  std::size_t j = i;
  while (j < term.size() && isOperatorChar(term[j])) ++j;
  if (j == i) return std::nullopt;
  c.op = std::string(term.substr(i, j - i));
  const std::optional<std::int64_t> value = number(term.substr(j));
  if (!value) return std::nullopt;
  c.value = *value;
  c.hasValue = true;
  return c;
}

using Words = std::vector<std::string_view>;

// "for" (ignored), a count, "until" and a condition list, from word `from` on; false when a word is bad.
bool parseDuration(const Words& w, std::size_t from, RouteCommand& command, bool& sawUntil) {
  sawUntil = false;
  for (std::size_t i = from; i < w.size(); ++i) {
    if (w[i] == "for") continue;
    if (w[i] == "until") {
      std::string rest;
      for (std::size_t k = i + 1; k < w.size(); ++k) rest += std::string(w[k]) + " ";
      std::optional<std::vector<Condition>> conditions = parseConditions(rest);
      if (!conditions || conditions->empty()) return false;
      command.conditions = std::move(*conditions);
      sawUntil = true;
      return true;
    }
    const std::optional<std::int64_t> n = number(w[i]);
    if (!n || *n < 0) return false;
    command.count = *n;
  }
  return true;
}

bool parseConditionsInto(const Words& w, std::size_t from, RouteCommand& command) {
  std::optional<std::vector<Condition>> conditions = parseConditions(join(w, from));
  if (!conditions) return false;
  command.conditions = std::move(*conditions);
  return true;
}

bool parseObjectAndConditions(const Words& w, RouteCommand& command) {
  if (w.size() < 2) return false;
  const std::optional<std::int64_t> n = number(w[1]);
  if (!n || *n < 0 || *n > 61) return false;
  command.object = *n;
  return parseConditionsInto(w, 2, command);
}

using Parser = std::optional<std::string> (*)(const Words&, RouteCommand&);
constexpr const char* kBad = "bad command";

std::optional<std::string> parseHold(const Words& w, RouteCommand& c) {
  std::size_t from = 1;
  if (c.word == "hold") {
    if (w.size() < 2) return kBad;
    const std::optional<std::uint8_t> pad = parsePads(w[1]);
    if (!pad) return kBad;
    c.pad = *pad;
    from = 2;
  }
  bool sawUntil = false;
  if (!parseDuration(w, from, c, sawUntil)) return kBad;
  if (c.count < 0 && !sawUntil) return std::string("hold needs 'for N' or 'until'");
  return std::nullopt;
}

std::optional<std::string> parsePress(const Words& w, RouteCommand& c) {
  if (w.size() < 2 || w.size() > 3) return kBad;
  const std::optional<std::uint8_t> pad = parsePads(w[1]);
  if (!pad) return kBad;
  c.pad = *pad;
  if (w.size() == 3) {
    const std::optional<std::int64_t> n = number(w[2]);
    if (!n) return kBad;
    c.count = *n;
  }
  return std::nullopt;
}

std::optional<std::string> parseGoal(const Words& w, RouteCommand& c) {
  if (!parseConditionsInto(w, 1, c)) return kBad;
  if (c.word == "expect" && c.conditions.empty()) return kBad;
  return std::nullopt;
}

std::optional<std::string> parseObjectCommand(const Words& w, RouteCommand& c) {
  if (!parseObjectAndConditions(w, c)) return kBad;
  if (c.word == "front" && !c.conditions.empty()) return kBad;
  return std::nullopt;
}

std::optional<std::string> parseLeave(const Words& w, RouteCommand& c) {
  if (w.size() > 2) return kBad;
  if (w.size() == 2) {
    const std::optional<std::int64_t> n = number(w[1]);
    if (!n || *n < 0) return kBad;
    c.count = *n;
  }
  return std::nullopt;
}

std::optional<std::string> parseCollect(const Words& w, RouteCommand& c) {
  std::size_t i = 1;
  if (i < w.size() && w[i] == "try") {
    c.tryOnly = true;
    ++i;
  }
  if (i < w.size() && w[i] == "skip") {
    ++i;
    bool any = false;
    for (; i < w.size(); ++i) {
      const std::optional<std::int64_t> n = number(w[i]);
      if (!n) break;
      if (*n < 0) return kBad;
      c.numbers.push_back(~*n);
      any = true;
    }
    if (!any) return kBad;
  }
  if (!parseConditionsInto(w, i, c)) return kBad;
  return std::nullopt;
}

std::optional<std::string> parseSub(const Words& w, RouteCommand& c) {
  if (w.size() < 2 || w.size() > 3) return kBad;
  c.label = std::string(w[1]);
  if (w.size() == 3) {
    const std::optional<std::int64_t> n = number(w[2]);
    if (!n) return kBad;
    c.count = *n;
  }
  return std::nullopt;
}

std::optional<std::string> parseLabel(const Words& w, RouteCommand& c) {
  if (w.size() < 2) return kBad;
  c.label = join(w, 1);
  return std::nullopt;
}

const std::map<std::string_view, Parser>& parsers() {
  static const std::map<std::string_view, Parser> kParsers = {
      {"hold", parseHold},           {"wait", parseHold},   {"press", parsePress},        {"reach", parseGoal},
      {"expect", parseGoal},         {"ride", parseGoal},   {"pick", parseObjectCommand}, {"drop", parseObjectCommand},
      {"front", parseObjectCommand}, {"leave", parseLeave}, {"collect", parseCollect},    {"sub", parseSub},
      {"mark", parseLabel},          {"show", parseLabel}};
  return kParsers;
}

// The commands whose goal may be widened with "via" areas.
bool takesVia(std::string_view word) {
  return word == "reach" || word == "ride" || word == "pick" || word == "drop" || word == "collect";
}

}  // namespace

std::optional<std::uint8_t> parsePads(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint8_t pad = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t plus = text.find('+', start);
    if (plus == std::string_view::npos) plus = text.size();
    const auto it = padWords().find(text.substr(start, plus - start));
    if (it == padWords().end()) return std::nullopt;
    pad |= it->second;
    start = plus + 1;
  }
  return pad;
}

std::optional<std::vector<Condition>> parseConditions(std::string_view text) {
  std::vector<Condition> out;
  const Words w = splitWords(text);
  for (std::size_t i = 0; i < w.size(); ++i) {
    if (w[i] == "and") continue;
    std::optional<Condition> term = parseTerm(w[i]);
    if (!term) return std::nullopt;
    // "near 12", "star 40": a bare name followed by a number takes it as its value.
    if (term->op.empty() && i + 1 < w.size()) {
      if (const std::optional<std::int64_t> value = number(w[i + 1])) {
        term->value = *value;
        term->hasValue = true;
        ++i;
      }
    }
    out.push_back(std::move(*term));
  }
  return out;
}

std::variant<RouteCommand, std::string> parseRouteLine(std::string_view line, int lineNumber) {
  RouteCommand command;
  command.line = lineNumber;
  std::string_view body = line;
  std::string_view via;
  const std::size_t viaAt = line.find(" via ");
  if (viaAt != std::string_view::npos) {
    body = line.substr(0, viaAt);
    via = line.substr(viaAt + 5);
  }
  const Words w = splitWords(body);
  if (w.empty()) return std::string(kBad);
  command.word = std::string(w[0]);
  command.text = std::string(line);
  const auto it = parsers().find(w[0]);
  if (it == parsers().end()) return "unknown command '" + command.word + "'";
  if (std::optional<std::string> error = it->second(w, command)) return *error;
  if (!via.empty()) {
    if (!takesVia(command.word)) return std::string(kBad);
    for (std::string_view word : splitWords(via)) {
      const std::optional<std::int64_t> area = number(word);
      if (!area || *area < 0 || *area > 255) return std::string(kBad);
      command.numbers.push_back(*area);
    }
  }
  return command;
}

std::optional<std::vector<RouteCommand>> parseRoute(std::string_view text, const std::string& fileName) {
  std::vector<RouteCommand> commands;
  bool ok = true;
  int lineNumber = 0;
  std::size_t position = 0;
  while (position < text.size()) {
    std::size_t stop = text.find('\n', position);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view line = text.substr(position, stop - position);
    position = stop + 1;
    ++lineNumber;
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    std::variant<RouteCommand, std::string> parsed = parseRouteLine(line, lineNumber);
    if (std::holds_alternative<std::string>(parsed)) {
      logMessage(kError, "%s:%d: %s", fileName.c_str(), lineNumber, std::get<std::string>(parsed).c_str());
      ok = false;
      continue;
    }
    commands.push_back(std::move(std::get<RouteCommand>(parsed)));
  }
  if (!ok) return std::nullopt;
  return commands;
}

const Condition* findTerm(const std::vector<Condition>& conditions, std::string_view name) {
  for (const Condition& c : conditions)
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace app::pilot
