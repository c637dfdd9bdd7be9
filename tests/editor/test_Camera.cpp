#include <gtest/gtest.h>

#include <cmath>

#include "editor/cCamera.h"
#include "platform/Platform.h"

namespace {

constexpr float kPi = 3.14159265f;
float Radians(float degrees) { return degrees * kPi / 180.0f; }

// The view direction for yaw and pitch, worked out by hand: yaw turns from -z
// towards -x, pitch lifts the view up.
D3DXVECTOR3 ExpectedDirection(float yawDegrees, float pitchDegrees) {
  const float yaw = Radians(yawDegrees), pitch = Radians(pitchDegrees);
  return {-std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
  EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }  // a 1024 x 768 desktop

  // Puts the cursor (dx, dy) pixels from the screen centre and looks.
  void LookFrom(int dx, int dy) {
    SetCursorPos(512 + dx, 384 + dy);
    camera.MouseLook(0.1f);
  }

  cCamera camera;
};

TEST_F(CameraTest, TheDirectionFollowsTheAccumulatedYawAndPitch) {
  struct Step {
    int dx, dy;
    float yaw, pitch;  // degrees after the step
  };
  const Step steps[] = {
      {0, 0, 0, 0},       // the first look, at the centre, turns it from +z to -z
      {100, 0, 10, 0},    // 100 pixels right of the centre turn by +10 degrees
      {100, 0, 20, 0},
      {0, 300, 20, -30},  // below the centre looks down
      {-450, 0, -25, -30},
      {0, -500, -25, 20},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.yaw << " " << step.pitch);
    LookFrom(step.dx, step.dy);
    EXPECT_NEAR(camera.yaw, Radians(step.yaw), 1e-5f);
    EXPECT_NEAR(camera.pitchDegrees, step.pitch, 1e-4f);
    ExpectNear(camera.direction, ExpectedDirection(step.yaw, step.pitch));
    EXPECT_NEAR(D3DXVec3Dot(&camera.direction, &camera.right), 0.0f, 1e-5f);
    EXPECT_NEAR(camera.right.y, 0.0f, 1e-6f);
  }
}

TEST_F(CameraTest, ThePitchLimitRefusesAWholeStepThatWouldReachIt) {
  camera.pitchDegrees = 88.0f;
  camera.pitch = Radians(88.0f);
  LookFrom(0, -20);  // +2 degrees would reach 90
  EXPECT_FLOAT_EQ(camera.pitchDegrees, 88.0f);
  LookFrom(0, -10);  // +1 would reach exactly 89, the limit itself
  EXPECT_FLOAT_EQ(camera.pitchDegrees, 88.0f);
  LookFrom(0, -5);
  EXPECT_NEAR(camera.pitchDegrees, 88.5f, 1e-4f);
  camera.pitchDegrees = -88.5f;
  LookFrom(0, 10);
  EXPECT_NEAR(camera.pitchDegrees, -88.5f, 1e-4f);
}

TEST_F(CameraTest, MovesAlongItsDirectionAndLooksAtItsTarget) {
  camera.direction = {0.6f, 0.0f, 0.8f};
  camera.MoveForward(10.0f);
  ExpectNear(camera.position, {6, 100, 108});
  camera.MoveForward(-5.0f);
  ExpectNear(camera.position, {3, 100, 104});
  const D3DXMATRIX view = *camera.GetView();
  ExpectNear(camera.target, {3.6f, 100, 104.8f});
  D3DXVECTOR3 eye, ahead;
  D3DXVec3TransformCoord(&eye, &camera.position, &view);
  D3DXVec3TransformCoord(&ahead, &camera.target, &view);
  ExpectNear(eye, {0, 0, 0});
  ExpectNear(ahead, {0, 0, 1});
}

}  // namespace
