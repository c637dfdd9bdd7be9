// User clip planes switched off clip nothing, also after a pass into a target
// turned one on.
#include "GLDeviceTest.h"
#include "scene/cPassTarget.h"
#include "scene/cRefractionTarget.h"

namespace gltest {
namespace {

using ClipPlaneTest = GLDeviceTest;

// Red is drawn with the plane y <= 0 on (the bottom half), green over the whole
// target with it off again.
TEST_F(ClipPlaneTest, APlaneSwitchedOffClipsNothing) {
  const float keepBelow[4] = {0.0f, -1.0f, 0.0f, 0.0f};
  ASSERT_EQ(device_->SetClipPlane(0, keepBelow), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, 1), D3D_OK);
  device_->SetTexture(0, MakeTexture(1, 1, {kRed}));
  DrawQuad();
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kRed));
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, 0), D3D_OK);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  device_->SetTexture(0, MakeTexture(1, 1, {kGreen}));
  DrawQuad();
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kGreen));
}

TEST_F(ClipPlaneTest, APassesPlaneDoesNotOutliveThePass) {
  cRefractionTarget target;
  ASSERT_TRUE(target.Init(64, d3d_, device_));
  ASSERT_TRUE(target.Begin(device_));
  ASSERT_TRUE(target.SetClipPlaneWorld(0.0f, device_));
  device_->SetTexture(0, MakeTexture(1, 1, {kRed}));
  DrawQuad();
  DisableClipPlane(device_);
  ASSERT_TRUE(target.End(device_));
  device_->SetTexture(0, MakeTexture(1, 1, {kGreen}));
  DrawQuad();
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kGreen));
}

}  // namespace
}  // namespace gltest
