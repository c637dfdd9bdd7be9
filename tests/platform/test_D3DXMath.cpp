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

// The matrix a D3DX builder writes.
template <class Builder, class... Arguments>
D3DXMATRIX Make(Builder builder, Arguments... arguments) {
  D3DXMATRIX m;
  builder(&m, arguments...);
  return m;
}

// A well-conditioned matrix with no zero entries.
const D3DXMATRIX kGeneral(2, 1, 0, 3, 1, 3, 1, 0, 0, 1, 4, 1, 1, 0, 2, 5);

}  // namespace

TEST(D3DXMath, VectorOperatorsAndHelpers) {
  D3DXVECTOR3 v(1, 2, 3);
  (((v += D3DXVECTOR3(1, 1, 1)) -= D3DXVECTOR3(0, 1, 0)) *= 2.0f) /= 4.0f;
  ExpectNear(v, D3DXVECTOR3(1, 1, 2));
  const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6), x(1, 0, 0), y(0, 1, 0);
  EXPECT_EQ(std::tuple(D3DXVec3Dot(&a, &b), D3DXVec3LengthSq(&a)), std::tuple(32.0f, 14.0f));
  EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
  D3DXVECTOR3 out;
  ExpectNear(*D3DXVec3Cross(&out, &x, &y), D3DXVECTOR3(0, 0, 1));
  ExpectNear(*D3DXVec3Cross(&out, &a, &b), D3DXVECTOR3(-3, 6, -3));
  const D3DXVECTOR3 v345(3, 0, 4), zero(0, 0, 0);
  ExpectNear(*D3DXVec3Normalize(&out, &v345), D3DXVECTOR3(0.6f, 0, 0.8f));
  EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
}

