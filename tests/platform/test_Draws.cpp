#include <cstring>

#include "PlatformFixture.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

class Draws : public PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    ASSERT_EQ(device->CreateVertexBuffer(20 * 4, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &quad, nullptr),
              D3D_OK);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, quad, 0, 20);
  }
  void TearDown() override {
    quad->Release();
    PlatformFixture::TearDown();
  }
  IDirect3DVertexBuffer9* quad = nullptr;
};

TEST_F(Draws, ScenesFrameDrawsAndPresents) {
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 0), D3D_OK);  // nothing to draw
  EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  device->SetFVF(0);  // nothing to draw from without a layout or a stream
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device->SetFVF(D3DFVF_XYZ);
  device->SetStreamSource(0, nullptr, 0, 0);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(std::tuple(Recorded().draws.size(), Recorded().presents), std::tuple(1u, 1));
}

// What an effect binding adds to the record is checked through an effect.
TEST_F(Draws, RecordsCarryTheTexturesAndFvf) {
  ASSERT_TRUE(IsRecording());
  IDirect3DTexture9* first = Texture(4, 4);
  IDirect3DTexture9* second = Texture(4, 4);
  device->SetTexture(0, first);
  device->SetTexture(1, second);
  SpyOn([&] { ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 1), D3D_OK); });
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  ASSERT_EQ(Recorded().draws.size(), 1u);
  const DrawRecord& d = Recorded().draws[0];
  EXPECT_EQ(std::tuple(d.type, d.indexed, d.primitiveCount, d.vertexCount, d.start, d.effect),
            std::tuple(D3DPT_TRIANGLESTRIP, false, 1u, 3u, 1u, std::string()));
  EXPECT_EQ(std::tuple(d.textures[0], d.textures[1], d.fvf),
            std::tuple(static_cast<IDirect3DBaseTexture9*>(first), static_cast<IDirect3DBaseTexture9*>(second),
                       static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1)));
}

TEST_F(Draws, ClearsCheckTheirArgumentsAndClipRectsToTheViewport) {
  SpyBackend* spy = InstallSpy();
  EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // D16 has no stencil
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), D3D_OK);
  const D3DVIEWPORT9 viewport{100, 100, 200, 200, 0, 1};
  device->SetViewport(&viewport);
  const D3DRECT rects[] = {{0, 0, 150, 120}, {500, 500, 600, 600}, {250, 150, 400, 250}};
  ASSERT_EQ(device->Clear(3, rects, D3DCLEAR_TARGET, 0xFF102030u, 1.0f, 0), D3D_OK);
  EXPECT_EQ(Recorded().clears, 2);
  ASSERT_EQ(spy->clears.size(), 3u);
  EXPECT_EQ(std::tuple(spy->clears[0].viewport.Width, spy->clears[0].color), std::tuple(1024u, 0xFF000000u));
  const auto box = [&](size_t i) {
    const D3DVIEWPORT9& v = spy->clears[i].viewport;
    return std::tuple(v.X, v.Y, v.Width, v.Height);
  };
  EXPECT_EQ(box(1), std::tuple(100u, 100u, 50u, 20u));
  EXPECT_EQ(box(2), std::tuple(250u, 150u, 50u, 100u));
  EXPECT_EQ(std::tuple(Viewport().X, Viewport().Width), std::tuple(100u, 200u));
}

TEST_F(Draws, BoundObjectsAreHeldByTheDevice) {
  EXPECT_EQ(quad->AddRef(), 2u);  // bindings are not program references
  EXPECT_EQ(quad->Release(), 1u);
  IDirect3DVertexBuffer9* bound = nullptr;
  UINT offset = 0, stride = 0;
  ASSERT_EQ(device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
  EXPECT_EQ(std::tuple(bound, stride), std::tuple(quad, 20u));
  EXPECT_EQ(bound->Release(), 1u);
  EXPECT_EQ(quad->Release(), 0u);  // gone for the program, still bound
  SpyOn([&] { EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK); });
  device->SetStreamSource(0, nullptr, 0, 0);  // frees it
  ASSERT_EQ(device->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &quad, nullptr), D3D_OK);  // for TearDown
}

using Buffers = PlatformFixture;

