#include "geometry/cMeshGeometry.h"

#include "base/IsBoxVisible.h"

cMeshGeometry::~cMeshGeometry() { SafeRelease(declaration_); }

bool cMeshGeometry::OnLostDevice(IDirect3DDevice9*) { return true; }

bool cMeshGeometry::OnResetDevice(IDirect3DDevice9*) { return true; }

bool cMeshGeometry::OnDeviceEvent(IDirect3DDevice9*) { return true; }

bool cMeshGeometry::CreateMesh(IDirect3DDevice9* device, const D3DXVECTOR3& origin, int vertexCount,
                               int indexCount) {
  origin_ = origin;
  previousOrigin_ = origin;
  ResetBox();
  // A two-stream layout left from before would outlive the stream it describes.
  SafeRelease(declaration_);
  return buffers_.Create(device, vertexCount, indexCount);
}

bool cMeshGeometry::Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) {
  heightmap_ = heightmap;
  if (!heightmap || !buffers_.IsCreated()) return false;
  const float* heights = heightmap->GetHeights();
  const int n = heightmap->GetResolution();
  if (!heights || n < 1) return false;
  strength_ = strength;
  extrusionUVScale_ = D3DXVECTOR2(uvScaleX, uvScaleY);
  extruded_ = true;

  WaterVertex* vertices = nullptr;
  if (!buffers_.LockVertices(&vertices, 0)) return false;
  boxMin_.y = origin_.y;
  boxMax_.y = origin_.y + strength;
  ExtrudeVertices(vertices, heights, n, origin_ - previousOrigin_);
  previousOrigin_ = origin_;
  return buffers_.UnlockVertices();
}

bool cMeshGeometry::Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) {
  if (!device || !buffers_.IsCreated()) return false;
  if (!declaration_ && FAILED(CreateWaterDeclaration(device, false, &declaration_))) return false;
  frameExtruded_ = extruded_;
  extruded_ = false;
  if (viewProjection && !IsBoxVisible(boxMax_, boxMin_, viewProjection)) return true;
  return buffers_.Draw(device, declaration_, true, GetVertexCount(), GetTriangleCount());
}

bool cMeshGeometry::SetOrigin(const D3DXVECTOR3& origin) {
  origin_ = origin;
  ResetBox();
  return true;
}

bool cMeshGeometry::CreateExtraStream(IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  if (!device || FAILED(device->GetDeviceCaps(&caps))) return false;
  if (caps.MaxStreams < 2 || GetVertexCount() < 1) return false;
  if (!buffers_.CreateExtraStream(device)) return false;
  SafeRelease(declaration_);
  return SUCCEEDED(CreateWaterDeclaration(device, true, &declaration_));
}

void cMeshGeometry::FillCommonSettings(cEngineSettings* settings, const D3DXVECTOR2& defaultUVScale) const {
  FillGeometrySettings(settings, GetTypeId(), origin_, frameExtruded_, strength_, extrusionUVScale_, defaultUVScale);
}
