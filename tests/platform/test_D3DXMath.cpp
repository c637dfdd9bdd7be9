#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx9.h"

namespace {

constexpr float kEps = 1e-5f;

void expectNear(const D3DXVECTOR3& v, float x, float y, float z, float eps = kEps) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

void expectNear(const D3DXPLANE& p, float a, float b, float c, float d) {
  EXPECT_NEAR(p.a, a, kEps);
  EXPECT_NEAR(p.b, b, kEps);
  EXPECT_NEAR(p.c, c, kEps);
  EXPECT_NEAR(p.d, d, kEps);
}

void expectIdentity(const D3DXMATRIX& m, float eps) {
  for (UINT r = 0; r < 4; ++r)
    for (UINT c = 0; c < 4; ++c) EXPECT_NEAR(m(r, c), r == c ? 1.0f : 0.0f, eps) << r << "," << c;
}

D3DXVECTOR3 coord(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
  D3DXVECTOR3 out;
  return *D3DXVec3TransformCoord(&out, &v, &m);
}

// A well-conditioned matrix with no zero entries.
const D3DXMATRIX kGeneral(2, 1, 0, 3, 1, 3, 1, 0, 0, 1, 4, 1, 1, 0, 2, 5);

}  // namespace

TEST(D3DXMath, VectorOperatorsAndHelpers) {
  D3DXVECTOR3 v(1, 2, 3);
  v += D3DXVECTOR3(1, 1, 1);
  v -= D3DXVECTOR3(0, 1, 0);
  v *= 2.0f;
  v /= 4.0f;
  expectNear(v, 1.0f, 1.0f, 2.0f);

  const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6), x(1, 0, 0), y(0, 1, 0);
  EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32.0f);
  EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&a), 14.0f);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
  D3DXVECTOR3 out;
  expectNear(*D3DXVec3Cross(&out, &x, &y), 0, 0, 1);
  expectNear(*D3DXVec3Cross(&out, &a, &b), -3, 6, -3);

  const D3DXVECTOR3 v345(3, 0, 4), zero(0, 0, 0);
  expectNear(*D3DXVec3Normalize(&out, &v345), 0.6f, 0.0f, 0.8f);
  EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
}

TEST(D3DXMath, MatrixProductIsRowVectorComposition) {
  D3DXMATRIX s, t, st, identity;
  D3DXMatrixScaling(&s, 2, 3, 4);
  D3DXMatrixTranslation(&t, 10, 20, 30);
  D3DXMatrixMultiply(&st, &s, &t);
  EXPECT_EQ(st, s * t);
  // Scale first, then translate.
  expectNear(coord(D3DXVECTOR3(1, 1, 1), st), 12, 23, 34);

  D3DXMATRIX m = kGeneral;
  m *= *D3DXMatrixIdentity(&identity);
  EXPECT_EQ(m, kGeneral);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&identity));
  EXPECT_FALSE(D3DXMatrixIsIdentity(&t));
  EXPECT_EQ(kGeneral + kGeneral, kGeneral * 2.0f);
  EXPECT_EQ(kGeneral - kGeneral, kGeneral * 0.0f);

  D3DXMATRIX tr;
  D3DXMatrixTranspose(&tr, &kGeneral);
  EXPECT_EQ(tr(0, 3), kGeneral(3, 0));
  EXPECT_EQ(tr(2, 1), kGeneral(1, 2));
  const float values[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_EQ(D3DXMATRIX(values)._32, 10.0f);
}

