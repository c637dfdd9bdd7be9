// The island through its lighting effect on the OpenGL backend: the effect
// compiles, lit texels reach the screen, and the depth variant fades out what
// lies below the plane.
#include "GLDeviceTest.h"
#include "scene/D3DMesh.h"

namespace gltest {
namespace {

const D3DXVECTOR3 kSun(100.0f, 100.0f, 100.0f);
const D3DXVECTOR3 kAmbient(0.1f, 0.1f, 0.1f);

class IslandMeshTest : public GLDeviceTest {
 protected:
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    mesh_ = new D3DMesh(nullptr);
    ASSERT_EQ(mesh_->Load(L"data/meshes/island.x", device_), S_OK);
    // Straight down onto the top of the island.
    const D3DXVECTOR3 eye(0.0f, 600.0f, 600.0f), at(0.0f, 0.0f, 600.0f), up(0.0f, 0.0f, 1.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3.0f, 1.0f, 1.0f, 16384.0f);
    viewProjection_ = view * projection;
    ASSERT_EQ(device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), D3D_OK);
  }

  void TearDown() override {
    delete mesh_;
    GLDeviceTest::TearDown();
  }

  // The grass at the top of the island, lit by the sun.
  void ExpectLitGrassInTheMiddle() {
    ReadBack();
    const D3DCOLOR centre = Pixel(kSize / 2, kSize / 2);
    const int red = (centre >> 16) & 0xFF, green = (centre >> 8) & 0xFF, blue = centre & 0xFF;
    EXPECT_GT(green, 40) << std::hex << centre;
    EXPECT_GT(green, red) << std::hex << centre;
    EXPECT_GT(green, blue) << std::hex << centre;
  }

  D3DMesh* mesh_ = nullptr;
  D3DXMATRIX viewProjection_;
};

TEST_F(IslandMeshTest, LightsPerVertexAndPerPixel) {
  ASSERT_TRUE(mesh_->RenderLit(kSun, viewProjection_, false, kAmbient));
  ExpectLitGrassInTheMiddle();
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
  ASSERT_TRUE(mesh_->RenderLit(kSun, viewProjection_, true, kAmbient));
  ExpectLitGrassInTheMiddle();
}

TEST_F(IslandMeshTest, FadesWhatLiesDeepBelowThePlane) {
  ASSERT_TRUE(mesh_->RenderLitDepth(kSun, viewProjection_, false, kAmbient, 1000.0f, 1.0f));
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(kSize / 2, kSize / 2), kBlack));

  ASSERT_TRUE(mesh_->RenderLitDepth(kSun, viewProjection_, true, kAmbient, -1000.0f, 70.0f));
  ExpectLitGrassInTheMiddle();
}

}  // namespace
}  // namespace gltest
