// Vertex and index buffers on the OpenGL backend: two streams of one
// declaration, 16- and 32-bit indices, base vertex and start index, and
// rewrites of part of a buffer.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "GLDeviceTest.h"

namespace gltest {
namespace {

struct Position {
  float x, y, z;
};

constexpr D3DVERTEXELEMENT9 kTwoStreams[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {1, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};

class IndexedDrawTest : public GLDeviceTest {
 protected:
  // A managed buffer holding `bytes` of `data`, released after the test.
  template <class Buffer>
  Buffer* Filled(Buffer* buffer, const void* data, UINT bytes) {
    void* target = nullptr;
    EXPECT_EQ(buffer->Lock(0, bytes, &target, 0), D3D_OK);
    if (target) std::memcpy(target, data, bytes);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return Own(buffer);
  }
  template <class T>
  IDirect3DVertexBuffer9* MakeVertices(const std::vector<T>& data) {
    const UINT bytes = static_cast<UINT>(data.size() * sizeof(T));
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data.data(), bytes) : nullptr;
  }
  template <class T>
  IDirect3DIndexBuffer9* MakeIndices(const std::vector<T>& data) {
    const UINT bytes = static_cast<UINT>(data.size() * sizeof(T));
    const D3DFORMAT format = sizeof(T) == 2 ? D3DFMT_INDEX16 : D3DFMT_INDEX32;
    IDirect3DIndexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, format, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data.data(), bytes) : nullptr;
  }

  // The back buffer in vertical strips of these colours, left to right.
  void ExpectStrips(const std::vector<D3DCOLOR>& colors) {
    ReadBack();
    const UINT width = kSize / static_cast<UINT>(colors.size());
    for (UINT s = 0; s < colors.size(); ++s) EXPECT_TRUE(ColorNear(Pixel(width * s + width / 2, 64), colors[s])) << s;
  }
};

// The backend skips attribute set-up a draw shares with the one before; what
// changed between draws must still reach it: another colour stream under the
// same declaration, a declaration without colours (the constant white), and a
// stream released and made again (GL may hand its name out anew).
TEST_F(IndexedDrawTest, EachDrawReadsItsOwnStreamsIndicesAndBaseVertex) {
  // Vertices 0..3 lie off screen; 4..7 cover the left half, 8..11 the right half.
  const std::vector<Position> halves = {{-9, 9, 0.5f}, {-8, 9, 0.5f},  {-9, 8, 0.5f},  {-8, 8, 0.5f},
                                        {-1, 1, 0.5f}, {0, 1, 0.5f},   {-1, -1, 0.5f}, {0, -1, 0.5f},
                                        {0, 1, 0.5f},  {1, 1, 0.5f},   {0, -1, 0.5f},  {1, -1, 0.5f}};
  std::vector<D3DCOLOR> halfColors(12, 0xFF336699);
  std::fill(halfColors.begin() + 8, halfColors.end(), 0xFF996633);
  IDirect3DIndexBuffer9* indices16 = MakeIndices(std::vector<uint16_t>{0, 1, 2, 2, 1, 3});
  // The second draw starts at index 3.
  IDirect3DIndexBuffer9* indices32 = MakeIndices(std::vector<uint32_t>{7, 7, 7, 8, 9, 10, 10, 9, 11});
  Declare(kTwoStreams);
  ASSERT_EQ(device_->SetStreamSource(0, MakeVertices(halves), 0, sizeof(Position)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(1, MakeVertices(halfColors), 0, sizeof(D3DCOLOR)), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices16), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices32), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 4, 3, 2), D3D_OK);
  ExpectStrips({0xFF336699, 0xFF996633});  // D3DCOLOR bytes arrive as r, g, b, a

  Clear();
  std::vector<Position> strips;
  for (int s = 0; s < 4; ++s) {
    const float left = -1.0f + 0.5f * static_cast<float>(s), right = left + 0.5f;
    strips.insert(strips.end(), {{left, 1, 0.5f}, {right, 1, 0.5f}, {left, -1, 0.5f}, {right, -1, 0.5f}});
  }
  const auto colors = [&](D3DCOLOR color) { return MakeVertices(std::vector<D3DCOLOR>(strips.size(), color)); };
  IDirect3DVertexBuffer9* blue = colors(kBlue);
  IDirect3DVertexDeclaration9 *twoStreams = nullptr, *positionOnly = nullptr;
  const D3DVERTEXELEMENT9 kPositionOnly[] = {kTwoStreams[0], D3DDECL_END()};
  ASSERT_EQ(device_->CreateVertexDeclaration(kTwoStreams, &twoStreams), D3D_OK);
  ASSERT_EQ(device_->CreateVertexDeclaration(kPositionOnly, &positionOnly), D3D_OK);
  Own(twoStreams), Own(positionOnly);
  ASSERT_EQ(device_->SetStreamSource(0, MakeVertices(strips), 0, sizeof(Position)), D3D_OK);
  const auto drawStrip = [&](IDirect3DVertexDeclaration9* declaration, IDirect3DVertexBuffer9* color, UINT strip) {
    ASSERT_EQ(device_->SetVertexDeclaration(declaration), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(1, color, 0, sizeof(D3DCOLOR)), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, strip * 4, 2), D3D_OK);
  };
  drawStrip(twoStreams, colors(kRed), 0);
  drawStrip(twoStreams, blue, 1);
  drawStrip(positionOnly, nullptr, 2);
  device_->SetStreamSource(1, nullptr, 0, 0);
  owned_.erase(std::find(owned_.begin(), owned_.end(), blue));
  blue->Release();
  drawStrip(twoStreams, colors(kGreen), 3);
  ExpectStrips({kRed, kBlue, kWhite, kGreen});
}

