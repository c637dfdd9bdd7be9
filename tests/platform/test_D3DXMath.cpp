#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx9.h"

namespace {

// Component by component, for any of the float structs of D3DX.
template <class T>
void ExpectNear(const T& actual, const T& expected, float eps = 1e-5f) {
  const auto* a = reinterpret_cast<const float*>(&actual);
  const auto* e = reinterpret_cast<const float*>(&expected);
  for (size_t i = 0; i < sizeof(T) / sizeof(float); ++i) EXPECT_NEAR(a[i], e[i], eps) << "component " << i;
}

D3DXVECTOR3 Coord(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
  D3DXVECTOR3 out;
  return *D3DXVec3TransformCoord(&out, &v, &m);
}

D3DXMATRIX Identity() {
  D3DXMATRIX m;
  return *D3DXMatrixIdentity(&m);
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
  ExpectNear(v, D3DXVECTOR3(1, 1, 2));

  const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6), x(1, 0, 0), y(0, 1, 0);
  EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32.0f);
  EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&a), 14.0f);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
  D3DXVECTOR3 out;
  ExpectNear(*D3DXVec3Cross(&out, &x, &y), D3DXVECTOR3(0, 0, 1));
  ExpectNear(*D3DXVec3Cross(&out, &a, &b), D3DXVECTOR3(-3, 6, -3));
  const D3DXVECTOR3 v345(3, 0, 4), zero(0, 0, 0);
  ExpectNear(*D3DXVec3Normalize(&out, &v345), D3DXVECTOR3(0.6f, 0, 0.8f));
  EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
}

TEST(D3DXMath, MatrixProductIsRowVectorComposition) {
  D3DXMATRIX s, t, st;
  D3DXMatrixScaling(&s, 2, 3, 4);
  D3DXMatrixTranslation(&t, 10, 20, 30);
  D3DXMatrixMultiply(&st, &s, &t);
  EXPECT_EQ(st, s * t);
  ExpectNear(Coord(D3DXVECTOR3(1, 1, 1), st), D3DXVECTOR3(12, 23, 34));  // scale first, then translate

  D3DXMATRIX m = kGeneral;
  const D3DXMATRIX identity = Identity();
  m *= identity;
  EXPECT_EQ(m, kGeneral);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&identity));
  EXPECT_FALSE(D3DXMatrixIsIdentity(&t));
  EXPECT_EQ(kGeneral + kGeneral, kGeneral * 2.0f);
  EXPECT_EQ(kGeneral - kGeneral, kGeneral * 0.0f);
  D3DXMATRIX tr;
  D3DXMatrixTranspose(&tr, &kGeneral);
  EXPECT_EQ(std::tuple(tr(0, 3), tr(2, 1)), std::tuple(kGeneral(3, 0), kGeneral(1, 2)));
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
  ExpectNear(inv * kGeneral, Identity());
  ExpectNear(kGeneral * inv, Identity());

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
  const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0), sideEye(3, 0, 0);
  // Looking down +z from z = -5: the view is a translation by +5 along z.
  ExpectNear(*D3DXMatrixLookAtLH(&view, &eye, &at, &up), D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1));
  // A camera on the +x axis looking at the origin sees it straight ahead and world +z on its right.
  D3DXMatrixLookAtLH(&view, &sideEye, &at, &up);
  ExpectNear(Coord(at, view), D3DXVECTOR3(0, 0, 3));
  ExpectNear(Coord(D3DXVECTOR3(0, 0, 1), view), D3DXVECTOR3(1, 0, 3));

  D3DXMATRIX proj;
  const float zn = 1.0f, zf = 16384.0f;
  D3DXMatrixPerspectiveFovLH(&proj, D3DXToRadian(60.0f), 4.0f / 3.0f, zn, zf);
  const float yScale = 1.0f / std::tan(D3DXToRadian(30.0f));  // sqrt(3)
  EXPECT_NEAR(proj._22, std::sqrt(3.0f), 1e-5f);
  EXPECT_NEAR(proj._11, yScale * 0.75f, 1e-5f);
  EXPECT_FLOAT_EQ(proj._33, zf / (zf - zn));
  EXPECT_FLOAT_EQ(proj._43, -zn * zf / (zf - zn));
  EXPECT_EQ(std::tuple(proj._34, proj._44), std::tuple(1.0f, 0.0f));
  // Near and far planes land on depth 0 and 1.
  EXPECT_NEAR(Coord(D3DXVECTOR3(0, 0, zn), proj).z, 0.0f, 1e-6f);
  EXPECT_NEAR(Coord(D3DXVECTOR3(0, 0, zf), proj).z, 1.0f, 1e-6f);

  D3DXMatrixOrthoLH(&proj, 4.0f, 2.0f, 1.0f, 11.0f);
  ExpectNear(Coord(D3DXVECTOR3(2, 1, 1), proj), D3DXVECTOR3(1, 1, 0));
  ExpectNear(Coord(D3DXVECTOR3(-2, -1, 11), proj), D3DXVECTOR3(-1, -1, 1));
  ExpectNear(Coord(D3DXVECTOR3(0, 0, 6), proj), D3DXVECTOR3(0, 0, 0.5f));
}

