// The half of the simple and the radial grid that is the same: a geometry whose
// whole surface is one static mesh, displaced in place on the CPU and drawn with
// one call.
#pragma once

#include "geometry/cGridBuffers.h"
#include "geometry/iWaterGeometry.h"

class cMeshGeometry : public iWaterGeometry {
 public:
  cMeshGeometry() = default;
  cMeshGeometry(const cMeshGeometry&) = delete;
  cMeshGeometry& operator=(const cMeshGeometry&) = delete;
  ~cMeshGeometry() override;

  bool OnLostDevice(IDirect3DDevice9* device) override;
  bool OnResetDevice(IDirect3DDevice9* device) override;
  bool OnDeviceEvent(IDirect3DDevice9* device) override;

  bool Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) override;
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) override;

  int GetVertexCount() const override { return buffers_.IsCreated() ? buffers_.GetVertexCount() : -1; }
  int GetTriangleCount() const override { return buffers_.GetIndexCount() / 3; }
  int GetDrawCallCount() const override { return 1; }

  bool SetOrigin(const D3DXVECTOR3& origin) override;
  bool CreateExtraStream(IDirect3DDevice9* device) override;
  IDirect3DVertexBuffer9* GetVertexBuffer() const override { return buffers_.GetVertexBuffer(); }
  IDirect3DVertexBuffer9* GetExtraStream() const override { return buffers_.GetExtraStream(); }
  D3DXVECTOR2 GetUVScale() const override { return uvScale_; }

  const D3DXVECTOR3& GetBoxMax() const { return boxMax_; }
  const D3DXVECTOR3& GetBoxMin() const { return boxMin_; }

 protected:
  // The box around the unextruded surface at the current origin.
  virtual void ResetBox() = 0;
  // Rewrites every vertex: moved by `shift`, displaced by the N*N heights.
  virtual void ExtrudeVertices(WaterVertex* vertices, const float* heights, int n, const D3DXVECTOR3& shift) = 0;

  // Stores the origin and replaces the buffers with empty ones for the new mesh.
  bool CreateMesh(IDirect3DDevice9* device, const D3DXVECTOR3& origin, int vertexCount, int indexCount);
  void FillCommonSettings(cEngineSettings* settings, const D3DXVECTOR2& defaultUVScale) const;

  D3DXVECTOR3 origin_{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 boxMax_{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 boxMin_{0.0f, 0.0f, 0.0f};
  D3DXVECTOR2 uvScale_{1.0f, 1.0f};  // current
  const iHeightmap* heightmap_ = nullptr;
  float strength_ = 1.0f;
  D3DXVECTOR2 extrusionUVScale_{1.0f, 1.0f};
  cGridBuffers buffers_;

 private:
  D3DXVECTOR3 previousOrigin_{0.0f, 0.0f, 0.0f};  // where the vertices were last written
  bool extruded_ = false;
  bool frameExtruded_ = false;
  IDirect3DVertexDeclaration9* declaration_ = nullptr;
};