TEST_F(Buffers, LocksAreSingleAndStayInsideTheBuffer) {
  IDirect3DVertexBuffer9* buffer = VertexBuffer(100, D3DFVF_XYZ);
  void *whole = nullptr, *part = nullptr;
  ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
  EXPECT_EQ(buffer->Lock(0, 0, &part, 0), D3DERR_INVALIDCALL);  // locked twice
  ASSERT_EQ(buffer->Unlock(), D3D_OK);
  EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
  ASSERT_EQ(buffer->Lock(40, 60, &part, 0), D3D_OK);
  EXPECT_EQ(static_cast<uint8_t*>(part) - static_cast<uint8_t*>(whole), 40);
  ASSERT_EQ(buffer->Unlock(), D3D_OK);
  ASSERT_EQ(buffer->Lock(90, 0, &part, 0), D3D_OK);  // size 0: to the end
  ASSERT_EQ(buffer->Unlock(), D3D_OK);
  for (const auto& [offset, size] : {std::pair{40u, 61u}, {101u, 0u}, {0xFFFFFFF0u, 0x20u}})
    EXPECT_EQ(buffer->Lock(offset, size, &part, 0), D3DERR_INVALIDCALL) << offset;
  EXPECT_EQ(buffer->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(Buffers, DescriptionsAndCreationRules) {
  IDirect3DVertexBuffer9* vertices = nullptr;
  ASSERT_EQ(device->CreateVertexBuffer(96, D3DUSAGE_DYNAMIC, 0x142, D3DPOOL_DEFAULT, &vertices, nullptr), D3D_OK);
  D3DVERTEXBUFFER_DESC vertexDesc;
  ASSERT_EQ(Keep(vertices)->GetDesc(&vertexDesc), D3D_OK);
  EXPECT_EQ(std::tuple(vertexDesc.Size, vertexDesc.FVF, vertexDesc.Pool), std::tuple(96u, 0x142u, D3DPOOL_DEFAULT));
  D3DINDEXBUFFER_DESC indexDesc;
  ASSERT_EQ(IndexBuffer(8, D3DFMT_INDEX32)->GetDesc(&indexDesc), D3D_OK);
  EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX32);
  IDirect3DIndexBuffer9* indices = nullptr;
  EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateVertexBuffer(16, D3DUSAGE_DYNAMIC, 0, D3DPOOL_MANAGED, &vertices, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateVertexBuffer(0xFFFFFFFFu, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr),
            D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(device->CreateIndexBuffer(8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &indices, nullptr),
            D3DERR_INVALIDCALL);
}

// Inside a scene, with a spy and a vertex buffer of 1000 vertices of 12 bytes.
class Layouts : public PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    spy = InstallSpy();
    buffer = VertexBuffer(12 * 1000);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
  }
  void TearDown() override {
    device->EndScene();
    PlatformFixture::TearDown();
  }
  // Stream, offset, type, usage and usage index of each element of draw `i`.
  using Element = std::tuple<int, int, int, int, int>;
  std::vector<Element> Layout(size_t i) const {
    std::vector<Element> elements;
    for (const D3DVERTEXELEMENT9& e : spy->states.at(i).layout)
      elements.emplace_back(e.Stream, e.Offset, e.Type, e.Usage, e.UsageIndex);
    return elements;
  }
  // Binds new indices holding `values`.
  template <class Index>
  void Indices(const std::vector<Index>& values, D3DFORMAT format) {
    IDirect3DIndexBuffer9* indices = IndexBuffer(static_cast<UINT>(values.size() * sizeof(Index)), format);
    void* data = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, values.data(), values.size() * sizeof(Index));
    indices->Unlock();
    ASSERT_EQ(device->SetIndices(indices), D3D_OK);
  }
  // 33 triangles of the indices 10..108, one of them replaced by `bad`.
  template <class Index>
  HRESULT DrawRange(D3DFORMAT format, size_t at, UINT bad, UINT minIndex, UINT vertexCount) {
    std::vector<Index> values(99);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<Index>(at == i ? bad : 10 + i);
    Indices(values, format);
    return device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, minIndex, vertexCount, 0, 33);
  }
  // The check works on blocks of indices: a bad one goes at the start, inside and after the last whole block.
  template <class Index>
  void CheckEveryPlace(D3DFORMAT format) {
    SCOPED_TRACE(format);
    EXPECT_EQ(DrawRange<Index>(format, 99, 0, 10, 99), D3D_OK);
    EXPECT_EQ(DrawRange<Index>(format, 99, 0, 11, 98), D3DERR_INVALIDCALL);  // 10 is below the range
    EXPECT_EQ(DrawRange<Index>(format, 99, 0, 10, 98), D3DERR_INVALIDCALL);  // 108 is past it
    for (size_t at : {0, 1, 15, 16, 31, 63, 64, 95, 96, 98}) {
      SCOPED_TRACE(at);
      EXPECT_EQ(DrawRange<Index>(format, at, 9, 10, 99), D3DERR_INVALIDCALL);
      EXPECT_EQ(DrawRange<Index>(format, at, 109, 10, 99), D3DERR_INVALIDCALL);
      EXPECT_EQ(DrawRange<Index>(format, at, 108, 10, 99), D3D_OK);
    }
  }
  SpyBackend* spy = nullptr;
  IDirect3DVertexBuffer9* buffer = nullptr;
};