TEST(D3DXMath, InverseAndDeterminant) {
  // Along the first row: 2*49 - 1*19 + 0 - 3*13.
  EXPECT_NEAR(D3DXMatrixDeterminant(&kGeneral), 40.0f, 1e-4f);

  D3DXMATRIX inv;
  float det = 0.0f;
  ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &kGeneral), &inv);
  EXPECT_NEAR(det, 40.0f, 1e-4f);
  expectIdentity(inv * kGeneral, 1e-5f);
  expectIdentity(kGeneral * inv, 1e-5f);

  // Third row is the sum of the first two.
  const D3DXMATRIX singular(1, 2, 3, 4, 5, 6, 7, 8, 6, 8, 10, 12, 0, 0, 0, 1);
  D3DXMATRIX untouched = kGeneral;
  det = 1.0f;
  EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &singular), nullptr);
  EXPECT_EQ(untouched, kGeneral);
  EXPECT_EQ(det, 0.0f);
  EXPECT_EQ(D3DXMatrixInverse(&untouched, nullptr, &singular), nullptr);
}

TEST(D3DXMath, CameraMatrices) {
  D3DXMATRIX view;
  const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  // Looking down +z from z = -5: the view is a translation by +5 along z.
  const D3DXMATRIX expected(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(view[i], expected[i], kEps) << i;

  // A camera on the +x axis looking at the origin sees the origin straight ahead
  // and world +z on its right.
  const D3DXVECTOR3 sideEye(3, 0, 0);
  D3DXMatrixLookAtLH(&view, &sideEye, &at, &up);
  expectNear(coord(at, view), 0, 0, 3);
  expectNear(coord(D3DXVECTOR3(0, 0, 1), view), 1, 0, 3);

  D3DXMATRIX proj;
  const float zn = 1.0f, zf = 16384.0f;
  D3DXMatrixPerspectiveFovLH(&proj, D3DXToRadian(60.0f), 4.0f / 3.0f, zn, zf);
  const float yScale = 1.0f / std::tan(D3DXToRadian(30.0f));  // sqrt(3)
  EXPECT_NEAR(proj._22, std::sqrt(3.0f), 1e-5f);
  EXPECT_NEAR(proj._11, yScale * 0.75f, 1e-5f);
  EXPECT_FLOAT_EQ(proj._33, zf / (zf - zn));
  EXPECT_FLOAT_EQ(proj._34, 1.0f);
  EXPECT_FLOAT_EQ(proj._43, -zn * zf / (zf - zn));
  EXPECT_FLOAT_EQ(proj._44, 0.0f);
  // Near and far planes land on depth 0 and 1.
  EXPECT_NEAR(coord(D3DXVECTOR3(0, 0, zn), proj).z, 0.0f, 1e-6f);
  EXPECT_NEAR(coord(D3DXVECTOR3(0, 0, zf), proj).z, 1.0f, 1e-6f);

  D3DXMatrixOrthoLH(&proj, 4.0f, 2.0f, 1.0f, 11.0f);
  expectNear(coord(D3DXVECTOR3(2, 1, 1), proj), 1, 1, 0);
  expectNear(coord(D3DXVECTOR3(-2, -1, 11), proj), -1, -1, 1);
  expectNear(coord(D3DXVECTOR3(0, 0, 6), proj), 0, 0, 0.5f);
}

TEST(D3DXMath, Rotations) {
  D3DXMATRIX m;
  const float quarter = D3DXToRadian(90.0f);
  // Left-handed: positive angles turn clockwise looking down the axis toward the origin.
  expectNear(coord(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationY(&m, quarter)), 0, 0, -1);
  expectNear(coord(D3DXVECTOR3(0, 1, 0), *D3DXMatrixRotationX(&m, quarter)), 0, 0, 1);
  expectNear(coord(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationZ(&m, quarter)), 0, 1, 0);

  // An unnormalised axis gives the same rotation as the matching principal one.
  D3DXMATRIX axisY, axisX;
  const D3DXVECTOR3 y(0, 7, 0), x(2, 0, 0);
  D3DXMatrixRotationY(&m, 0.7f);
  D3DXMatrixRotationAxis(&axisY, &y, 0.7f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(axisY[i], m[i], kEps) << i;
  D3DXMatrixRotationX(&m, -1.2f);
  D3DXMatrixRotationAxis(&axisX, &x, -1.2f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(axisX[i], m[i], kEps) << i;

  // A third of a turn about (1,1,1) cycles the coordinate axes.
  const D3DXVECTOR3 diagonal(1, 1, 1);
  D3DXMatrixRotationAxis(&m, &diagonal, D3DXToRadian(120.0f));
  expectNear(coord(D3DXVECTOR3(1, 0, 0), m), 0, 1, 0);
  expectNear(coord(D3DXVECTOR3(0, 0, 1), m), 1, 0, 0);
}

TEST(D3DXMath, ReflectInPlaneYEquals2) {
  // y = 2 written unnormalised as 0x + 3y + 0z - 6 = 0.
  const D3DXPLANE plane(0, 3, 0, -6);
  D3DXMATRIX m;
  D3DXMatrixReflect(&m, &plane);
  expectNear(coord(D3DXVECTOR3(1, 5, 2), m), 1, -1, 2);
  expectNear(coord(D3DXVECTOR3(-4, 2, 9), m), -4, 2, 9);
  D3DXVECTOR3 n;
  const D3DXVECTOR3 up(0, 1, 0);
  expectNear(*D3DXVec3TransformNormal(&n, &up, &m), 0, -1, 0);
}

TEST(D3DXMath, Planes) {
  const D3DXVECTOR3 p1(0, 2, 0), p2(0, 2, 1), p3(1, 2, 0);
  D3DXPLANE plane;
  // Edges (0,0,1) x (1,0,0) = (0,1,0): the plane y = 2 facing up.
  expectNear(*D3DXPlaneFromPoints(&plane, &p1, &p2, &p3), 0, 1, 0, -2);
  const D3DXVECTOR3 above(5, 7, -3);
  EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &above), 5.0f, kEps);

  // Moving the plane up by 3: transform by the inverse transpose of the translation.
  D3DXMATRIX t, inv, invT;
  D3DXMatrixTranslation(&t, 4, 3, -1);
  D3DXMatrixTranspose(&invT, D3DXMatrixInverse(&inv, nullptr, &t));
  D3DXPLANE moved;
  expectNear(*D3DXPlaneTransform(&moved, &plane, &invT), 0, 1, 0, -5);

  const D3DXVECTOR3 point(1, 1, 1), normal(0, 0, 2);
  expectNear(*D3DXPlaneFromPointNormal(&plane, &point, &normal), 0, 0, 2, -2);
  expectNear(*D3DXPlaneNormalize(&plane, &plane), 0, 0, 1, -1);
  const D3DXPLANE zero(0, 0, 0, 0);
  EXPECT_EQ(*D3DXPlaneNormalize(&plane, &zero), zero);
}

TEST(D3DXMath, VectorTransforms) {
  D3DXMATRIX m = kGeneral;
  const D3DXVECTOR3 v(1, 2, 3);
  // Row vector (1,2,3,1) times kGeneral, worked column by column.
  D3DXVECTOR4 r;
  EXPECT_EQ(*D3DXVec3Transform(&r, &v, &m), D3DXVECTOR4(5, 10, 16, 11));
  const D3DXVECTOR4 v4(1, 2, 3, 0);
  EXPECT_EQ(*D3DXVec4Transform(&r, &v4, &m), D3DXVECTOR4(4, 10, 14, 6));
  expectNear(coord(v, m), 5.0f / 11, 10.0f / 11, 16.0f / 11);
  D3DXVECTOR3 n;
  expectNear(*D3DXVec3TransformNormal(&n, &v, &m), 4, 10, 14);

  // A resulting w of 0 divides by zero as D3DX does.
  m._44 = 0.0f;
  m._14 = m._24 = m._34 = 0.0f;
  const D3DXVECTOR3 w0 = coord(D3DXVECTOR3(1, 0, 0), m);
  EXPECT_TRUE(std::isinf(w0.x));
}