TEST(D3DXMath, Rotations) {
  D3DXMATRIX m, axis;
  const float quarter = D3DXToRadian(90.0f);
  // Left-handed: positive angles turn clockwise looking down the axis toward the origin.
  ExpectNear(Coord(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationY(&m, quarter)), D3DXVECTOR3(0, 0, -1));
  ExpectNear(Coord(D3DXVECTOR3(0, 1, 0), *D3DXMatrixRotationX(&m, quarter)), D3DXVECTOR3(0, 0, 1));
  ExpectNear(Coord(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationZ(&m, quarter)), D3DXVECTOR3(0, 1, 0));
  // An unnormalised axis gives the same rotation as the matching principal one.
  const D3DXVECTOR3 y(0, 7, 0), x(2, 0, 0), diagonal(1, 1, 1);
  ExpectNear(*D3DXMatrixRotationAxis(&axis, &y, 0.7f), *D3DXMatrixRotationY(&m, 0.7f));
  ExpectNear(*D3DXMatrixRotationAxis(&axis, &x, -1.2f), *D3DXMatrixRotationX(&m, -1.2f));
  // A third of a turn about (1,1,1) cycles the coordinate axes.
  D3DXMatrixRotationAxis(&m, &diagonal, D3DXToRadian(120.0f));
  ExpectNear(Coord(D3DXVECTOR3(1, 0, 0), m), D3DXVECTOR3(0, 1, 0));
  ExpectNear(Coord(D3DXVECTOR3(0, 0, 1), m), D3DXVECTOR3(1, 0, 0));
}

TEST(D3DXMath, ReflectInPlaneYEquals2) {
  // y = 2 written unnormalised as 0x + 3y + 0z - 6 = 0.
  const D3DXPLANE plane(0, 3, 0, -6);
  D3DXMATRIX m;
  D3DXMatrixReflect(&m, &plane);
  ExpectNear(Coord(D3DXVECTOR3(1, 5, 2), m), D3DXVECTOR3(1, -1, 2));
  ExpectNear(Coord(D3DXVECTOR3(-4, 2, 9), m), D3DXVECTOR3(-4, 2, 9));
  D3DXVECTOR3 n;
  const D3DXVECTOR3 up(0, 1, 0);
  ExpectNear(*D3DXVec3TransformNormal(&n, &up, &m), D3DXVECTOR3(0, -1, 0));
}

TEST(D3DXMath, Planes) {
  const D3DXVECTOR3 p1(0, 2, 0), p2(0, 2, 1), p3(1, 2, 0), above(5, 7, -3), point(1, 1, 1), normal(0, 0, 2);
  D3DXPLANE plane, moved;
  // Edges (0,0,1) x (1,0,0) = (0,1,0): the plane y = 2 facing up.
  ExpectNear(*D3DXPlaneFromPoints(&plane, &p1, &p2, &p3), D3DXPLANE(0, 1, 0, -2));
  EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &above), 5.0f, 1e-5f);
  // Moving the plane up by 3: transform by the inverse transpose of the translation.
  D3DXMATRIX t, inv, invT;
  D3DXMatrixTranslation(&t, 4, 3, -1);
  D3DXMatrixTranspose(&invT, D3DXMatrixInverse(&inv, nullptr, &t));
  ExpectNear(*D3DXPlaneTransform(&moved, &plane, &invT), D3DXPLANE(0, 1, 0, -5));

  ExpectNear(*D3DXPlaneFromPointNormal(&plane, &point, &normal), D3DXPLANE(0, 0, 2, -2));
  ExpectNear(*D3DXPlaneNormalize(&plane, &plane), D3DXPLANE(0, 0, 1, -1));
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
  ExpectNear(Coord(v, m), D3DXVECTOR3(5.0f / 11, 10.0f / 11, 16.0f / 11));
  D3DXVECTOR3 n;
  ExpectNear(*D3DXVec3TransformNormal(&n, &v, &m), D3DXVECTOR3(4, 10, 14));
  // A resulting w of 0 divides by zero as D3DX does.
  m._44 = m._14 = m._24 = m._34 = 0.0f;
  EXPECT_TRUE(std::isinf(Coord(D3DXVECTOR3(1, 0, 0), m).x));
}