TEST_F(Layouts, FvfBecomesElementsOnStreamZero) {
  ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2), D3D_OK);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 44), D3D_OK);
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1), D3D_OK);
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  // The quad of the GPU normal map has texture coordinates only.
  ASSERT_EQ(device->SetFVF(D3DFVF_TEX1), D3D_OK);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 8), D3D_OK);
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  ASSERT_EQ(spy->states.size(), 3u);
  EXPECT_EQ(Layout(0), (std::vector<Element>{{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 24, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0},
                                             {0, 28, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
                                             {0, 36, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1}}));
  EXPECT_EQ(Layout(1), (std::vector<Element>{{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0},
                                             {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0}}));
  EXPECT_EQ(Layout(2), (std::vector<Element>{{0, 0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0}}));
}

TEST_F(Layouts, DeclarationsKeepTheirElementsReplaceTheFvfAndCheckEveryStream) {
  const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                        {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                        {1, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TEXCOORD, 1},
                                        {1, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                        D3DDECL_END()};
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
  UINT count = 0;
  ASSERT_EQ(Keep(declaration)->GetDeclaration(nullptr, &count), D3D_OK);
  EXPECT_EQ(count, 5u);
  D3DVERTEXELEMENT9 out[MAXD3DDECLLENGTH + 1];
  ASSERT_EQ(declaration->GetDeclaration(out, &count), D3D_OK);
  EXPECT_EQ(std::tuple(out[3].Offset, out[4].Stream), std::tuple(WORD{12}, WORD{0xFF}));
  const D3DVERTEXELEMENT9 badType[] = {{0, 0, 42, 0, 0, 0}, D3DDECL_END()};
  IDirect3DVertexDeclaration9* refused = nullptr;
  EXPECT_EQ(device->CreateVertexDeclaration(badType, &refused), D3DERR_INVALIDCALL);
  std::vector<D3DVERTEXELEMENT9> endless(MAXD3DDECLLENGTH + 1, elements[0]);
  EXPECT_EQ(device->CreateVertexDeclaration(endless.data(), &refused), D3DERR_INVALIDCALL);
  device->SetFVF(D3DFVF_XYZ);
  ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
  EXPECT_EQ(Fvf(), 0u);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 20), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // stream 1 missing
  ASSERT_EQ(device->SetStreamSource(1, buffer, 0, 16), D3D_OK);
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  ASSERT_EQ(spy->states.size(), 1u);
  ASSERT_EQ(Layout(0).size(), 4u);
  EXPECT_EQ(Layout(0)[3], Element(1, 12, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0));
}

TEST_F(Layouts, DrawsStayInsideTheirBuffers) {
  device->SetFVF(D3DFVF_XYZ);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 12), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 1000), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 1001), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 995, 6), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL);  // no indices
  Indices<WORD>({0, 1, 2, 2, 1, 9}, D3DFMT_INDEX16);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3D_OK);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 2), D3DERR_INVALIDCALL);  // index 9
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 10, 0, 2), D3D_OK);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 10, 1, 2), D3DERR_INVALIDCALL);  // past end
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 991, 0, 10, 0, 2), D3DERR_INVALIDCALL);
  ASSERT_EQ(spy->calls.size(), 3u);
  EXPECT_TRUE(spy->calls[1].indexed);
  EXPECT_EQ(spy->calls[2].vertexCount, 10u);
  device->SetIndices(nullptr);
}

TEST_F(Layouts, AnIndexOutsideTheNamedVerticesIsRefusedWhereverItSits) {
  device->SetFVF(D3DFVF_XYZ);
  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 12), D3D_OK);
  CheckEveryPlace<WORD>(D3DFMT_INDEX16);
  CheckEveryPlace<DWORD>(D3DFMT_INDEX32);
  device->SetIndices(nullptr);
}

TEST_F(Layouts, UserPointerDrawsUnbindStreamZero) {
  const float vertices[3][5] = {};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
  device->SetStreamSource(0, buffer, 0, 20);
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 20), D3D_OK);
  ASSERT_EQ(spy->calls.size(), 1u);
  EXPECT_EQ(std::tuple(spy->calls[0].userVertices, spy->calls[0].userStride, spy->states[0].streams[0].buffer),
            std::tuple(static_cast<const void*>(vertices), 20u, nullptr));
  IDirect3DVertexBuffer9* bound = buffer;
  UINT offset = 1, stride = 1;
  ASSERT_EQ(device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
  EXPECT_EQ(bound, nullptr);
  EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12), D3DERR_INVALIDCALL);  // stride too short
  EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 20), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace platform::testing
