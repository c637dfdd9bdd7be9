// What the save file tests share: a scratch folder, whole files as bytes, and a
// scene built from real components on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../ScratchFolder.h"
#include "../platform/HeadlessDevice.h"
#include "waterscene/cWaterScene.h"
#include "engine/iWaterEngine.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

namespace savefile::testing {

// The saved files of every engine type that the tests compare against.
inline std::string SavedFilePath(const std::string& name) { return std::string(TEST_DATA_DIR) + "/save/" + name; }

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The rows of tests/data/<file> whose first field is `kind`, without that field.
// Fields are split at '|'; "\t" stands for a tab, and a backslash before any
// other character keeps it as it is.
inline std::vector<std::vector<std::string>> TableRows(const std::string& file, const std::string& kind) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/" + file);
  EXPECT_TRUE(in) << file;
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '|') {
        fields.emplace_back();
      } else if (line[i] == '\\' && i + 1 < line.size()) {
        ++i;
        fields.back() += line[i] == 't' ? '\t' : line[i];
      } else {
        fields.back() += line[i];
      }
    }
    if (fields[0] == kind) rows.emplace_back(fields.begin() + 1, fields.end());
  }
  EXPECT_FALSE(rows.empty()) << file << " has no " << kind;
  return rows;
}

// A water scene whose components the test owns; the targets and components go
// before the device does.
class WaterSceneTest : public platform::testing::HeadlessDevice {
 protected:
  void TearDown() override {
    scene.ReleaseTargets();
    engine.reset();
    geometry.reset();
    normalmap.reset();
    heightmap.reset();
    HeadlessDevice::TearDown();
  }
  // Hands `component` to the scene slot and keeps it alive until TearDown.
  template <class T, class Interface>
  T* Keep(std::unique_ptr<T> component, std::unique_ptr<Interface>* owner, Interface** slot) {
    T* raw = component.get();
    *owner = std::move(component);
    *slot = raw;
    return raw;
  }
  cWaterScene scene;
  std::unique_ptr<iHeightmap> heightmap;
  std::unique_ptr<iNormalmap> normalmap;
  std::unique_ptr<iWaterGeometry> geometry;
  std::unique_ptr<iWaterEngine> engine;
  ScratchFolder folder;
};

}  // namespace savefile::testing
