// A headless device shared with the resource manager; every resource registered
// during a test is destroyed and deleted afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The records of every setting of the effect parameter `name`.
inline std::vector<const platform::ParameterRecord*> ParameterRecords(const std::string& name) {
  std::vector<const platform::ParameterRecord*> found;
  for (const auto& parameter : platform::Recorded().parameters) if (parameter.name == name) found.push_back(&parameter);
  return found;
}

// The values of `name`, which must have been set once.
inline std::vector<float> ParameterValues(const std::string& name) {
  const auto found = ParameterRecords(name);
  EXPECT_EQ(found.size(), 1u) << name;
  return found.empty() ? std::vector<float>{} : found[0]->values;
}
