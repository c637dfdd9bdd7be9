#include "geometry/cGeomipmapGrid.h"

#include <algorithm>
#include <cmath>

#include "settings/TypeIds.h"
#include "geometry/GridSampling.h"
#include "base/IsBoxVisible.h"
#include "geometry/cSM1VertexWriter.h"

cGeomipmapGrid::cGeomipmapGrid() = default;

cGeomipmapGrid::~cGeomipmapGrid() {
  SafeRelease(oneStream_);
  SafeRelease(twoStreams_);
}

bool cGeomipmapGrid::WithinLimits(int patchCountX, int patchCountZ, int level0Tessellation) {
  const long long patches = static_cast<long long>(std::max(patchCountX, 1)) * std::max(patchCountZ, 1);
  const long long side = std::max(level0Tessellation, 2) + 1LL;
  return patches <= MAX_PATCHES && side * side <= MAX_WATER_VERTICES;
}

bool cGeomipmapGrid::Create(float sizeX, float sizeZ, int patchCountX, int patchCountZ, int level0Tessellation,
                            const D3DXVECTOR2& defaultUVScale, const D3DXVECTOR3& origin, IDirect3DDevice9* device) {
  if (!device || !WithinLimits(patchCountX, patchCountZ, level0Tessellation)) return false;
  size_ = D3DXVECTOR2(sizeX > 0.0f ? sizeX : 1.0f, sizeZ > 0.0f ? sizeZ : 1.0f);
  patchCountX_ = std::max(patchCountX, 1);
  patchCountZ_ = std::max(patchCountZ, 1);
  const int tessellation = std::max(level0Tessellation, 2);
  defaultUVScale_ = D3DXVECTOR2((defaultUVScale.x > 0.0f ? defaultUVScale.x : 1.0f) / patchCountX_,
                                (defaultUVScale.y > 0.0f ? defaultUVScale.y : 1.0f) / patchCountZ_);
  extrusionUVScale_ = defaultUVScale_;
  origin_ = origin;
  lodCentre_ = origin;
  lastLevelFalloff_ = (size_.x + size_.y) / 2.0f;

  patches_.clear();
  if (!oneStream_ && FAILED(CreateWaterDeclaration(device, false, &oneStream_))) return false;
  patchWidth_ = size_.x / patchCountX_;
  patchDepth_ = size_.y / patchCountZ_;
  patches_.assign(static_cast<size_t>(patchCountX_) * patchCountZ_, Patch{});
  PlacePatches();
  batched_.reserve(BATCH_CAPACITY);
  return CreateLevel(device, levels_[0], tessellation) && CreateLevel(device, levels_[1], 1) && CreateBatch(device);
}

void cGeomipmapGrid::PlacePatches() {
  const D3DXVECTOR3 half(patchWidth_ / 2.0f, 0.0f, patchDepth_ / 2.0f);
  for (int r = 0; r < patchCountZ_; ++r) {
    for (int c = 0; c < patchCountX_; ++c) {
      Patch& patch = patches_[static_cast<size_t>(r) * patchCountX_ + c];
      patch.centre = D3DXVECTOR3(origin_.x - (size_.x / 2.0f - half.x) + c * patchWidth_, origin_.y,
                                 origin_.z - (size_.y / 2.0f - half.z) + r * patchDepth_);
      patch.boxMax = patch.centre + half;
      patch.boxMin = patch.centre - half;
      patch.column = c;
      patch.row = r;
    }
  }
}

bool cGeomipmapGrid::CreateLevel(IDirect3DDevice9* device, Level& level, int tessellation) {
  const int side = tessellation + 1;
  level.tessellation = tessellation;
  level.pattern.resize(static_cast<size_t>(side) * side);
  if (!level.buffers.Create(device, side * side, 6 * tessellation * tessellation)) return false;
  for (int i = 0; i <= tessellation; ++i) {
    for (int j = 0; j <= tessellation; ++j) {
      const float across = static_cast<float>(j) / tessellation;
      const float along = static_cast<float>(i) / tessellation;
      level.pattern[i * side + j] = WaterVertex{across * patchWidth_ - patchWidth_ / 2.0f, 0.0f,
                                                along * patchDepth_ - patchDepth_ / 2.0f,
                                                across * defaultUVScale_.x, along * defaultUVScale_.y};
    }
  }
  WaterVertex* vertices = nullptr;
  if (!level.buffers.LockVertices(&vertices, 0)) return false;
  std::copy(level.pattern.begin(), level.pattern.end(), vertices);
  if (!level.buffers.UnlockVertices()) return false;
  WORD* indices = nullptr;
  if (!level.buffers.LockIndices(&indices)) return false;
  cGridBuffers::FillQuadIndices(indices, tessellation, tessellation);
  return level.buffers.UnlockIndices();
}

