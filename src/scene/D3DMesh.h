// A textured mesh loaded from an .x file, drawn with fixed function or with the
// lighting effect "shaders/d3dmesh.fx".
#pragma once

#include <vector>

#include "platform/d3dx9.h"
#include "scene/iResource.h"

class D3DMesh : public iResource {
 public:
  explicit D3DMesh(cResourceManager* manager) : iResource(manager) {}
  ~D3DMesh() override { Destroy(); }

  // Material textures are looked up in the folder of the mesh file. Returns the
  // result of loading the mesh itself.
  HRESULT Load(const wchar_t* fileName, IDirect3DDevice9* device) override;
  void OnLostDevice() override;
  void Destroy() override;
  void OnResetDevice(IDirect3DDevice9* device) override;

  // Every subset with whatever state is set.
  bool DrawSubsets();
  // Fixed function: wrapped texture coordinates, one texture per material.
  bool RenderFixed(IDirect3DDevice9* device, const D3DXMATRIX& world);
  // Lambert lighting from the sun plus ambient, per pixel or per vertex.
  bool RenderLit(const D3DXVECTOR3& sunPosition, const D3DXMATRIX& worldViewProjection, bool perPixel,
                 const D3DXVECTOR3& ambient);
  // As RenderLit; what lies below `planeHeight` fades out over `depthRange`.
  bool RenderLitDepth(const D3DXVECTOR3& sunPosition, const D3DXMATRIX& worldViewProjection, bool perPixel,
                      const D3DXVECTOR3& ambient, float planeHeight, float depthRange);

  DWORD materialCount = 0;
  std::vector<D3DMATERIAL9> materials;
  ID3DXMesh* mesh = nullptr;
  std::vector<IDirect3DTexture9*> textures;  // null where a material has no texture
  ID3DXEffect* effect = nullptr;

 private:
  void LoadMaterials(const wchar_t* fileName, IDirect3DDevice9* device, ID3DXBuffer* buffer);
  bool SetLighting(const char* technique, const D3DXVECTOR3& sunPosition, const D3DXMATRIX& worldViewProjection,
                   const D3DXVECTOR3& ambient);
  bool DrawEffectPasses();
};
