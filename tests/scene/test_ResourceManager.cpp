#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingResource.h"
#include "SceneTest.h"

namespace {

using Log = std::vector<std::string>;

class ResourceManagerTest : public SceneTest {};

TEST_F(ResourceManagerTest, RunsEveryOperationInRegistrationOrder) {
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

TEST_F(ResourceManagerTest, ReportsAndResetsTheDevice) {
  EXPECT_EQ(manager->TestCooperativeLevel(), S_OK);
  platform::headless::LoseDevice();
  EXPECT_EQ(manager->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(manager->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(manager->Reset(), S_OK);
  EXPECT_EQ(manager->TestCooperativeLevel(), S_OK);

  manager->SetDevice(nullptr, nullptr);
  EXPECT_EQ(manager->TestCooperativeLevel(), S_OK);
  EXPECT_TRUE(FAILED(manager->Reset()));
}

}  // namespace