bool cGeomipmapGrid::CreateBatch(IDirect3DDevice9* device) {
  if (!batch_.Create(device, BATCH_CAPACITY * 4, BATCH_CAPACITY * 6)) return false;
  WORD* indices = nullptr;
  if (!batch_.LockIndices(&indices)) return false;
  // Each quad in the corner order of the one-quad level.
  for (int q = 0; q < BATCH_CAPACITY; ++q) {
    const WORD first = static_cast<WORD>(4 * q);
    const WORD quad[6] = {first, WORD(first + 2), WORD(first + 1), WORD(first + 1), WORD(first + 2), WORD(first + 3)};
    indices = std::copy(std::begin(quad), std::end(quad), indices);
  }
  return batch_.UnlockIndices();
}

void cGeomipmapGrid::SetLodCenter(const D3DXVECTOR3& centre) { lodCentre_ = centre; }

void cGeomipmapGrid::SetLastLevelFalloffDistance(float distance) { lastLevelFalloff_ = std::max(distance, 0.0f); }

void cGeomipmapGrid::SetHeightFalloffDistance(float distance) { heightFalloffSquared_ = distance * distance; }

bool cGeomipmapGrid::OnLostDevice(IDirect3DDevice9*) { return true; }

bool cGeomipmapGrid::OnResetDevice(IDirect3DDevice9*) { return true; }

bool cGeomipmapGrid::OnDeviceEvent(IDirect3DDevice9*) { return true; }

bool cGeomipmapGrid::Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) {
  heightmap_ = heightmap;
  if (!heightmap) return true;
  strength_ = strength;
  extrusionUVScale_ = D3DXVECTOR2(uvScaleX / patchCountX_, uvScaleY / patchCountZ_);
  explicitUVScale_ = true;
  return true;
}

bool cGeomipmapGrid::ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) {
  heightmap_ = heightmap;
  if (heightmap) {
    explicitUVScale_ = false;
    strength_ = strength;
  }
  return true;
}

bool cGeomipmapGrid::SetOrigin(const D3DXVECTOR3& origin) {
  origin_ = origin;
  PlacePatches();
  return true;
}

float cGeomipmapGrid::GetHeightAt(float, float) const { return -1.0f; }

int cGeomipmapGrid::GetTypeId() const { return GEOMETRY_GEOMIPMAP; }

bool cGeomipmapGrid::HasExtraStreams() const {
  return levels_[0].buffers.GetExtraStream() && levels_[1].buffers.GetExtraStream() && batch_.GetExtraStream() &&
         twoStreams_;
}

bool cGeomipmapGrid::CreateExtraStream(IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  if (!device || FAILED(device->GetDeviceCaps(&caps))) return false;
  if (caps.MaxStreams < 2 || patches_.empty() || !batch_.IsCreated()) return false;
  if (!levels_[0].buffers.CreateExtraStream(device) || !levels_[1].buffers.CreateExtraStream(device) ||
      !batch_.CreateExtraStream(device))
    return false;
  // The engines ask again every frame (this grid reports no stream of its own), so the layout is kept.
  return twoStreams_ || SUCCEEDED(CreateWaterDeclaration(device, true, &twoStreams_));
}

cGeomipmapGrid::PatchSource cGeomipmapGrid::CurrentSource() const {
  PatchSource source{nullptr, 0, explicitUVScale_ ? extrusionUVScale_ : defaultUVScale_};
  // A heightmap without heights yet draws flat rather than failing the frame.
  if (heightmap_ && heightmap_->GetHeights() && heightmap_->GetResolution() > 0) {
    source.heights = heightmap_->GetHeights();
    source.n = heightmap_->GetResolution();
  }
  return source;
}

void cGeomipmapGrid::ChooseLevels(const D3DXMATRIX* viewProjection) {
  batched_.clear();
  for (Patch& patch : patches_) {
    patch.boxMax.y = patch.centre.y + strength_;
    patch.boxMin.y = patch.centre.y;
    patch.visible = IsBoxVisible(patch.boxMax, patch.boxMin, viewProjection);
    if (patch.visible) {
      const float dx = patch.centre.x - lodCentre_.x;
      const float dz = patch.centre.z - lodCentre_.z;
      patch.level = std::sqrt(dx * dx + dz * dz) <= lastLevelFalloff_ ? 0 : 1;
    }
    patch.batched = patch.visible && patch.level == 1 && batched_.size() < BATCH_CAPACITY;
    if (patch.batched) batched_.push_back(&patch);
  }
}

void cGeomipmapGrid::WritePatch(const Patch& patch, const PatchSource& source, const iVertexExtraWriter* writer,
                                WaterVertex* vertices, WaterVertexExtra* extra) const {
  const Level& level = levels_[patch.level];
  const int t = level.tessellation;
  const bool detailed = patch.level == 0;
  const bool displaced = detailed && source.heights;
  for (int i = 0, k = 0; i <= t; ++i) {
    for (int j = 0; j <= t; ++j, ++k) {
      const WaterVertex& local = level.pattern[k];
      WaterVertex& vertex = vertices[k];
      vertex.x = local.x + patch.centre.x;
      vertex.y = patch.centre.y;
      vertex.z = local.z + patch.centre.z;
      vertex.u = (patch.column + static_cast<float>(j) / t) * source.uvScale.x;
      vertex.v = (patch.row + static_cast<float>(i) / t) * source.uvScale.y;
      if (displaced) {
        // Waves fade with the distance from the camera and vanish at the height falloff distance.
        const float falloff = HeightFalloff(lodCentre_.x - vertex.x, lodCentre_.z - vertex.z, heightFalloffSquared_);
        vertex.y += (1.0f - falloff) * strength_ * source.heights[TexelIndex(vertex.u, vertex.v, source.n)];
      }
      if (writer) writer->Write(vertex, detailed, &extra[k]);
    }
  }
}

