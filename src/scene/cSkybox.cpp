#include "scene/cSkybox.h"

#include "base/SafeRelease.h"
#include "base/IsBoxVisible.h"
#include "scene/D3DTexture.h"

namespace {

constexpr UINT BufferBytes = cSkybox::VertexCount * sizeof(SkyboxVertex);

// One face: the corner signs (x, y, z) and texture coordinates of its four
// strip vertices, then the signs of its culling box corners.
struct FaceLayout {
  signed char corner[4][3];
  unsigned char uv[4][2];
  signed char box[2][3];
};

// Seen from inside the cube every strip is clockwise, so the default
// counter-clockwise culling keeps it; v = 0 is the top of each image.
constexpr FaceLayout Faces[cSkybox::FaceCount] = {
    {{{-1, -1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, 1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, 1, 1}, {-1, -1, 1}}},
    {{{1, -1, 1}, {1, 1, 1}, {1, -1, -1}, {1, 1, -1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, 1, 1}, {1, -1, -1}}},
    {{{1, -1, -1}, {1, 1, -1}, {-1, -1, -1}, {-1, 1, -1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, 1, -1}, {-1, -1, -1}}},
    {{{-1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}, {-1, 1, 1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{-1, 1, 1}, {-1, -1, -1}}},
    {{{1, 1, -1}, {1, 1, 1}, {-1, 1, -1}, {-1, 1, 1}}, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}, {{1, 1, 1}, {-1, 1, -1}}},
    {{{-1, -1, -1}, {-1, -1, 1}, {1, -1, -1}, {1, -1, 1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, -1, 1}, {-1, -1, -1}}},
};

D3DXVECTOR3 Corner(const signed char sign[3], float halfSize, const D3DXVECTOR3& centre) {
  return D3DXVECTOR3(centre.x + sign[0] * halfSize, centre.y + sign[1] * halfSize, centre.z + sign[2] * halfSize);
}

}  // namespace

cSkybox::cSkybox(cResourceManager* manager, IDirect3DDevice9* device) : iResource(manager) {
  if (device == nullptr ||
      FAILED(D3DXCreateEffectFromFileW(device, L"shaders/skybox.fx", nullptr, nullptr, 0, nullptr, &effect, nullptr))) {
    effect = nullptr;
  }
}

bool cSkybox::Create(float halfSize, const D3DXVECTOR3& centre, IDirect3DDevice9* device) {
  SafeRelease(vertexBuffer);
  if (device == nullptr ||
      FAILED(device->CreateVertexBuffer(BufferBytes, 0, SKYBOX_FVF, D3DPOOL_MANAGED, &vertexBuffer, nullptr))) {
    vertexBuffer = nullptr;
    return false;
  }
  void* data = nullptr;
  if (FAILED(vertexBuffer->Lock(0, 0, &data, 0))) {
    SafeRelease(vertexBuffer);
    return false;
  }
  auto* vertices = static_cast<SkyboxVertex*>(data);
  for (int face = 0; face < FaceCount; ++face) {
    for (int i = 0; i < 4; ++i) {
      const D3DXVECTOR3 p = Corner(Faces[face].corner[i], halfSize, centre);
      vertices[4 * face + i] = {p.x, p.y, p.z, Faces[face].uv[i][0] * 1.0f, Faces[face].uv[i][1] * 1.0f};
    }
    boxes[face][0] = Corner(Faces[face].box[0], halfSize, centre);
    boxes[face][1] = Corner(Faces[face].box[1], halfSize, centre);
  }
  return SUCCEEDED(vertexBuffer->Unlock());
}

IDirect3DTexture9* cSkybox::GetFaceTexture(D3DTexture* const* faces, int face) {
  if (faces == nullptr || face < 0 || face >= FaceCount || faces[face] == nullptr) return nullptr;
  return faces[face]->texture;
}

bool cSkybox::IsFaceVisible(int face, const D3DXMATRIX& viewProjection) const {
  return IsBoxVisible(boxes[face][0], boxes[face][1], &viewProjection);
}

bool cSkybox::SetStream(IDirect3DDevice9* device) {
  return vertexBuffer != nullptr && SUCCEEDED(device->SetStreamSource(0, vertexBuffer, 0, sizeof(SkyboxVertex))) &&
         SUCCEEDED(device->SetFVF(SKYBOX_FVF));
}

bool cSkybox::RenderFixed(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& view,
                          const D3DXMATRIX& projection) {
  if (device == nullptr || !SetStream(device)) return false;
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, &view, &projection);
  bool drawn = true;
  for (int face = 0; face < FaceCount; ++face) {
    IDirect3DTexture9* texture = GetFaceTexture(faces, face);
    if (!texture || !IsFaceVisible(face, viewProjection)) continue;
    drawn = SUCCEEDED(device->SetTexture(0, texture)) &&
            SUCCEEDED(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4 * face, 2)) && drawn;
  }
  return drawn;
}

bool cSkybox::RenderEffect(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& view,
                           const D3DXMATRIX& projection, const char* technique) {
  if (effect == nullptr || device == nullptr) return false;
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, &view, &projection);
  const D3DXHANDLE handle = effect->GetTechniqueByName(technique ? technique : "simple");
  if (handle == nullptr || FAILED(effect->SetTechnique(handle)) || !SetStream(device)) return false;
  UINT passes = 0;
  if (FAILED(effect->Begin(&passes, 0))) return false;
  // Once begun the effect is always ended, or it would refuse every later frame.
  const bool drawn = SUCCEEDED(effect->SetMatrix("matWorldViewProject", &viewProjection)) &&
                     DrawEffectPasses(faces, device, viewProjection, passes);
  return SUCCEEDED(effect->End()) && drawn;
}

bool cSkybox::DrawEffectPasses(D3DTexture* const* faces, IDirect3DDevice9* device, const D3DXMATRIX& viewProjection,
                               UINT passes) {
  bool drawn = true;
  for (UINT pass = 0; pass < passes; ++pass) {
    if (FAILED(effect->BeginPass(pass))) return false;
    for (int face = 0; face < FaceCount; ++face) {
      IDirect3DTexture9* texture = GetFaceTexture(faces, face);
      if (!texture || !IsFaceVisible(face, viewProjection)) continue;
      drawn = SUCCEEDED(effect->SetTexture("defaultTexture", texture)) &&
              SUCCEEDED(effect->CommitChanges()) &&
              SUCCEEDED(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4 * face, 2)) && drawn;
    }
    drawn = SUCCEEDED(effect->EndPass()) && drawn;
  }
  return drawn;
}

void cSkybox::OnLostDevice() {
  if (effect) effect->OnLostDevice();
}

void cSkybox::OnResetDevice(IDirect3DDevice9*) {
  if (effect) effect->OnResetDevice();
}

void cSkybox::Destroy() {
  SafeRelease(vertexBuffer);
  SafeRelease(effect);
}
