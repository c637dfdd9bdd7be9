// The heightmap, normal map and geometry of a loaded state, built as the
// editor builds them from its menus, and one frame of their pipeline with the
// duration of each step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "settings/cEngineSettings.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

// Milliseconds of each step of one frame; extrusion is negative when the state
// does not extrude the geometry (or has none).
struct StepTimes {
  double heightmapUpdate = 0.0;
  double heightmapTexture = 0.0;
  double normalmap = 0.0;
  double normalmapTexture = 0.0;
  double extrusion = -1.0;
  const char* failed = nullptr;  // the step that failed, when Step returns false
};

class cBatchScene {
 public:
  // `loopSeconds` above 0 makes the FFT ocean repeat after that many seconds
  // of simulated time (refused for the Perlin generator). False with the
  // reason in `error`; the record must have passed CheckComponentSettings.
  bool Build(const cEngineSettings& settings, uint32_t seed, double loopSeconds, IDirect3D9* d3d,
             IDirect3DDevice9* device, std::string* error);

  // The pipeline at `seconds` of simulated time, in the order a baked frame
  // needs: heightmap update and texture, normal map and texture, extrusion.
  // The heightmap's time is the seconds times the state's simulation speed.
  bool Step(double seconds, StepTimes* times);

  // With a loop and the automatic normalisation, whose scale only grows: runs
  // the heightmap over the frame times of one period (at most `frames`)
  // first, so that the scale is final from frame 0 and the loop's first and
  // last frames match.
  bool PrimeLoop(double loopSeconds, double dt, int frames);

  iHeightmap* Heightmap() const { return heightmap_.get(); }
  iNormalmap* Normalmap() const { return normalmap_.get(); }
  iWaterGeometry* Geometry() const { return geometry_.get(); }

 private:
  bool BuildHeightmap(uint32_t seed, double loopSeconds, std::string* error);
  bool BuildNormalmap(std::string* error);
  bool BuildGeometry(std::string* error);

  cEngineSettings settings_{};
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  // The geometry and the normal map refer to the heightmap: declared after it,
  // they are destroyed before it.
  std::unique_ptr<iHeightmap> heightmap_;
  std::unique_ptr<iNormalmap> normalmap_;
  std::unique_ptr<iWaterGeometry> geometry_;
};
