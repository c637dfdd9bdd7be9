#include <gtest/gtest.h>

#include "SceneTest.h"
#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceCache.h"

namespace {

class ResourceCacheTest : public SceneTest {
 protected:
  cResourceCache cache;
};

TEST_F(ResourceCacheTest, RefusesBadArgumentsWithoutCreatingAnything) {
  EXPECT_FALSE(cache.Load(nullptr, device, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Load(L"data/meshes/sand.tga", nullptr, RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Load(L"data/meshes/sand.tga", device, 0));
  EXPECT_FALSE(cache.Load(L"data/meshes/sand.tga", device, 3));
  EXPECT_TRUE(manager->GetResources().empty());
  EXPECT_EQ(cache.Find(nullptr), nullptr);
}

TEST_F(ResourceCacheTest, KeepsEntriesByExactNameEvenWhenLoadingFails) {
  ASSERT_TRUE(cache.Load(L"data/meshes/sand.tga", device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/missing.tga", device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  EXPECT_EQ(manager->GetResources().size(), 3u);

  auto* sand = dynamic_cast<D3DTexture*>(cache.Find(L"data/meshes/sand.tga"));
  ASSERT_NE(sand, nullptr);
  EXPECT_NE(sand->texture, nullptr);
  auto* missing = dynamic_cast<D3DTexture*>(cache.Find(L"data/missing.tga"));
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->texture, nullptr);
  EXPECT_NE(dynamic_cast<D3DMesh*>(cache.Find(L"data/meshes/island.x")), nullptr);
  EXPECT_EQ(cache.Find(L"data/meshes/SAND.tga"), nullptr);
}

TEST_F(ResourceCacheTest, ReloadKeepsTheEntryUnderItsNewName) {
  ASSERT_TRUE(cache.Load(L"data/meshes/sand.tga", device, RESOURCE_TEXTURE));
  ASSERT_TRUE(cache.Load(L"data/meshes/island.x", device, RESOURCE_MESH));
  iResource* entry = cache.Find(L"data/meshes/sand.tga");

  EXPECT_FALSE(cache.Reload(device, L"data/unknown.tga", L"data/meshes/grass.tga", RESOURCE_TEXTURE));
  EXPECT_FALSE(cache.Reload(device, L"data/meshes/sand.tga", L"data/meshes/grass.tga", RESOURCE_MESH));
  EXPECT_FALSE(cache.Reload(device, L"data/meshes/island.x", L"data/meshes/grass.tga", RESOURCE_TEXTURE));
  EXPECT_EQ(cache.Find(L"data/meshes/sand.tga"), entry);

  ASSERT_TRUE(cache.Reload(device, L"data/meshes/sand.tga", L"data/meshes/grass.tga", RESOURCE_TEXTURE));
  EXPECT_EQ(cache.Find(L"data/meshes/sand.tga"), nullptr);
  EXPECT_EQ(cache.Find(L"data/meshes/grass.tga"), entry);
  EXPECT_NE(static_cast<D3DTexture*>(entry)->texture, nullptr);
  EXPECT_EQ(manager->GetResources().size(), 2u);
}

}  // namespace