bool cGeomipmapGrid::DrawMesh(IDirect3DDevice9* device, cGridBuffers& buffers,
                              std::span<const Patch* const> patches, const PatchSource& source,
                              const iVertexExtraWriter* writer) {
  const Level& level = levels_[patches.front()->level];
  const int perPatch = static_cast<int>(level.pattern.size());
  WaterVertex* vertices = nullptr;
  if (!buffers.LockVertices(&vertices, 0)) return false;
  WaterVertexExtra* extra = nullptr;
  if (writer && !buffers.LockExtra(&extra)) {
    buffers.UnlockVertices();
    return false;
  }
  for (size_t q = 0; q < patches.size(); ++q)
    WritePatch(*patches[q], source, writer, vertices + q * perPatch, extra ? extra + q * perPatch : nullptr);
  if (!buffers.UnlockVertices() || (writer && !buffers.UnlockExtra())) return false;

  const int count = static_cast<int>(patches.size());
  const int triangles = count * 2 * level.tessellation * level.tessellation;
  if (!buffers.Draw(device, writer ? twoStreams_ : oneStream_, writer != nullptr, count * perPatch, triangles))
    return false;
  if (writer && FAILED(cGridBuffers::ClearStreamOne(device))) return false;
  statVertices_ += count * perPatch;
  statTriangles_ += triangles;
  ++statDrawCalls_;
  return true;
}

bool cGeomipmapGrid::DrawPatches(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection,
                                 const iVertexExtraWriter* writer) {
  if (!device || patches_.empty() || !oneStream_ || !levels_[0].buffers.IsCreated() ||
      !levels_[1].buffers.IsCreated() || !batch_.IsCreated())
    return false;
  statVertices_ = statTriangles_ = statDrawCalls_ = 0;
  ChooseLevels(viewProjection);
  const PatchSource source = CurrentSource();
  for (const Patch& patch : patches_) {
    if (!patch.visible || patch.batched) continue;
    const Patch* single = &patch;
    if (!DrawMesh(device, levels_[patch.level].buffers, std::span(&single, 1), source, writer)) return false;
  }
  return batched_.empty() || DrawMesh(device, batch_, batched_, source, writer);
}

bool cGeomipmapGrid::Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) {
  return DrawPatches(device, viewProjection, nullptr);
}

bool cGeomipmapGrid::RenderFFP(IDirect3DDevice9* device, const FFPVertexParameters& parameters) {
  if (!parameters.normals || parameters.normalmapSize < 1) return false;
  if (!HasExtraStreams() && !CreateExtraStream(device)) return false;
  const cFFPVertexWriter writer(parameters, nullptr);
  return DrawPatches(device, &parameters.viewProjection, &writer);
}

bool cGeomipmapGrid::RenderSM1(IDirect3DDevice9* device, const D3DXVECTOR3* normals, int normalmapSize,
                               const D3DXMATRIX* viewProjection) {
  if (!normals || normalmapSize < 1) return false;
  if (!HasExtraStreams() && !CreateExtraStream(device)) return false;
  const cSM1VertexWriter writer(normals, normalmapSize);
  return DrawPatches(device, viewProjection, &writer);
}

cEngineSettings* cGeomipmapGrid::FillSettings(cEngineSettings* settings) {
  const D3DXVECTOR2 patches(static_cast<float>(patchCountX_), static_cast<float>(patchCountZ_));
  const D3DXVECTOR2 extrusionUVScale(extrusionUVScale_.x * patches.x, extrusionUVScale_.y * patches.y);
  const D3DXVECTOR2 defaultUVScale(defaultUVScale_.x * patches.x, defaultUVScale_.y * patches.y);
  FillGeometrySettings(settings, GetTypeId(), origin_, heightmap_ != nullptr, strength_, extrusionUVScale,
                       defaultUVScale);
  settings->geomipmapHeightFalloffDistance = std::sqrt(heightFalloffSquared_);
  settings->geomipmapLastLevelFalloffDistance = lastLevelFalloff_;
  settings->geomipmapLevel0Tessellation = levels_[0].tessellation;
  settings->geomipmapSizeX = size_.x;
  settings->geomipmapSizeZ = size_.y;
  settings->geomipmapPatchCountX = patchCountX_;
  settings->geomipmapPatchCountZ = patchCountZ_;
  return settings;
}
