#include <cstring>

#include "HeadlessDevice.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

using Textures = HeadlessDevice;

TEST_F(Textures, FullChainLevelsHaveHalvedSizesAndTightPitch) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 16, 0, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  ASSERT_EQ(texture->GetLevelCount(), 7u);
  const UINT expected[7][2] = {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
  for (UINT level = 0; level < 7; ++level) {
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, expected[level][0]);
    EXPECT_EQ(desc.Height, expected[level][1]);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, static_cast<INT>(expected[level][0] * 16));
    ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
  }
  D3DSURFACE_DESC desc;
  EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
  texture->Release();
}

TEST_F(Textures, ByteSizesOfFormats) {
  const std::pair<D3DFORMAT, INT> formats[] = {{D3DFMT_A8R8G8B8, 4}, {D3DFMT_X8R8G8B8, 4}, {D3DFMT_R32F, 4},
                                               {D3DFMT_A32B32G32R32F, 16}, {D3DFMT_L8, 1}, {D3DFMT_A8, 1}};
  for (const auto& [format, bytes] : formats) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(10, 3, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 10 * bytes) << format;
    texture->UnlockRect(0);
    EXPECT_EQ(TextureDataOf(texture)->memory[0].size(), static_cast<size_t>(30 * bytes));
    texture->Release();
  }
}

TEST_F(Textures, LockWithRectPointsAtItsCornerAndWritesReachMemory) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  TextureData& data = *TextureDataOf(texture);
  data.dirty = false;
  const RECT rect{2, 3, 5, 7};
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 32);
  static_cast<uint8_t*>(locked.pBits)[0] = 0xAB;
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(data.memory[0][3 * 32 + 2 * 4], 0xAB);
  EXPECT_TRUE(data.dirty);
  texture->Release();
}

TEST_F(Textures, ReadOnlyLockLeavesTheTextureClean) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  TextureData& data = *TextureDataOf(texture);
  data.dirty = false;
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_FALSE(data.dirty);
  texture->Release();
}

TEST_F(Textures, LockRulesAreChecked) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  D3DLOCKED_RECT locked;
  const RECT outside{0, 0, 5, 5};  // level 1 is 4x4
  const RECT empty{2, 2, 2, 3};
  EXPECT_EQ(texture->LockRect(1, &locked, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(0, &locked, &empty, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(2, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);  // levels lock on their own
  EXPECT_EQ(texture->UnlockRect(1), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  texture->Release();
}

TEST_F(Textures, RenderTargetsLiveInTheDefaultPoolWithoutCpuMemory) {
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                  nullptr),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                  nullptr),
            D3D_OK);
  D3DLOCKED_RECT locked;
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_TRUE(TextureDataOf(texture)->memory.empty());
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  surface->Release();
  texture->Release();
}

TEST_F(Textures, AutomaticMipMapsShowOneLevel) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 64, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                  nullptr),
            D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 1u);
  EXPECT_EQ(TextureDataOf(texture)->usage & D3DUSAGE_AUTOGENMIPMAP, D3DUSAGE_AUTOGENMIPMAP);
  texture->Release();
  EXPECT_EQ(device->CreateTexture(64, 64, 3, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                  nullptr),
            D3DERR_INVALIDCALL);
}

TEST_F(Textures, SurfaceLevelKeepsItsTextureAlive) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(1, &surface), D3D_OK);
  EXPECT_EQ(texture->Release(), 1u);  // the surface's reference is left
  D3DSURFACE_DESC desc;
  ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
  EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(Textures, CreationRefusesBadArguments) {
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(device->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(1 << 20, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
}

TEST_F(Textures, D3DXDefaultsAndFailures) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3DXCreateTexture(device, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
                              D3DPOOL_MANAGED, &texture),
            D3D_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 256u);
  EXPECT_EQ(desc.Height, 256u);
  EXPECT_EQ(texture->GetLevelCount(), 9u);
  texture->Release();
  ASSERT_EQ(D3DXCreateTexture(device, 300, 300, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                              &texture),
            D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 1u);
  texture->Release();
  EXPECT_EQ(D3DXCreateTexture(device, 16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                              &texture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateTexture(nullptr, 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
            D3DERR_INVALIDCALL);
}

TEST(TexturesWithoutR32F, D3DXRefusesTheMissingFormat) {
  UseHeadlessBackend(HeadlessProfile::NoR32F());
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS parameters = FullScreenParameters();
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, parameters.hDeviceWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters, &device),
            D3D_OK);
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(D3DXCreateTexture(device, 16, 16, 1, 0, D3DFMT_R32F, D3DPOOL_MANAGED, &texture), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_R32F, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
  device->Release();
  d3d->Release();
}

}  // namespace
}  // namespace platform::testing
