// A rectangle of square patches with two levels of detail chosen each frame by
// the distance from the camera: near patches use a finely tessellated template
// displaced by the heightmap, far ones a single flat quad, and up to
// BATCH_CAPACITY far quads share one draw call. Patch vertices are written into
// their level's buffer just before each draw, so extrusion happens while rendering.
#pragma once

#include <span>
#include <vector>

#include "geometry/cFFPVertexWriter.h"
#include "geometry/cGridBuffers.h"
#include "geometry/iWaterGeometry.h"

class cGeomipmapGrid : public iWaterGeometry {
 public:
  static constexpr int BATCH_CAPACITY = 1000;
  static constexpr int MAX_PATCHES = 1 << 20;

  struct Patch {
    D3DXVECTOR3 centre;
    int level;  // 0 full detail, 1 one flat quad
    D3DXVECTOR3 boxMax;
    D3DXVECTOR3 boxMin;
    bool visible;
    bool batched;
    int column;
    int row;
  };

  cGeomipmapGrid();
  cGeomipmapGrid(const cGeomipmapGrid&) = delete;
  cGeomipmapGrid& operator=(const cGeomipmapGrid&) = delete;
  ~cGeomipmapGrid() override;

  // False on a null device, a failing device call, or sizes beyond WithinLimits.
  bool Create(float sizeX, float sizeZ, int patchCountX, int patchCountZ, int level0Tessellation,
              const D3DXVECTOR2& defaultUVScale, const D3DXVECTOR3& origin, IDirect3DDevice9* device);

  // Whether Create can build this field (the editor checks it too): a level 0
  // patch within 16-bit indices and at most MAX_PATCHES patches.
  static bool WithinLimits(int patchCountX, int patchCountZ, int level0Tessellation);

  // Levels and the height falloff are measured from here (the camera).
  void SetLodCenter(const D3DXVECTOR3& centre);
  void SetLastLevelFalloffDistance(float distance);
  void SetHeightFalloffDistance(float distance);

  // Render for the fixed-function and shader model 1 engines: each drawn vertex
  // also gets its stream-1 entry, written as those engines write it for other grids.
  bool RenderFFP(IDirect3DDevice9* device, const FFPVertexParameters& parameters);
  bool RenderSM1(IDirect3DDevice9* device, const D3DXVECTOR3* normals, int normalmapSize,
                 const D3DXMATRIX* viewProjection);

  const std::vector<Patch>& GetPatches() const { return patches_; }
  // Where the vertices of the last patch drawn at a level (0, 1), and of the last batch, were written.
  const cGridBuffers& GetLevelBuffers(int level) const { return levels_[level].buffers; }
  const cGridBuffers& GetBatchBuffers() const { return batch_; }

  bool OnLostDevice(IDirect3DDevice9* device) override;
  bool OnResetDevice(IDirect3DDevice9* device) override;
  bool OnDeviceEvent(IDirect3DDevice9* device) override;
  bool Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) override;
  bool ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) override;
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) override;
  int GetVertexCount() const override { return statVertices_; }
  int GetTriangleCount() const override { return statTriangles_; }
  int GetDrawCallCount() const override { return statDrawCalls_; }
  bool SetOrigin(const D3DXVECTOR3& origin) override;
  float GetHeightAt(float x, float z) const override;
  bool CreateExtraStream(IDirect3DDevice9* device) override;
  IDirect3DVertexBuffer9* GetVertexBuffer() const override { return nullptr; }
  IDirect3DVertexBuffer9* GetExtraStream() const override { return nullptr; }
  int GetTypeId() const override;
  D3DXVECTOR2 GetUVScale() const override { return D3DXVECTOR2(1.0f, 1.0f); }
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

 private:
  struct Level {
    int tessellation = 1;
    std::vector<WaterVertex> pattern;  // local positions around (0, 0, 0)
    cGridBuffers buffers;
  };
  // What the patch vertices of one render are made from.
  struct PatchSource {
    const float* heights;  // N*N, or null: flat
    int n;
    D3DXVECTOR2 uvScale;   // per patch
  };

  void PlacePatches();
  bool CreateLevel(IDirect3DDevice9* device, Level& level, int tessellation);
  bool CreateBatch(IDirect3DDevice9* device);
  void ChooseLevels(const D3DXMATRIX* viewProjection);
  PatchSource CurrentSource() const;
  void WritePatch(const Patch& patch, const PatchSource& source, const iVertexExtraWriter* writer,
                  WaterVertex* vertices, WaterVertexExtra* extra) const;
  bool DrawPatches(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection, const iVertexExtraWriter* writer);
  // Writes the patches (all of one level) one after another into `buffers` and draws them with one call.
  bool DrawMesh(IDirect3DDevice9* device, cGridBuffers& buffers, std::span<const Patch* const> patches,
                const PatchSource& source, const iVertexExtraWriter* writer);
  bool HasExtraStreams() const;

  D3DXVECTOR2 size_{1.0f, 1.0f};
  int patchCountX_ = 1;
  int patchCountZ_ = 1;
  float lastLevelFalloff_ = 0.0f;
  float heightFalloffSquared_ = 1000000.0f;
  D3DXVECTOR2 defaultUVScale_{1.0f, 1.0f};    // per patch
  D3DXVECTOR2 extrusionUVScale_{1.0f, 1.0f};  // per patch
  bool explicitUVScale_ = false;
  D3DXVECTOR3 origin_{0.0f, 0.0f, 0.0f};
  D3DXVECTOR3 lodCentre_{0.0f, 0.0f, 0.0f};
  float patchWidth_ = 1.0f;
  float patchDepth_ = 1.0f;
  float strength_ = 1.0f;
  const iHeightmap* heightmap_ = nullptr;

  std::vector<Patch> patches_;
  std::vector<const Patch*> batched_;  // this render's batch, in patch order
  Level levels_[2];
  cGridBuffers batch_;
  IDirect3DVertexDeclaration9* oneStream_ = nullptr;
  IDirect3DVertexDeclaration9* twoStreams_ = nullptr;

  int statVertices_ = 0;
  int statTriangles_ = 0;
  int statDrawCalls_ = 0;
};
