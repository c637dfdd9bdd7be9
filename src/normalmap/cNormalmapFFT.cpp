#include "normalmap/cNormalmapFFT.h"

#include <cstring>
#include <utility>

#include "settings/TypeIds.h"
#include "normalmap/NormalBlocks.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kMinVectorSize = 8;  // rows of at least two vectors, halves of whole vectors

// normalise((x, y, 1)) for a row, eight columns at a time on the wide units:
// the same operations as StoreUnitNormals4, so the same results.
__attribute__((target("avx2"), flatten)) size_t StoreUnitNormalsWide(const float* x, const float* y, size_t count,
                                                                      D3DXVECTOR3* out) {
  size_t c = 0;
  for (; c + 8 <= count; c += 8) {
    v8sf vx, vy;
    std::memcpy(&vx, x + c, sizeof vx);
    std::memcpy(&vy, y + c, sizeof vy);
    const v8sf z = 1.0f / __builtin_ia32_sqrtps256(vx * vx + vy * vy + 1.0f);
    vx *= z;
    vy *= z;
    StoreNormals4(__builtin_shufflevector(vx, vx, 0, 1, 2, 3), __builtin_shufflevector(vy, vy, 0, 1, 2, 3),
                  __builtin_shufflevector(z, z, 0, 1, 2, 3), out + c);
    StoreNormals4(__builtin_shufflevector(vx, vx, 4, 5, 6, 7), __builtin_shufflevector(vy, vy, 4, 5, 6, 7),
                  __builtin_shufflevector(z, z, 4, 5, 6, 7), out + c + 4);
  }
  return c;
}

void StoreUnitNormalRow(const float* x, const float* y, size_t count, D3DXVECTOR3* out) {
  const size_t done = HasWideVectors() ? StoreUnitNormalsWide(x, y, count, out) : 0;
  ForEachBlock4(out + done, count - done, [=](size_t c, D3DXVECTOR3* normals) {
    StoreUnitNormals4(Load4(x + done + c), Load4(y + done + c), normals);
  });
}

}  // namespace

bool cNormalmapFFT::SetSource(iHeightmap* heightmap) {
  if (!heightmap || heightmap->GetTypeId() != HEIGHTMAP_FFT) return false;
  auto* fftHeightmap = dynamic_cast<cFFTHeightmap*>(heightmap);
  if (!fftHeightmap) return false;
  heightmap_ = fftHeightmap;
  const int size = fftHeightmap->GetResolution();
  if (size < 2 || size > kMaxHeightmapResolution) return false;
  cAlignedArray<D3DXVECTOR3> normals;
  cComplexFFT transform;
  if (!AllocateNormals(normals, size) || !transform.Create(size)) return false;
  size_ = size;
  normals_ = std::move(normals);
  transform_ = std::move(transform);
  texture_.Release();
  return true;
}

// The slope fields are not normalised: their scale is the spectrum's own.
bool cNormalmapFFT::Compute() {
  if (!heightmap_ || !normals_.Data()) return false;
  const std::complex<float>* spectrum = heightmap_->GetSpectrum();
  if (!spectrum || heightmap_->GetResolution() != size_) return false;
  BuildSlopeSpectrum(spectrum);
  return transform_.Run([this](int r, const float* x, const float* y) {
    StoreUnitNormalRow(x, y, size_, normals_.Data() + static_cast<size_t>(r) * size_);
  });
}

// Element (i, j) of the spectrum X stands for the wave vector (kx, kz) =
// (i - N/2, j - N/2) * pi / L, and the heights are -Re of its transform, so
// minus a slope is Re of the transform of i k X. The real part of a transform
// is the transform of the spectrum's Hermitian part, taken against the
// mirrored element X(-k), at ((N - i) mod N, (N - j) mod N): the Nyquist row
// and column are their own mirrors. One complex run then gives both fields:
//   Y = (i (kz X(k) - kz(-k) X*(-k)) - (kx X(k) - kx(-k) X*(-k))) / 2
// transforms to minus the column slope plus i times minus the row slope.
// Elements go half a period on in both directions, where the transform
// expects wave number 0 first.
void cNormalmapFFT::BuildSlopeSpectrum(const std::complex<float>* spectrum) {
  if (size_ < kMinVectorSize) {
    BuildSlopeSpectrumDirect(spectrum);
    return;
  }
  for (int i = 0; i < size_; ++i) BuildSlopeRow(spectrum, i);
}

