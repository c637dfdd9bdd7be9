// The sky: the six inner faces of a large axis-aligned cube, each with its own
// texture, drawn with fixed function or with "shaders/skybox.fx". The face
// textures belong to the caller (a set of six cache entries), so switching sky
// sets only reloads those.
#pragma once

#include "platform/d3dx9.h"
#include "scene/iResource.h"

class D3DTexture;

struct SkyboxVertex {
  float x, y, z;
  float u, v;
};
static_assert(sizeof(SkyboxVertex) == 20);
constexpr DWORD SKYBOX_FVF = D3DFVF_XYZ | D3DFVF_TEX1;

class cSkybox : public iResource {
 public:
  static constexpr int FaceCount = 6;
  static constexpr int VertexCount = 4 * FaceCount;

  // Registers with `manager` and loads the sky effect; a missing effect leaves
  // it null and RenderEffect then draws nothing.
  cSkybox(cResourceManager* manager, IDirect3DDevice9* device);
  ~cSkybox() override { Destroy(); }

  // Cube of half size `halfSize` around `centre`, one two-triangle strip per face.
  bool Create(float halfSize, const D3DXVECTOR3& centre, IDirect3DDevice9* device);
  // Null for an index outside 0..5, a missing entry or an entry without texture.
  static IDirect3DTexture9* GetFaceTexture(D3DTexture* const* faces, int face);
  // Draws the faces whose boxes are visible under view x projection; a face
  // without its image is left off.
  bool RenderFixed(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& view,
                   const D3DXMATRIX& projection);
  // As RenderFixed through the effect; a null technique means "simple".
  bool RenderEffect(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& view,
                    const D3DXMATRIX& projection, const char* technique = nullptr);

  void OnLostDevice() override;
  void Destroy() override;
  void OnResetDevice(IDirect3DDevice9* device) override;

  IDirect3DVertexBuffer9* GetVertexBuffer() const { return vertexBuffer; }
  ID3DXEffect* GetEffect() const { return effect; }
  // The two opposite corners of a face's culling box.
  const D3DXVECTOR3& GetBoxCorner(int face, int corner) const { return boxes[face][corner]; }
  bool IsFaceVisible(int face, const D3DXMATRIX& viewProjection) const;

 private:
  bool SetStream(IDirect3DDevice9* device);
  bool DrawEffectPasses(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& viewProjection,
                        UINT passes);

  IDirect3DVertexBuffer9* vertexBuffer = nullptr;
  ID3DXEffect* effect = nullptr;
  D3DXVECTOR3 boxes[FaceCount][2]{};
};
