// The current water: the types chosen for its components, every tunable
// parameter, the components themselves (owned; null until created) and the
// reflection, refraction and depth pass targets.
#pragma once

#include <cstdio>
#include <string_view>

#include "settings/cEngineSettings.h"
#include "platform/d3d9.h"
#include "scene/cReflectionTarget.h"
#include "scene/cRefractionTarget.h"

class iHeightmap;
class iNormalmap;
class iWaterGeometry;
class iWaterEngine;

struct cWaterScene {
  int currentHeightmapType = 0;
  int currentNormalmapType = 0;
  int currentGeometryType = 0;
  int workingEnvironment = 0;
  cEngineSettings settings{};
  iHeightmap* heightmap = nullptr;
  iNormalmap* normalmap = nullptr;
  iWaterGeometry* geometry = nullptr;
  iWaterEngine* engine = nullptr;
  cReflectionTarget reflectionTarget;
  cRefractionTarget refractionTarget{cRefractionTarget::Role::Refraction};
  cRefractionTarget depthTarget{cRefractionTarget::Role::Depth};

  // Device loss and reset for the components and pass targets, in the order
  // engine, geometry, heightmap, normal map, then the three targets. Every hook
  // runs even after one fails (a target left holding default-pool objects would
  // block the device's reset); the result is true only if all succeeded.
  bool OnLostDevice(IDirect3DDevice9* device);
  bool OnResetDevice(IDirect3DDevice9* device);
  // Releases the three targets' device objects; they stay unmade until the next Init.
  void ReleaseTargets();

  // --- Save file (config/cWaterSceneSave.cpp, config/cWaterSceneLoad.cpp) ---

  // The four header fields, as a save file sets them.
  struct Header {
    int currentHeightmapType = 0;
    int currentNormalmapType = 0;
    int currentGeometryType = 0;
    int workingEnvironment = 0;
  };
  Header GetHeader() const {
    return {currentHeightmapType, currentNormalmapType, currentGeometryType, workingEnvironment};
  }
  void SetHeader(const Header& header) {
    currentHeightmapType = header.currentHeightmapType;
    currentNormalmapType = header.currentNormalmapType;
    currentGeometryType = header.currentGeometryType;
    workingEnvironment = header.workingEnvironment;
  }

  // Copies the built components' parameters into the record and writes them,
  // with the working environment, to `path` as "[key]=value" lines ending in
  // CR LF. The old file at `path` is replaced only once the new one is
  // complete; on false it is left as it was. True without writing anything
  // when there is no component at all.
  bool Save(const char* path);
  // Reads `path` (see ReadSettings) and, only when that succeeds, replaces the
  // record and takes the header fields the file sets. On false nothing changed.
  bool Load(const char* path);
  // Applies one key and value of a file to this scene's header and record.
  void ApplyLine(std::string_view key, std::string_view value);

  // Reads the save file at `path` without touching any scene, so a caller can
  // decide whether to accept it before applying anything. `header` comes in
  // with the values to keep where the file sets none; `settings` is rebuilt
  // from zero. Both are written only on success. False, with both unchanged,
  // when `path` is missing, unreadable or not a regular file. An empty file
  // succeeds with a zero record.
  static bool ReadSettings(const char* path, Header* header, cEngineSettings* settings);
  // The same from an open stream, read to its end.
  static bool ReadSettings(std::FILE* file, Header* header, cEngineSettings* settings);
  // One key and value into a header and a record: type keys take a type word
  // (the component types go to both, "working environment" to the header only,
  // "engine type" to the record only); other keys a number. Keys and words
  // match ignoring ASCII case; anything unknown changes nothing.
  static void ApplySettingLine(Header* header, cEngineSettings* settings, std::string_view key,
                               std::string_view value);
};