void cNormalmapFFT::BuildSlopeRow(const std::complex<float>* spectrum, int i) {
  const int n = size_, half = n / 2, mask = n - 1, mirror = (n - i) & mask;
  const float step = kPi / static_cast<float>(heightmap_->GetGridSize());
  const v4sf kx = Splat4(step * (i - half)), kxMirror = Splat4(step * (mirror - half));
  const float* p = reinterpret_cast<const float*>(spectrum + static_cast<size_t>(i) * n);
  const float* q = reinterpret_cast<const float*>(spectrum + static_cast<size_t>(mirror) * n);
  float* re = transform_.InputRe((i + half) & mask);
  float* im = transform_.InputIm((i + half) & mask);
  const v4sf lanes{0.0f, 1.0f, 2.0f, 3.0f};
  for (int j = 0; j < n; j += 4) {
    v4sf pr, pi, qr, qi;
    Deinterleave4(p + 2 * j, &pr, &pi);
    const v4sf kz = Splat4(step) * (Splat4(static_cast<float>(j - half)) + lanes);
    v4sf kzMirror = -kz;
    if (j == 0) {
      // Column 0 is its own mirror; columns 1 to 3 mirror N-1 to N-3.
      v4sf tr, ti;
      DeinterleaveReversed4(q + 2 * (n - 1), &tr, &ti);
      qr = v4sf{q[0], tr[0], tr[1], tr[2]};
      qi = v4sf{q[1], ti[0], ti[1], ti[2]};
      kzMirror[0] = kz[0];
    } else {
      DeinterleaveReversed4(q + 2 * (n - j), &qr, &qi);
    }
    qi = -qi;  // conjugate
    const v4sf aRe = kz * pr - kzMirror * qr, aIm = kz * pi - kzMirror * qi;
    const v4sf bRe = kx * pr - kxMirror * qr, bIm = kx * pi - kxMirror * qi;
    const int column = (j + half) & mask;
    Store4(re + column, Splat4(-0.5f) * (aIm + bRe));
    Store4(im + column, Splat4(0.5f) * (aRe - bIm));
  }
}

// The same, one element at a time, for grids narrower than two vectors.
void cNormalmapFFT::BuildSlopeSpectrumDirect(const std::complex<float>* spectrum) {
  const int n = size_, half = n / 2, mask = n - 1;
  const float step = kPi / static_cast<float>(heightmap_->GetGridSize());
  for (int i = 0; i < n; ++i) {
    const int mi = (n - i) & mask;
    float* re = transform_.InputRe((i + half) & mask);
    float* im = transform_.InputIm((i + half) & mask);
    for (int j = 0; j < n; ++j) {
      const int mj = (n - j) & mask;
      const std::complex<float> x = spectrum[i * n + j], mirrored = std::conj(spectrum[mi * n + mj]);
      const std::complex<float> a = step * (j - half) * x - step * (mj - half) * mirrored;
      const std::complex<float> b = step * (i - half) * x - step * (mi - half) * mirrored;
      const std::complex<float> y = 0.5f * (std::complex<float>(0.0f, 1.0f) * a - b);
      re[(j + half) & mask] = y.real();
      im[(j + half) & mask] = y.imag();
    }
  }
}

bool cNormalmapFFT::WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.Write(d3d, device, normals_.Data(), size_);
}

bool cNormalmapFFT::IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return cNormalmapTexture::IsSupported(d3d, device);
}

int cNormalmapFFT::GetTypeId() const { return NORMALMAP_FFT; }

cEngineSettings* cNormalmapFFT::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->normalmapType = NORMALMAP_FFT;
  return settings;
}
