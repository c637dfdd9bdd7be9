// What must hold after reading any bytes as a save file, shared by the fuzz
// target and the randomized test: only known type ids, finite floats, bools
// that are 0 or 1.
#pragma once

#include <cmath>
#include <cstring>

#include "settings/TypeIds.h"
#include "waterscene/cWaterScene.h"

namespace savefile {

// A header whose every field holds a valid id, as the reader starts from.
inline cWaterScene::Header ValidHeader() { return {HEIGHTMAP_PERLIN, NORMALMAP_FD_TEX, GEOMETRY_RADIAL, ENGINE_SM2}; }

inline bool IsTypeId(SettingKind kind, int id) { return TypeWord(kind, id) != nullptr; }

// Null when `header` and `settings` are a possible result of a read that began
// from ValidHeader(); otherwise the first field that is not.
inline const char* FindReadFault(const cWaterScene::Header& header, const cEngineSettings& settings) {
  if (!IsTypeId(SettingKind::HeightmapType, header.currentHeightmapType)) return "header heightmap type";
  if (!IsTypeId(SettingKind::NormalmapType, header.currentNormalmapType)) return "header normal map type";
  if (!IsTypeId(SettingKind::GeometryType, header.currentGeometryType)) return "header geometry type";
  if (!IsTypeId(SettingKind::EngineType, header.workingEnvironment)) return "working environment";
  for (const SettingKey& key : EngineSettingKeys()) {
    const char* field = reinterpret_cast<const char*>(&settings) + key.offset;
    if (key.kind == SettingKind::Float) {
      float value;
      std::memcpy(&value, field, sizeof value);
      if (!std::isfinite(value)) return key.key;
    } else if (key.kind == SettingKind::Bool) {
      unsigned char value;
      std::memcpy(&value, field, sizeof value);
      if (value > 1) return key.key;
    } else if (key.kind != SettingKind::Int) {
      int value;
      std::memcpy(&value, field, sizeof value);
      if (value != 0 && !IsTypeId(key.kind, value)) return key.key;
    }
  }
  return nullptr;
}

}  // namespace savefile
