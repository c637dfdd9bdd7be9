// Vertex and index buffers on the OpenGL backend: two streams of one
// declaration, 16- and 32-bit indices, base vertex and start index.
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
  void TearDown() override {
    if (device_) {
      for (UINT stream = 0; stream < 2; ++stream) device_->SetStreamSource(stream, nullptr, 0, 0);
      device_->SetIndices(nullptr);
    }
    GLDeviceTest::TearDown();
  }

  // A managed buffer holding `bytes` of `data`, released after the test.
  template <class Buffer>
  Buffer* Filled(Buffer* buffer, const void* data, UINT bytes) {
    void* target = nullptr;
    EXPECT_EQ(buffer->Lock(0, bytes, &target, 0), D3D_OK);
    if (target) std::memcpy(target, data, bytes);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return Own(buffer);
  }
  IDirect3DVertexBuffer9* MakeVertices(const void* data, UINT bytes) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data, bytes) : nullptr;
  }
  IDirect3DIndexBuffer9* MakeIndices(const void* data, UINT bytes, D3DFORMAT format) {
    IDirect3DIndexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, format, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data, bytes) : nullptr;
  }
};

TEST_F(IndexedDrawTest, TwoStreamsWithBaseVertexAndBothIndexSizes) {
  // Vertices 0..3 lie off screen; 4..7 cover the left half, 8..11 the right half.
  const Position positions[12] = {{-9, 9, 0.5f}, {-8, 9, 0.5f},  {-9, 8, 0.5f}, {-8, 8, 0.5f},
                                  {-1, 1, 0.5f}, {0, 1, 0.5f},   {-1, -1, 0.5f}, {0, -1, 0.5f},
                                  {0, 1, 0.5f},  {1, 1, 0.5f},   {0, -1, 0.5f},  {1, -1, 0.5f}};
  D3DCOLOR colors[12];
  for (UINT i = 0; i < 12; ++i) colors[i] = i < 8 ? 0xFF336699 : 0xFF996633;
  const uint16_t shortIndices[6] = {0, 1, 2, 2, 1, 3};
  const uint32_t longIndices[9] = {7, 7, 7, 8, 9, 10, 10, 9, 11};  // the draw starts at index 3
  IDirect3DVertexBuffer9* stream0 = MakeVertices(positions, sizeof(positions));
  IDirect3DVertexBuffer9* stream1 = MakeVertices(colors, sizeof(colors));
  IDirect3DIndexBuffer9* indices16 = MakeIndices(shortIndices, sizeof(shortIndices), D3DFMT_INDEX16);
  IDirect3DIndexBuffer9* indices32 = MakeIndices(longIndices, sizeof(longIndices), D3DFMT_INDEX32);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kTwoStreams, &declaration), D3D_OK);
  ASSERT_TRUE(stream0 && stream1 && indices16 && indices32);

  ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, stream0, 0, sizeof(Position)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(1, stream1, 0, sizeof(D3DCOLOR)), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices16), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices32), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 4, 3, 2), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), 0xFF336699));  // D3DCOLOR bytes arrive as r, g, b, a
  EXPECT_TRUE(ColorNear(Pixel(96, 64), 0xFF996633));
}

// Rewrites of part of a buffer, with each lock flag, reach the draws that follow;
// the rest of the buffer keeps what it had.
TEST_F(IndexedDrawTest, PartialRewritesWithEachLockFlagReachTheNextDraw) {
  struct ColoredVertex {
    float x, y, z;
    D3DCOLOR color;
  };
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
  ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
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
  ReadBack();
  const D3DCOLOR expected[4] = {kRed, kGreen, kBlue, kWhite};
  for (UINT s = 0; s < 4; ++s) EXPECT_TRUE(ColorNear(Pixel(16 + 32 * s, 64), expected[s])) << s;
}

// The backend skips attribute set-up a draw shares with the one before; what
// changed between draws must still reach it: another colour stream under the
// same declaration, a declaration without colours (the constant white), and a
// stream released and made again (GL may hand its name out anew).
TEST_F(IndexedDrawTest, EachDrawReadsItsOwnStreamsWhenLayoutsRepeat) {
  std::vector<Position> positions;
  for (int s = 0; s < 4; ++s) {
    const float left = -1.0f + 0.5f * static_cast<float>(s), right = left + 0.5f;
    positions.insert(positions.end(), {{left, 1, 0.5f}, {right, 1, 0.5f}, {left, -1, 0.5f}, {right, -1, 0.5f}});
  }
  const auto colors = [&](D3DCOLOR color) {
    const std::vector<D3DCOLOR> all(positions.size(), color);
    return MakeVertices(all.data(), static_cast<UINT>(all.size() * sizeof(D3DCOLOR)));
  };
  IDirect3DVertexBuffer9* stream0 = MakeVertices(positions.data(), static_cast<UINT>(positions.size() * sizeof(Position)));
  IDirect3DVertexBuffer9* red = colors(kRed);
  IDirect3DVertexBuffer9* blue = colors(kBlue);
  IDirect3DVertexDeclaration9 *twoStreams = nullptr, *positionOnly = nullptr;
  const D3DVERTEXELEMENT9 kPositionOnly[] = {kTwoStreams[0], D3DDECL_END()};
  ASSERT_EQ(device_->CreateVertexDeclaration(kTwoStreams, &twoStreams), D3D_OK);
  ASSERT_EQ(device_->CreateVertexDeclaration(kPositionOnly, &positionOnly), D3D_OK);
  Own(twoStreams), Own(positionOnly);
  ASSERT_TRUE(stream0 && red && blue);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  ASSERT_EQ(device_->SetStreamSource(0, stream0, 0, sizeof(Position)), D3D_OK);
  const auto drawStrip = [&](IDirect3DVertexDeclaration9* declaration, IDirect3DVertexBuffer9* color, UINT strip) {
    ASSERT_EQ(device_->SetVertexDeclaration(declaration), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(1, color, 0, sizeof(D3DCOLOR)), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, strip * 4, 2), D3D_OK);
  };
  drawStrip(twoStreams, red, 0);
  drawStrip(twoStreams, blue, 1);
  drawStrip(positionOnly, nullptr, 2);
  device_->SetStreamSource(1, nullptr, 0, 0);
  owned_.erase(std::find(owned_.begin(), owned_.end(), blue));
  blue->Release();
  drawStrip(twoStreams, colors(kGreen), 3);
  ReadBack();
  const D3DCOLOR expected[4] = {kRed, kBlue, kWhite, kGreen};
  for (UINT s = 0; s < 4; ++s) EXPECT_TRUE(ColorNear(Pixel(16 + 32 * s, 64), expected[s])) << s;
}

// A texture whose second level alone is rewritten keeps its first level.
TEST_F(IndexedDrawTest, RewritingOneTextureLevelLeavesTheOthers) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  Own(texture);
  WriteTexels(texture, 2, 2, std::vector<D3DCOLOR>(4, kRed));
  device_->SetTexture(0, texture);
  DrawQuad(-1.0f, 0.0f);  // uploads both levels
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  *static_cast<D3DCOLOR*>(locked.pBits) = kBlue;
  ASSERT_EQ(texture->UnlockRect(1), D3D_OK);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  DrawQuad(0.0f, 1.0f);  // magnified: level 0
  DrawScreenQuad(0, 0, 1, 1, kWhite);  // the whole texture on one pixel: level 1
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(96, 64), kRed));
  EXPECT_TRUE(ColorNear(Pixel(0, 0), kBlue));
}

}  // namespace
}  // namespace gltest
