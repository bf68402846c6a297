#pragma once
// A small data directory written to a temporary folder: a two-area world (area 0 with a 2-column map,
// area 1 without a map), its palettes, a tables.json with the hero's sequences and an empty rule table.
// Tests change the JSON documents before writing them.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace world_test {

using nlohmann::json;

inline json areaWithMap() {
  json blocks = json::array();
  for (int b = 0; b < 3; ++b) {
    json words = json::array();
    for (int w = 0; w < 16; ++w) words.push_back(b * 16 + w);
    blocks.push_back(words);
  }
  return json{{"id", 0},
              {"width", 2},
              {"origin_x", -10816},
              {"min_y", -32},
              {"description", 90},
              {"items", json::array({json{{"flag", 297}, {"type", 5}, {"x", 2822}, {"y", -9}, {"frame", 55}}})},
              {"actors", json::array({json{{"type", 0x00012345}, {"x", 300}, {"y", -2}, {"data", "a1b2c3d4e5"}}})},
              {"map", json::array({json::array({0, 1, 2, 0, 1, 2}), json::array({2, 2, 2, 1, 1, 1})})},
              {"exits_top", json::array({json{{"threshold", 100}, {"area", 1}, {"x", -1}, {"y", 20}},
                                         json{{"threshold", 200}, {"area", 2}, {"x", 30}, {"y", -1}},
                                         json{{"threshold", 999}, {"area", 9}, {"x", 9}, {"y", 9}}})},
              {"exits_bottom", json::array({json{{"threshold", 1}, {"area", 3}, {"x", 4}, {"y", 5}},
                                            json{{"threshold", 6}, {"area", 7}, {"x", 8}, {"y", 9}}})},
              {"blocks", blocks},
              {"map_patches", json::array({json::array({7, 9}), json::array({12, 4})})},
              {"collision", std::string(48, '0') + "f"},
              {"patterns", "assets/graphics/areas/area_00.png"},
              {"area_patterns", 3},
              {"animations", json::array({json{{"block", 1}, {"delay", 4}, {"loop", 0}, {"frames", {1, 2}}}})},
              {"backdrop_unread", "ignored"}};
}

inline json maplessArea() {
  json a = areaWithMap();
  a["id"] = 1;
  a["width"] = 10;
  a["map"] = nullptr;
  a["backdrop"] = nullptr;
  a.erase("description");
  return a;
}

inline json worldDocument() {
  return json{
      {"schema", 2},
      {"areas", json::array({areaWithMap(), maplessArea()})},
      {"door_locks", "5f80000100000000"},
      {"doors", json::array({json{{"area", 0}, {"target", 1}, {"x", 40}, {"y", 50}, {"rect", {10, 20, 16, 32}}},
                             json{{"area", 1}, {"target", 0}, {"x", -4}, {"y", 60}, {"rect", {1, 2, 3, 4}}}})},
      {"edges", json::array({json{{"area", 0},
                                  {"left", {{"threshold", 1}, {"area", 2}, {"x", 3}, {"y", 4}}},
                                  {"right", {{"threshold", 5}, {"area", 6}, {"x", 7}, {"y", -1}}}}})},
      {"objects",
       json::array({json{
           {"area", 0}, {"x", 1}, {"y", 2}, {"kind", 3}, {"number", 4}, {"slot", 5}, {"use_routine", "00ABCDEF"}}})},
      {"lifts", json::array({json{{"active", 1},
                                  {"x", 2},
                                  {"y", 3},
                                  {"rope_min", 4},
                                  {"rope_max", 5},
                                  {"rope", 6},
                                  {"speed", 7},
                                  {"centred", 8},
                                  {"standing", 9}}})}};
}

inline json paletteDocument() {
  json line = json::array();
  for (int i = 0; i < 16; ++i) line.push_back(i * 2);
  return json{{"brumo_line2", line},
              {"areas", json::array({json{{"id", 0},
                                          {"line0", {0x0EEE, 2}},
                                          {"line1", nullptr},
                                          {"line3", json::array({4, 6})},
                                          {"variants", {{"index", {1, 2}}, {"lines", {{8}, nullptr}}}}},
                                     json{{"id", 1}, {"line0", {7}}}, json{{"id", 33}, {"line0", {7}}}})}};
}

inline json tablesDocument() {
  return json{{"tables", json::array({json{{"name", "brumo_sequences"},
                                           {"address", "0017E0"},
                                           {"reader", "x"},
                                           {"words", {0x0102, 0xFFFF}},
                                           {"tail", ""}}})}};
}

inline json ruleTablesDocument() {
  return json{{"tables", json::array()}};
}

class DataDir {
 public:
  DataDir() {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("grovanta_world_" + std::to_string(std::random_device{}()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(root_);
  }
  ~DataDir() { std::filesystem::remove_all(root_); }
  DataDir(const DataDir&) = delete;
  DataDir& operator=(const DataDir&) = delete;

  const std::filesystem::path& root() const { return root_; }

  void write(const std::string& relative, const std::string& text) const {
    std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  void write(const std::string& relative, const json& doc) const { write(relative, doc.dump()); }

  // The whole fixture data set, each document as given.
  void writeAll(const json& worldDoc = worldDocument(), const json& palettes = paletteDocument(),
                const json& tables = tablesDocument(), const json& rules = ruleTablesDocument()) const {
    write("world/world.json", worldDoc);
    write("assets/palettes/areas.json", palettes);
    write("assets/data/tables.json", tables);
    write("assets/data/rule_tables.json", rules);
  }

 private:
  std::filesystem::path root_;
};

}  // namespace world_test
