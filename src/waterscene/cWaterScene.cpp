#include "waterscene/cWaterScene.h"

#include "engine/iWaterEngine.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

bool cWaterScene::OnLostDevice(IDirect3DDevice9* device) {
  bool ok = true;
  if (engine) ok = engine->OnLostDevice(device) && ok;
  if (geometry) ok = geometry->OnLostDevice(device) && ok;
  if (heightmap) ok = heightmap->OnLostDevice() && ok;
  if (normalmap) ok = normalmap->OnLostDevice(device) && ok;
  ok = reflectionTarget.OnLostDevice(device) && ok;
  ok = refractionTarget.OnLostDevice(device) && ok;
  return depthTarget.OnLostDevice(device) && ok;
}

bool cWaterScene::OnResetDevice(IDirect3DDevice9* device) {
  bool ok = true;
  if (engine) ok = engine->OnResetDevice(device) && ok;
  if (geometry) ok = geometry->OnResetDevice(device) && ok;
  if (heightmap) ok = heightmap->OnResetDevice() && ok;
  if (normalmap) ok = normalmap->OnResetDevice(device) && ok;
  ok = reflectionTarget.OnResetDevice(device) && ok;
  ok = refractionTarget.OnResetDevice(device) && ok;
  return depthTarget.OnResetDevice(device) && ok;
}

void cWaterScene::ReleaseTargets() {
  reflectionTarget.Release();
  refractionTarget.Release();
  depthTarget.Release();
}
