// The mesh a water engine draws the sea surface on. The scene extrudes it by the
// heightmap once a frame (when CPU extrusion is on) and the engine renders it.
#pragma once

#include "settings/cEngineSettings.h"
#include "heightmap/iHeightmap.h"
#include "platform/d3dx9.h"

class iWaterGeometry {
 public:
  virtual ~iWaterGeometry() = default;

  // Every buffer is managed, so device loss needs no work.
  virtual bool OnLostDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnResetDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnDeviceEvent(IDirect3DDevice9* device) = 0;

  // Displaces the vertices by `strength` times the heightmap, sampled with the
  // given texture-coordinate scale. A null heightmap turns extrusion off.
  virtual bool Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) = 0;
  virtual bool ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) = 0;

  // Draws the surface; with a view-projection matrix, culls what lies outside it.
  virtual bool Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) = 0;

  // Statistics shown by the editor.
  virtual int GetVertexCount() const = 0;
  virtual int GetTriangleCount() const = 0;
  virtual int GetDrawCallCount() const = 0;

  // The bounding box follows at once; the vertices at the next extrusion.
  virtual bool SetOrigin(const D3DXVECTOR3& origin) = 0;
  // Unscaled wave height under a point, or -1 outside the surface.
  virtual float GetHeightAt(float x, float z) const = 0;

  // Adds vertex stream 1 for the engines that write per-vertex data each frame.
  virtual bool CreateExtraStream(IDirect3DDevice9* device) = 0;
  virtual IDirect3DVertexBuffer9* GetVertexBuffer() const = 0;
  virtual IDirect3DVertexBuffer9* GetExtraStream() const = 0;

  // A GeometryTypeId.
  virtual int GetTypeId() const = 0;
  virtual D3DXVECTOR2 GetUVScale() const = 0;

  // Copies the geometry's parameters into the record; returns `settings`.
  virtual cEngineSettings* FillSettings(cEngineSettings* settings) = 0;
};

// Writes the fields every geometry shares into the record.
void FillGeometrySettings(cEngineSettings* settings, int typeId, const D3DXVECTOR3& origin, bool extruded,
                          float strength, const D3DXVECTOR2& extrusionUVScale, const D3DXVECTOR2& defaultUVScale);
