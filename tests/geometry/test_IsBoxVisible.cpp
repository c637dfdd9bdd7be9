#include <gtest/gtest.h>

#include "geometry/IsBoxVisible.h"

namespace {

// A camera at `eye` looking along +z, 90 degrees wide, near plane 1.
D3DXMATRIX ViewProjection(const D3DXVECTOR3& eye) {
  D3DXMATRIX view, projection, result;
  const D3DXVECTOR3 at(eye.x, eye.y, eye.z + 1.0f);
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, 1.0f, 1.0f, 100.0f);
  return *D3DXMatrixMultiply(&result, &view, &projection);
}

}  // namespace

TEST(IsBoxVisible, NullMatrixSeesEverything) {
  EXPECT_TRUE(IsBoxVisible(D3DXVECTOR3(1e9f, 1e9f, 1e9f), D3DXVECTOR3(2e9f, 2e9f, 2e9f), nullptr));
}

TEST(IsBoxVisible, BoxInFrontIsVisible) {
  const D3DXMATRIX m = ViewProjection(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  EXPECT_TRUE(IsBoxVisible(D3DXVECTOR3(-1.0f, -1.0f, 10.0f), D3DXVECTOR3(1.0f, 1.0f, 12.0f), &m));
}

TEST(IsBoxVisible, BoxWithEveryCornerBeforeTheNearPlaneIsCulled) {
  const D3DXMATRIX m = ViewProjection(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  // Behind the camera, and between the camera and the near plane.
  EXPECT_FALSE(IsBoxVisible(D3DXVECTOR3(-5.0f, -5.0f, -10.0f), D3DXVECTOR3(5.0f, 5.0f, -2.0f), &m));
  EXPECT_FALSE(IsBoxVisible(D3DXVECTOR3(-0.1f, -0.1f, 0.2f), D3DXVECTOR3(0.1f, 0.1f, 0.5f), &m));
}

TEST(IsBoxVisible, BoxBeyondOneSidePlaneIsCulled) {
  const D3DXMATRIX m = ViewProjection(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  EXPECT_FALSE(IsBoxVisible(D3DXVECTOR3(-50.0f, -1.0f, 10.0f), D3DXVECTOR3(-20.0f, 1.0f, 12.0f), &m));
  EXPECT_FALSE(IsBoxVisible(D3DXVECTOR3(-1.0f, -1.0f, 200.0f), D3DXVECTOR3(1.0f, 1.0f, 300.0f), &m));
}

TEST(IsBoxVisible, BoxStraddlingTheFrustumIsDrawnWithNoCornerInside) {
  const D3DXMATRIX m = ViewProjection(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  // Every corner lies beyond a side plane, but not all beyond the same one.
  EXPECT_TRUE(IsBoxVisible(D3DXVECTOR3(-100.0f, -100.0f, 10.0f), D3DXVECTOR3(100.0f, 100.0f, 20.0f), &m));
  // A sea around the camera: corners behind it and to the sides.
  EXPECT_TRUE(IsBoxVisible(D3DXVECTOR3(-500.0f, -1.0f, -500.0f), D3DXVECTOR3(500.0f, 0.0f, 500.0f), &m));
}
