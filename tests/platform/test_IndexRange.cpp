// An indexed draw is refused when any of its indices falls outside the
// vertices it names, wherever in the range that index sits: the check works on
// blocks of indices, so the bad one is put at the start, inside and after the
// last whole block, for both index sizes.
#include <cstring>
#include <vector>

#include "PlatformFixture.h"

namespace platform::testing {
namespace {

class IndexRange : public PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    device->SetFVF(D3DFVF_XYZ);
    ASSERT_EQ(device->SetStreamSource(0, VertexBuffer(12 * 1000), 0, 12), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
  }
  void TearDown() override {
    device->EndScene();
    PlatformFixture::TearDown();
  }

  // 99 indices 10..108 (33 triangles), one of them replaced by `bad`.
  template <class Index>
  HRESULT Draw(D3DFORMAT format, size_t at, UINT bad, UINT minIndex, UINT vertexCount) {
    std::vector<Index> values(99);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<Index>(10 + i);
    if (at < values.size()) values[at] = static_cast<Index>(bad);
    IDirect3DIndexBuffer9* indices = IndexBuffer(static_cast<UINT>(values.size() * sizeof(Index)), format);
    void* data = nullptr;
    EXPECT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, values.data(), values.size() * sizeof(Index));
    indices->Unlock();
    EXPECT_EQ(device->SetIndices(indices), D3D_OK);
    return device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, minIndex, vertexCount, 0, 33);
  }

  template <class Index>
  void CheckEveryPlace(D3DFORMAT format) {
    EXPECT_EQ(Draw<Index>(format, 99, 0, 10, 99), D3D_OK);
    EXPECT_EQ(Draw<Index>(format, 99, 0, 11, 98), D3DERR_INVALIDCALL);  // 10 is below the range
    EXPECT_EQ(Draw<Index>(format, 99, 0, 10, 98), D3DERR_INVALIDCALL);  // 108 is past it
    for (size_t at : {0, 1, 15, 16, 31, 63, 64, 95, 96, 98}) {
      SCOPED_TRACE(at);
      EXPECT_EQ(Draw<Index>(format, at, 9, 10, 99), D3DERR_INVALIDCALL);
      EXPECT_EQ(Draw<Index>(format, at, 109, 10, 99), D3DERR_INVALIDCALL);
      EXPECT_EQ(Draw<Index>(format, at, 108, 10, 99), D3D_OK);
    }
  }
};

TEST_F(IndexRange, AnIndexOutsideTheNamedVerticesIsRefusedWhereverItSits) {
  {
    SCOPED_TRACE("16-bit");
    CheckEveryPlace<WORD>(D3DFMT_INDEX16);
  }
  {
    SCOPED_TRACE("32-bit");
    CheckEveryPlace<DWORD>(D3DFMT_INDEX32);
  }
}

}  // namespace
}  // namespace platform::testing