// Where each kind of matrix takes points, from what the matrix stands for.
TEST(D3DXMath, MatricesMovePointsAsTheirGeometrySays) {
  const float quarter = D3DXToRadian(90.0f), halfFov = D3DXToRadian(30.0f), zn = 1.0f, zf = 16384.0f;
  const float top = std::tan(halfFov), right = top * 4.0f / 3.0f;  // of the view at distance 1
  const D3DXVECTOR3 diagonal(1, 1, 1), origin(0, 0, 0), up(0, 1, 0), behind(0, 0, -5), side(3, 0, 0);
  const D3DXPLANE y2(0, 3, 0, -6);  // y = 2, unnormalised
  const D3DXMATRIX move = Make(D3DXMatrixScaling, 2.f, 3.f, 4.f) * Make(D3DXMatrixTranslation, 10.f, 20.f, 30.f);
  const D3DXMATRIX thirdTurn = Make(D3DXMatrixRotationAxis, &diagonal, D3DXToRadian(120.0f));
  const D3DXMATRIX reflect = Make(D3DXMatrixReflect, &y2);
  const D3DXMATRIX fromBehind = Make(D3DXMatrixLookAtLH, &behind, &origin, &up);
  const D3DXMATRIX fromSide = Make(D3DXMatrixLookAtLH, &side, &origin, &up);
  const D3DXMATRIX perspective = Make(D3DXMatrixPerspectiveFovLH, 2 * halfFov, 4.f / 3.f, zn, zf);
  const D3DXMATRIX ortho = Make(D3DXMatrixOrthoLH, 4.f, 2.f, 1.f, 11.f);
  const struct {
    const char* what;
    D3DXMATRIX matrix;
    D3DXVECTOR3 from, to;
  } cases[] = {
      {"scale, then translate", move, {1, 1, 1}, {12, 23, 34}},
      // Left-handed: positive angles turn clockwise looking down the axis toward the origin.
      {"rotation about y", Make(D3DXMatrixRotationY, quarter), {1, 0, 0}, {0, 0, -1}},
      {"rotation about x", Make(D3DXMatrixRotationX, quarter), {0, 1, 0}, {0, 0, 1}},
      {"rotation about z", Make(D3DXMatrixRotationZ, quarter), {1, 0, 0}, {0, 1, 0}},
      // A third of a turn about (1,1,1) cycles the coordinate axes.
      {"third turn, x", thirdTurn, {1, 0, 0}, {0, 1, 0}},
      {"third turn, z", thirdTurn, {0, 0, 1}, {1, 0, 0}},
      {"reflection in y = 2", reflect, {1, 5, 2}, {1, -1, 2}},
      {"reflection keeps its plane", reflect, {-4, 2, 9}, {-4, 2, 9}},
      {"view down +z from z = -5", fromBehind, {1, 2, 0}, {1, 2, 5}},
      // From the +x axis the origin is straight ahead and world +z on the right.
      {"view from +x, target", fromSide, {0, 0, 0}, {0, 0, 3}},
      {"view from +x, +z", fromSide, {0, 0, 1}, {1, 0, 3}},
      // The corners of the view land on the corners of the unit square, at depth 0 near and 1 far.
      {"perspective, near corner", perspective, {right * zn, top * zn, zn}, {1, 1, 0}},
      {"perspective, far corner", perspective, {-right * zf, -top * zf, zf}, {-1, -1, 1}},
      {"ortho, near corner", ortho, {2, 1, 1}, {1, 1, 0}},
      {"ortho, far corner", ortho, {-2, -1, 11}, {-1, -1, 1}},
      {"ortho, middle", ortho, {0, 0, 6}, {0, 0, 0.5f}},
      {"general, divided by w", kGeneral, {1, 2, 3}, {5.0f / 11, 10.0f / 11, 16.0f / 11}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectNear(Coord(c.from, c.matrix), c.to, 1e-4f);
  }
  // An unnormalised axis gives the same rotation as the matching principal one.
  const D3DXVECTOR3 y(0, 7, 0), x(2, 0, 0);
  ExpectNear(Make(D3DXMatrixRotationAxis, &y, 0.7f), Make(D3DXMatrixRotationY, 0.7f));
  ExpectNear(Make(D3DXMatrixRotationAxis, &x, -1.2f), Make(D3DXMatrixRotationX, -1.2f));
}

TEST(D3DXMath, MatrixArithmeticAndTranspose) {
  D3DXMATRIX m = kGeneral;
  const D3DXMATRIX identity = Make(D3DXMatrixIdentity), t = Make(D3DXMatrixTranslation, 1.f, 0.f, 0.f);
  EXPECT_EQ(m *= identity, kGeneral);
  EXPECT_EQ(Make(D3DXMatrixMultiply, &kGeneral, &t), kGeneral * t);
  EXPECT_EQ(std::tuple(D3DXMatrixIsIdentity(&identity), D3DXMatrixIsIdentity(&t)), std::tuple(TRUE, FALSE));
  EXPECT_EQ(kGeneral + kGeneral, kGeneral * 2.0f);
  EXPECT_EQ(kGeneral - kGeneral, kGeneral * 0.0f);
  const D3DXMATRIX tr = Make(D3DXMatrixTranspose, &kGeneral);
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
  ExpectNear(inv * kGeneral, Make(D3DXMatrixIdentity));
  ExpectNear(kGeneral * inv, Make(D3DXMatrixIdentity));
  // Third row is the sum of the first two.
  const D3DXMATRIX singular(1, 2, 3, 4, 5, 6, 7, 8, 6, 8, 10, 12, 0, 0, 0, 1);
  D3DXMATRIX untouched = kGeneral;
  det = 1.0f;
  EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &singular), nullptr);
  EXPECT_EQ(std::tuple(untouched, det), std::tuple(kGeneral, 0.0f));
  EXPECT_EQ(D3DXMatrixInverse(&untouched, nullptr, &singular), nullptr);
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
  const D3DXVECTOR3 v(1, 2, 3), up(0, 1, 0);
  // Row vector (1,2,3,1) times kGeneral, worked column by column.
  D3DXVECTOR4 r;
  EXPECT_EQ(*D3DXVec3Transform(&r, &v, &m), D3DXVECTOR4(5, 10, 16, 11));
  const D3DXVECTOR4 v4(1, 2, 3, 0);
  EXPECT_EQ(*D3DXVec4Transform(&r, &v4, &m), D3DXVECTOR4(4, 10, 14, 6));
  D3DXVECTOR3 n;
  ExpectNear(*D3DXVec3TransformNormal(&n, &v, &m), D3DXVECTOR3(4, 10, 14));
  const D3DXPLANE y2(0, 3, 0, -6);
  const D3DXMATRIX reflect = Make(D3DXMatrixReflect, &y2);
  ExpectNear(*D3DXVec3TransformNormal(&n, &up, &reflect), D3DXVECTOR3(0, -1, 0));
  // A resulting w of 0 divides by zero as D3DX does.
  m._44 = m._14 = m._24 = m._34 = 0.0f;
  EXPECT_TRUE(std::isinf(Coord(D3DXVECTOR3(1, 0, 0), m).x));
}