// Rewrites of part of a buffer, with each lock flag, reach the draws that follow;
// the rest of the buffer keeps what it had.
TEST_F(IndexedDrawTest, PartialRewritesWithEachLockFlagReachTheNextDraw) {
  // Four vertical strips of two triangles each, all red.
  std::vector<ColoredVertex> strips;
  for (int s = 0; s < 4; ++s) {
    const float left = -1.0f + 0.5f * static_cast<float>(s), right = left + 0.5f;
    for (const auto& corner : {std::pair{left, 1.0f}, std::pair{right, 1.0f}, std::pair{left, -1.0f},
                               std::pair{right, 1.0f}, std::pair{right, -1.0f}, std::pair{left, -1.0f}}) {
      strips.push_back({corner.first, corner.second, 0.5f, kRed});
    }
  }
  const UINT bytes = static_cast<UINT>(strips.size() * sizeof(ColoredVertex));
  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &buffer,
                                        nullptr),
            D3D_OK);
  Filled(buffer, strips.data(), bytes);
  ASSERT_EQ(device_->SetFVF(kColoredFVF), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, buffer, 0, sizeof(ColoredVertex)), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 8), D3D_OK);
  const struct {
    UINT strip;
    DWORD flags;
    D3DCOLOR color;
  } rewrites[] = {{1, 0, kGreen}, {2, D3DLOCK_NOOVERWRITE, kBlue}, {3, D3DLOCK_DISCARD, kWhite}};
  for (const auto& rewrite : rewrites) {
    ColoredVertex* vertex = nullptr;
    const UINT stripBytes = 6 * sizeof(ColoredVertex);
    ASSERT_EQ(buffer->Lock(rewrite.strip * stripBytes, stripBytes, reinterpret_cast<void**>(&vertex), rewrite.flags),
              D3D_OK);
    for (UINT i = 0; i < 6; ++i) vertex[i] = strips[rewrite.strip * 6 + i], vertex[i].color = rewrite.color;
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 8), D3D_OK);
  }
  ExpectStrips({kRed, kGreen, kBlue, kWhite});
}

}  // namespace
}  // namespace gltest
