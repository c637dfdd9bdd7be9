// A headless device shared with the resource manager; every resource registered
// during a test is destroyed and deleted afterwards.
#pragma once

#include <gtest/gtest.h>

#include "../platform/HeadlessDevice.h"
#include "platform/Platform.h"
#include "scene/cResourceManager.h"

class SceneTest : public platform::testing::HeadlessDevice {
 protected:
  void SetUp() override {
    HeadlessDevice::SetUp();
    manager->SetDevice(device, &parameters);
    platform::Recorded().Clear();
  }

  void TearDown() override {
    manager->DestroyAll();
    manager->DeleteAll();
    manager->SetDevice(nullptr, nullptr);
    HeadlessDevice::TearDown();
  }

  cResourceManager* manager = cResourceManager::Instance();
};
