// The current water: the types chosen for its components, every tunable
// parameter, the components themselves (owned; null until created) and the
// reflection, refraction and depth pass targets.
#pragma once

#include "config/cEngineSettings.h"
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
};
