#include "PlatformFixture.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

using Textures = PlatformFixture;

INT LockedPitch(IDirect3DTexture9* texture, UINT level) {
  D3DLOCKED_RECT locked{};
  EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(level), D3D_OK);
  return locked.Pitch;
}

TEST_F(Textures, LevelsHaveHalvedSizesAndTightPitchesOfTheFormatsSize) {
  IDirect3DTexture9* chain = Texture(64, 16, 0, 0, D3DFMT_A32B32G32R32F);
  ASSERT_EQ(chain->GetLevelCount(), 7u);
  const UINT sides[7][2] = {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
  for (UINT level = 0; level < 7; ++level) {
    const D3DSURFACE_DESC desc = LevelDesc(chain, level);
    EXPECT_EQ(std::tuple(desc.Width, desc.Height), std::tuple(sides[level][0], sides[level][1])) << level;
    EXPECT_EQ(LockedPitch(chain, level), static_cast<INT>(sides[level][0] * 16));
  }
  D3DSURFACE_DESC desc;
  EXPECT_EQ(chain->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
  for (const auto& [format, bytes] : {std::pair{D3DFMT_A8R8G8B8, 4}, {D3DFMT_X8R8G8B8, 4}, {D3DFMT_R32F, 4},
                                      {D3DFMT_A32B32G32R32F, 16}, {D3DFMT_L8, 1}, {D3DFMT_A8, 1}}) {
    IDirect3DTexture9* texture = Texture(10, 3, 1, 0, format);
    EXPECT_EQ(LockedPitch(texture, 0), 10 * bytes) << format;
    EXPECT_EQ(TextureDataOf(texture)->memory[0].size(), static_cast<size_t>(30 * bytes));
  }
  // Automatic mip maps show one level.
  IDirect3DTexture9* automatic = Texture(64, 64, 0, D3DUSAGE_AUTOGENMIPMAP);
  EXPECT_EQ(automatic->GetLevelCount(), 1u);
  EXPECT_EQ(TextureDataOf(automatic)->usage & D3DUSAGE_AUTOGENMIPMAP, D3DUSAGE_AUTOGENMIPMAP);
}

TEST_F(Textures, LocksAreCheckedPointAtTheRectAndOnlyWritingOnesDirtyTheTexture) {
  IDirect3DTexture9* texture = Texture(8, 8);
  TextureData& data = *TextureDataOf(texture);
  data.dirty = false;
  LockedPitch(texture, 0);
  EXPECT_FALSE(data.dirty);
  const RECT rect{2, 3, 5, 7};
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 32);
  static_cast<uint8_t*>(locked.pBits)[0] = 0xAB;
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(std::tuple(data.memory[0][3 * 32 + 2 * 4], data.dirty), std::tuple(0xAB, true));
  IDirect3DTexture9* levels = Texture(8, 8, 2);
  const RECT outside{0, 0, 5, 5}, empty{2, 2, 2, 3};  // level 1 is 4x4
  EXPECT_EQ(levels->LockRect(1, &locked, &outside, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(levels->LockRect(0, &locked, &empty, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(levels->LockRect(2, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(levels->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(levels->UnlockRect(0), D3DERR_INVALIDCALL);
  ASSERT_EQ(levels->LockRect(0, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(levels->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(LockedPitch(levels, 1), 16);  // levels lock on their own
  EXPECT_EQ(levels->UnlockRect(0), D3D_OK);
}

// Render targets live in the default pool without CPU memory.
TEST_F(Textures, SurfaceLevelsKeepTheirTextureAliveAndLockUnlessRenderTargets) {
  IDirect3DTexture9* target = RenderTarget(16);
  D3DLOCKED_RECT locked;
  EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_TRUE(TextureDataOf(target)->memory.empty());
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
  EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  surface->Release();
  std::vector<uint8_t> bgra;  // and headless has no pixels to read
  UINT width = 0, height = 0;
  EXPECT_FALSE(ReadTexture(target, 0, bgra) || ReadBackBuffer(device, bgra, width, height));
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  ASSERT_EQ(texture->GetSurfaceLevel(1, &surface), D3D_OK);
  EXPECT_EQ(texture->Release(), 1u);  // the surface's reference is left
  D3DSURFACE_DESC desc;
  ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(std::tuple(desc.Width, desc.Pool), std::tuple(4u, D3DPOOL_MANAGED));
  ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 16);
  EXPECT_EQ(surface->UnlockRect(), D3D_OK);
  EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(Textures, CreationRefusesBadArguments) {
  IDirect3DTexture9* texture = nullptr;
  const auto create = [&](UINT width, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool = D3DPOOL_MANAGED) {
    return device->CreateTexture(width, 8, levels, usage, format, pool, &texture, nullptr);
  };
  EXPECT_EQ(create(0, 1, 0, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);
  EXPECT_EQ(create(8, 5, 0, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);
  EXPECT_EQ(create(1 << 20, 1, 0, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);
  EXPECT_EQ(create(8, 1, 0, D3DFMT_D16), D3DERR_INVALIDCALL);
  EXPECT_EQ(create(8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);
  EXPECT_EQ(create(8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);  // managed
  EXPECT_EQ(create(8, 3, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr),
            D3DERR_INVALIDCALL);
}

TEST_F(Textures, D3DXDefaultsAndFailuresIncludingAMissingFormat) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3DXCreateTexture(device, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
                              D3DPOOL_MANAGED, &texture),
            D3D_OK);
  const D3DSURFACE_DESC desc = LevelDesc(Keep(texture));
  EXPECT_EQ(std::tuple(desc.Width, desc.Height, texture->GetLevelCount()), std::tuple(256u, 256u, 9u));
  ASSERT_EQ(D3DXCreateTexture(device, 300, 300, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                              &texture),
            D3D_OK);
  EXPECT_EQ(Keep(texture)->GetLevelCount(), 1u);
  EXPECT_EQ(D3DXCreateTexture(device, 16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateTexture(nullptr, 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  Start(HeadlessProfile::NoR32F());
  EXPECT_EQ(D3DXCreateTexture(device, 16, 16, 1, 0, D3DFMT_R32F, D3DPOOL_MANAGED, &texture), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_R32F, D3DPOOL_MANAGED, &texture, nullptr),
            D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace platform::testing
