#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingResource.h"
#include "SceneTest.h"
#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceCache.h"

namespace {

using Log = std::vector<std::string>;
using ResourcesTest = SceneTest;

TEST_F(ResourcesTest, RunsEveryOperationInRegistrationOrder) {
  Log log;
  auto* a = new RecordingResource("a", &log, manager);
  new RecordingResource("b", &log, manager);
  manager->Register(nullptr);  // skipped by every operation
  new RecordingResource("c", &log, manager);
  manager->OnLostDeviceAll();
  manager->OnResetDeviceAll();
  EXPECT_EQ(a->resetDevice, device);
  manager->DestroyAll();
  manager->DeleteAll();
  EXPECT_EQ(log, (Log{"a:lost", "b:lost", "c:lost", "a:reset", "b:reset", "c:reset", "a:destroy", "b:destroy",
                      "c:destroy", "a:delete", "b:delete", "c:delete"}));
  EXPECT_TRUE(manager->GetResources().empty());
}

// Losing and resetting through the manager is walked by tests/app (FrameTest).
TEST_F(ResourcesTest, WithoutADeviceNothingIsLostAndNothingResets) {
  manager->SetDevice(nullptr, nullptr);
  EXPECT_EQ(manager->TestCooperativeLevel(), S_OK);
  EXPECT_TRUE(FAILED(manager->Reset()));
}

TEST_F(ResourcesTest, CacheRefusesBadArgumentsAndKeepsEntriesByExactNameEvenWhenLoadingFails) {
  cResourceCache cache;
  const wchar_t* sand = L"data/meshes/sand.tga";
  EXPECT_FALSE(cache.Load(nullptr, device, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Load(sand, nullptr, RESOURCE_TEXTURE));
  for (int kind : {0, 3}) EXPECT_FALSE(cache.Load(sand, device, kind));
  EXPECT_TRUE(manager->GetResources().empty());
  EXPECT_EQ(cache.Find(nullptr), nullptr);

  ASSERT_TRUE(cache.Load(sand, device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/missing.tga", device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  EXPECT_EQ(manager->GetResources().size(), 3u);
  for (auto [name, loaded] : {std::pair{sand, true}, {L"data/missing.tga", false}}) {
    auto* entry = dynamic_cast<D3DTexture*>(cache.Find(name));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->texture != nullptr, loaded);
  }
  EXPECT_NE(dynamic_cast<D3DMesh*>(cache.Find(L"data/meshes/island.x")), nullptr);
  EXPECT_EQ(cache.Find(L"data/meshes/SAND.tga"), nullptr);
}

TEST_F(ResourcesTest, CacheReloadKeepsATextureEntryUnderItsNewName) {
  cResourceCache cache;
  const wchar_t *sand = L"data/meshes/sand.tga", *grass = L"data/meshes/grass.tga";
  ASSERT_TRUE(cache.Load(sand, device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  iResource* entry = cache.Find(sand);
  EXPECT_FALSE(cache.Reload(device, L"data/unknown.tga", grass, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Reload(device, sand, grass, RESOURCE_MESH));
  EXPECT_FALSE(cache.Reload(device, L"data/meshes/island.x", grass, RESOURCE_TEXTURE));
  EXPECT_EQ(cache.Find(sand), entry);

  ASSERT_TRUE(cache.Reload(device, sand, grass, RESOURCE_TEXTURE));
  EXPECT_EQ(cache.Find(sand), nullptr);
  EXPECT_EQ(cache.Find(grass), entry);
  EXPECT_NE(static_cast<D3DTexture*>(entry)->texture, nullptr);
  EXPECT_EQ(manager->GetResources().size(), 2u);
}

}  // namespace
