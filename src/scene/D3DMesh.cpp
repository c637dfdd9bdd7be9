#include "scene/D3DMesh.h"

#include <string>

#include "platform/Utf8.h"

namespace {

// The mesh's folder (up to and including the last '/') followed by the texture name.
std::string TexturePath(const wchar_t* meshPath, const char* textureName) {
  const std::wstring path(meshPath);
  const size_t slash = path.rfind(L'/');
  const std::string folder = slash == std::wstring::npos ? std::string() : platform::Utf8FromWide(path.substr(0, slash + 1).c_str());
  return folder + textureName;
}

}  // namespace

HRESULT D3DMesh::Load(const wchar_t* fileName, IDirect3DDevice9* device) {
  Destroy();
  if (FAILED(D3DXCreateEffectFromFileW(device, L"shaders/d3dmesh.fx", nullptr, nullptr, 0, nullptr, &effect,
                                       nullptr))) {
    effect = nullptr;
  }
  SetFileName(fileName);
  ID3DXBuffer* materialBuffer = nullptr;
  const HRESULT hr = D3DXLoadMeshFromXW(fileName, D3DXMESH_MANAGED, device, nullptr, &materialBuffer, nullptr,
                                        &materialCount, &mesh);
  if (FAILED(hr)) {
    mesh = nullptr;
    materialCount = 0;
  } else {
    LoadMaterials(fileName, device, materialBuffer);
    // Without computed normals the mesh keeps those of the file and stays drawable.
    static_cast<void>(D3DXComputeNormals(mesh, nullptr));
  }
  if (materialBuffer) materialBuffer->Release();
  return hr;
}

void D3DMesh::LoadMaterials(const wchar_t* fileName, IDirect3DDevice9* device, ID3DXBuffer* buffer) {
  if (buffer == nullptr) materialCount = 0;
  const auto* loaded = materialCount ? static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer()) : nullptr;
  materials.resize(materialCount);
  textures.assign(materialCount, nullptr);
  for (DWORD i = 0; i < materialCount; ++i) {
    materials[i] = loaded[i].MatD3D;
    materials[i].Ambient = materials[i].Diffuse;
    const char* textureName = loaded[i].pTextureFilename;
    if (textureName == nullptr || textureName[0] == '\0') continue;
    const std::string path = TexturePath(fileName, textureName);
    if (FAILED(D3DXCreateTextureFromFileA(device, path.c_str(), &textures[i]))) textures[i] = nullptr;
  }
}

void D3DMesh::OnLostDevice() {
  if (effect) effect->OnLostDevice();
}

void D3DMesh::OnResetDevice(IDirect3DDevice9*) {
  if (effect) effect->OnResetDevice();
}

void D3DMesh::Destroy() {
  if (mesh) mesh->Release();
  mesh = nullptr;
  for (IDirect3DTexture9* texture : textures) {
    if (texture) texture->Release();
  }
  textures.clear();
  materials.clear();
  materialCount = 0;
  if (effect) effect->Release();
  effect = nullptr;
}

bool D3DMesh::DrawSubsets() {
  if (mesh == nullptr) return false;
  for (DWORD i = 0; i < materialCount; ++i) {
    if (FAILED(mesh->DrawSubset(i))) return false;
  }
  return true;
}

bool D3DMesh::RenderFixed(IDirect3DDevice9* device, const D3DXMATRIX& world) {
  if (mesh == nullptr || device == nullptr) return false;
  if (FAILED(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP)) ||
      FAILED(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP)) ||
      FAILED(device->SetTransform(D3DTS_WORLD, &world))) {
    return false;
  }
  bool drawn = true;
  for (DWORD i = 0; i < materialCount && drawn; ++i) {
    drawn = SUCCEEDED(device->SetTexture(0, textures[i])) && SUCCEEDED(mesh->DrawSubset(i));
  }
  // The rest of the program expects clamped addressing.
  return SUCCEEDED(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP)) &&
         SUCCEEDED(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP)) && drawn;
}

bool D3DMesh::RenderLit(const D3DXVECTOR3& sunPosition, const D3DXMATRIX& worldViewProjection, bool perPixel,
                        const D3DXVECTOR3& ambient) {
  return SetLighting(perPixel ? "psLighting" : "vsLighting", sunPosition, worldViewProjection, ambient) &&
         DrawEffectPasses();
}

bool D3DMesh::RenderLitDepth(const D3DXVECTOR3& sunPosition, const D3DXMATRIX& worldViewProjection,
                             bool perPixel, const D3DXVECTOR3& ambient, float planeHeight, float depthRange) {
  const char* technique = perPixel ? "psLighting_withDepthTransparency" : "vsLighting_withDepthTransparency";
  return SetLighting(technique, sunPosition, worldViewProjection, ambient) &&
         SUCCEEDED(effect->SetFloat("planeYPos", planeHeight)) &&
         SUCCEEDED(effect->SetFloat("depthLimit", 1.0f / depthRange)) && DrawEffectPasses();
}

bool D3DMesh::SetLighting(const char* technique, const D3DXVECTOR3& sunPosition,
                          const D3DXMATRIX& worldViewProjection, const D3DXVECTOR3& ambient) {
  if (mesh == nullptr || effect == nullptr) return false;
  const D3DXVECTOR4 sun(1.0f, sunPosition.x, sunPosition.y, sunPosition.z);
  return SUCCEEDED(effect->SetTechnique(technique)) &&
         SUCCEEDED(effect->SetMatrix("matWorldViewProject", &worldViewProjection)) &&
         SUCCEEDED(effect->SetVector("gSunLightPos", &sun)) &&
         SUCCEEDED(effect->SetFloatArray("ambientLight", ambient, 3));
}

bool D3DMesh::DrawEffectPasses() {
  UINT passes = 0;
  if (FAILED(effect->Begin(&passes, 0))) return false;
  bool drawn = true;
  for (UINT pass = 0; pass < passes && drawn; ++pass) {
    if (FAILED(effect->BeginPass(pass))) {
      drawn = false;
      break;
    }
    for (DWORD i = 0; i < materialCount && drawn; ++i) {
      drawn = SUCCEEDED(effect->SetTexture("defaultTexture", textures[i])) &&
              SUCCEEDED(effect->CommitChanges()) && SUCCEEDED(mesh->DrawSubset(i));
    }
    drawn = SUCCEEDED(effect->EndPass()) && drawn;
  }
  return SUCCEEDED(effect->End()) && drawn;
}
