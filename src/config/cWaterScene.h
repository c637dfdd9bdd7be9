// The current water: the types chosen for its components, every tunable
// parameter, and the components themselves (owned; null until created).
#pragma once

#include "config/cEngineSettings.h"
#include "platform/d3d9.h"

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

  // Device loss and reset for the components and pass targets, in the order
  // engine, geometry, heightmap, normal map, then the targets; false at the
  // first failure. Nothing holds device objects yet.
  bool OnLostDevice(IDirect3DDevice9*) { return true; }
  bool OnResetDevice(IDirect3DDevice9*) { return true; }
};
