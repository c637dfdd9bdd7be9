#include "normalmap/cNormalmapFDRaw.h"

#include <utility>

#include "settings/TypeIds.h"
#include "normalmap/NormalBlocks.h"

bool cNormalmapFDRaw::SetSource(iHeightmap* heightmap) {
  if (!heightmap) return false;
  heightmap_ = heightmap;
  const int size = heightmap->GetResolution();
  if (size < 1 || size > kMaxHeightmapResolution) return false;
  // Room for both wrapped neighbours and for the reads of a short last block.
  const size_t stride = (static_cast<size_t>(size) + 3) / 4 * 4 + 4;
  cAlignedArray<D3DXVECTOR3> normals;
  cAlignedArray<float> rowCopies;
  if (!AllocateNormals(normals, size) || !rowCopies.Allocate(3 * stride)) return false;
  normals_ = std::move(normals);
  rowCopies_ = std::move(rowCopies);
  rowStride_ = stride;
  size_ = size;
  texture_.Release();
  return true;
}

// The heightmap may have been initialised again at another size since
// SetSource; then the normals no longer fit and nothing is computed.
bool cNormalmapFDRaw::Compute() {
  if (!heightmap_ || !normals_.Data()) return false;
  const float* heights = heightmap_->GetHeights();
  if (!heights || heightmap_->GetResolution() != size_) return false;
  RowWindow rows{rowCopies_.Data(), rowCopies_.Data() + rowStride_, rowCopies_.Data() + 2 * rowStride_};
  LoadRow(heights, size_ - 1, rows.previous);
  LoadRow(heights, 0, rows.current);
  for (int i = 0; i < size_; ++i) {
    LoadRow(heights, (i + 1) % size_, rows.next);
    ComputeRow(rows, normals_.Data() + static_cast<size_t>(i) * size_);
    rows = {rows.current, rows.next, rows.previous};
  }
  return true;
}

void cNormalmapFDRaw::LoadRow(const float* heights, int row, float* copy) const {
  const float* source = heights + static_cast<size_t>(row) * size_;
  for (int j = 0; j < size_; ++j) copy[j + 1] = amplitude_ * source[j];
  copy[0] = copy[size_];
  copy[size_ + 1] = copy[1];
}

// In the row copies, columns j-1, j and j+1 sit at offsets j, j+1 and j+2.
void cNormalmapFDRaw::ComputeRow(const RowWindow& rows, D3DXVECTOR3* normals) const {
  const float* up = rows.previous;
  const float* mid = rows.current;
  const float* down = rows.next;
  if (method_ == FORWARD) {
    ForEachBlock4(normals, size_, [=](size_t j, D3DXVECTOR3* out) {
      const v4sf h = Load4(mid + j + 1);
      const v4sf dx = Load4(mid + j + 2) - h;
      const v4sf dz = Load4(down + j + 1) - h;
      StoreUnitNormals4(-dx, -dz, out);
    });
    return;
  }
  ForEachBlock4(normals, size_, [=](size_t j, D3DXVECTOR3* out) {
    const v4sf sx = 0.25f * ((2.0f * Load4(mid + j + 2) + Load4(up + j + 2) + Load4(down + j + 2)) -
                             (2.0f * Load4(mid + j) + Load4(up + j) + Load4(down + j)));
    const v4sf sz = 0.25f * ((2.0f * Load4(down + j + 1) + Load4(down + j + 2) + Load4(down + j)) -
                             (2.0f * Load4(up + j + 1) + Load4(up + j + 2) + Load4(up + j)));
    StoreUnitNormals4(-sx, -sz, out);
  });
}

bool cNormalmapFDRaw::WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.Write(d3d, device, normals_.Data(), size_);
}

bool cNormalmapFDRaw::IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return cNormalmapTexture::IsSupported(d3d, device);
}

int cNormalmapFDRaw::GetTypeId() const { return NORMALMAP_FD_RAW; }

cEngineSettings* cNormalmapFDRaw::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->normalmapType = NORMALMAP_FD_RAW;
  settings->fdNormalmapAmplitude = amplitude_;
  settings->fdNormalmapMethod = method_;
  return settings;
}
