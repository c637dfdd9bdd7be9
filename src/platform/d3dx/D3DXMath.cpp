// Vector, matrix and plane helpers with the results D3DX documents for them.
// Every helper computes into a local first, so `out` may alias an input.
#include <cmath>

#include "platform/d3dx9.h"

namespace {

D3DXMATRIX rows(const D3DXVECTOR3& x, const D3DXVECTOR3& y, const D3DXVECTOR3& z, const D3DXVECTOR3& w) {
  return {x.x, x.y, x.z, 0.0f, y.x, y.y, y.z, 0.0f, z.x, z.y, z.z, 0.0f, w.x, w.y, w.z, 1.0f};
}

D3DXVECTOR4 transform(float x, float y, float z, float w, const D3DXMATRIX& m) {
  D3DXVECTOR4 r;
  for (int c = 0; c < 4; ++c) r[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + w * m.m[3][c];
  return r;
}

// The 2x2 minors of the top two rows (s) and the bottom two rows (c); the
// determinant and the inverse are both built from them.
struct Minors {
  double s[6], c[6], det;
  explicit Minors(const D3DXMATRIX& m) {
    auto a = [&m](int r, int col) { return static_cast<double>(m.m[r][col]); };
    auto minor2 = [&a](int r0, int r1, int c0, int c1) { return a(r0, c0) * a(r1, c1) - a(r1, c0) * a(r0, c1); };
    const int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    for (int i = 0; i < 6; ++i) {
      s[i] = minor2(0, 1, pairs[i][0], pairs[i][1]);
      c[i] = minor2(2, 3, pairs[i][0], pairs[i][1]);
    }
    det = s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
  }
};

}  // namespace

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) { return *this = *this + v; }
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) { return *this = *this - v; }
D3DXVECTOR3& D3DXVECTOR3::operator*=(float s) { return *this = *this * s; }
D3DXVECTOR3& D3DXVECTOR3::operator/=(float s) { return *this = *this / s; }

D3DXMATRIX::D3DXMATRIX(const float* f) {
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = f[i];
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
    : D3DMATRIX{{{f11, f12, f13, f14, f21, f22, f23, f24, f31, f32, f33, f34, f41, f42, f43, f44}}} {}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) { return *this = *this * other; }

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i) {
    D3DXVECTOR4 row = transform(m[i][0], m[i][1], m[i][2], m[i][3], other);
    for (int c = 0; c < 4; ++c) r.m[i][c] = row[c];
  }
  return r;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& other) const {
  D3DXMATRIX r;
  for (int i = 0; i < 16; ++i) r[i] = (*this)[i] + other[i];
  return r;
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& other) const { return *this + other * -1.0f; }

D3DXMATRIX D3DXMATRIX::operator*(float s) const {
  D3DXMATRIX r;
  for (int i = 0; i < 16; ++i) r[i] = (*this)[i] * s;
  return r;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const {
  for (int i = 0; i < 16; ++i)
    if ((*this)[i] != other[i]) return false;
  return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) { return D3DXMatrixScaling(out, 1.0f, 1.0f, 1.0f); }

BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
  D3DXMATRIX identity;
  return *m == *D3DXMatrixIdentity(&identity);
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
  *out = *m1 * *m2;
  return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
  const Minors k(*m);
  if (determinant) *determinant = static_cast<float>(k.det);
  if (k.det == 0.0) return nullptr;
  const auto& s = k.s;
  const auto& c = k.c;
  auto a = [m](int r, int col) { return static_cast<double>(m->m[r][col]); };
  const double adj[16] = {
      a(1, 1) * c[5] - a(1, 2) * c[4] + a(1, 3) * c[3],  -a(0, 1) * c[5] + a(0, 2) * c[4] - a(0, 3) * c[3],
      a(3, 1) * s[5] - a(3, 2) * s[4] + a(3, 3) * s[3],  -a(2, 1) * s[5] + a(2, 2) * s[4] - a(2, 3) * s[3],
      -a(1, 0) * c[5] + a(1, 2) * c[2] - a(1, 3) * c[1], a(0, 0) * c[5] - a(0, 2) * c[2] + a(0, 3) * c[1],
      -a(3, 0) * s[5] + a(3, 2) * s[2] - a(3, 3) * s[1], a(2, 0) * s[5] - a(2, 2) * s[2] + a(2, 3) * s[1],
      a(1, 0) * c[4] - a(1, 1) * c[2] + a(1, 3) * c[0],  -a(0, 0) * c[4] + a(0, 1) * c[2] - a(0, 3) * c[0],
      a(3, 0) * s[4] - a(3, 1) * s[2] + a(3, 3) * s[0],  -a(2, 0) * s[4] + a(2, 1) * s[2] - a(2, 3) * s[0],
      -a(1, 0) * c[3] + a(1, 1) * c[1] - a(1, 2) * c[0], a(0, 0) * c[3] - a(0, 1) * c[1] + a(0, 2) * c[0],
      -a(3, 0) * s[3] + a(3, 1) * s[1] - a(3, 2) * s[0], a(2, 0) * s[3] - a(2, 1) * s[1] + a(2, 2) * s[0]};
  for (int i = 0; i < 16; ++i) (*out)[i] = static_cast<float>(adj[i] / k.det);
  return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
  *out = r;
  return out;
}

float D3DXMatrixDeterminant(const D3DXMATRIX* m) { return static_cast<float>(Minors(*m).det); }

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
  D3DXVECTOR3 z = *at - *eye, x, y;
  D3DXVec3Normalize(&z, &z);
  D3DXVec3Normalize(&x, D3DXVec3Cross(&x, up, &z));
  D3DXVec3Cross(&y, &z, &x);
  // The axes are the columns: the view matrix is the inverse of the camera's frame.
  *out = D3DXMATRIX(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -D3DXVec3Dot(&x, eye),
                    -D3DXVec3Dot(&y, eye), -D3DXVec3Dot(&z, eye), 1);
  return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar) {
  const float yScale = 1.0f / std::tan(fovY / 2.0f);
  const float q = zFar / (zFar - zNear);
  *out = D3DXMATRIX(yScale / aspect, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zNear * q, 0);
  return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar) {
  *out = D3DXMATRIX(2.0f / width, 0, 0, 0, 0, 2.0f / height, 0, 0, 0, 0, 1.0f / (zFar - zNear), 0, 0, 0,
                    zNear / (zNear - zFar), 1);
  return out;
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
  D3DXPLANE p;
  D3DXPlaneNormalize(&p, plane);
  const D3DXVECTOR3 n(p.a, p.b, p.c);
  // I - 2 n n^T, with the plane's offset moving the mirror off the origin.
  *out = rows(D3DXVECTOR3(1, 0, 0) - n * (2 * p.a), D3DXVECTOR3(0, 1, 0) - n * (2 * p.b),
              D3DXVECTOR3(0, 0, 1) - n * (2 * p.c), n * (-2 * p.d));
  return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = rows({1, 0, 0}, {0, c, s}, {0, -s, c}, {0, 0, 0});
  return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = rows({c, 0, -s}, {0, 1, 0}, {s, 0, c}, {0, 0, 0});
  return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = rows({c, s, 0}, {-s, c, 0}, {0, 0, 1}, {0, 0, 0});
  return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
  D3DXVECTOR3 v;
  D3DXVec3Normalize(&v, axis);
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  // Row i is t * v_i * v + c * e_i + s * (e_i x v), the row-vector form of Rodrigues' formula.
  *out = rows(v * (t * v.x) + D3DXVECTOR3(c, s * v.z, -s * v.y),
              v * (t * v.y) + D3DXVECTOR3(-s * v.z, c, s * v.x),
              v * (t * v.z) + D3DXVECTOR3(s * v.y, -s * v.x, c), {0, 0, 0});
  return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
  *out = rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {x, y, z});
  return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z) {
  *out = rows({x, 0, 0}, {0, y, 0}, {0, 0, z}, {0, 0, 0});
  return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                               const D3DXVECTOR3* p3) {
  const D3DXVECTOR3 e1 = *p2 - *p1, e2 = *p3 - *p1;
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, D3DXVec3Cross(&n, &e1, &e2));
  return D3DXPlaneFromPointNormal(out, p1, &n);
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
  *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
  return out;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* plane) {
  const D3DXVECTOR3 n(plane->a, plane->b, plane->c);
  const float length = D3DXVec3Length(&n);
  const float inv = length > 0.0f ? 1.0f / length : 0.0f;
  *out = D3DXPLANE(plane->a * inv, plane->b * inv, plane->c * inv, plane->d * inv);
  return out;
}

D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* out, const D3DXPLANE* plane, const D3DXMATRIX* m) {
  const D3DXVECTOR4 r = transform(plane->a, plane->b, plane->c, plane->d, *m);
  *out = D3DXPLANE(r.x, r.y, r.z, r.w);
  return out;
}

float D3DXPlaneDotCoord(const D3DXPLANE* plane, const D3DXVECTOR3* v) {
  return plane->a * v->x + plane->b * v->y + plane->c * v->z + plane->d;
}

float D3DXVec3Dot(const D3DXVECTOR3* v1, const D3DXVECTOR3* v2) {
  return v1->x * v2->x + v1->y * v2->y + v1->z * v2->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2) {
  *out = D3DXVECTOR3(v1->y * v2->z - v1->z * v2->y, v1->z * v2->x - v1->x * v2->z, v1->x * v2->y - v1->y * v2->x);
  return out;
}

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }

float D3DXVec3LengthSq(const D3DXVECTOR3* v) { return D3DXVec3Dot(v, v); }

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
  const float length = D3DXVec3Length(v);
  *out = length > 0.0f ? *v / length : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  return out;
}

// Divides by the resulting w; a w of 0 gives infinities, as D3DX does, so the
// sanitizer's check for float division by zero is off here.
__attribute__((no_sanitize("float-divide-by-zero"))) D3DXVECTOR3* D3DXVec3TransformCoord(
    D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR4 r = transform(v->x, v->y, v->z, 1.0f, *m);
  *out = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
  return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR4 r = transform(v->x, v->y, v->z, 0.0f, *m);
  *out = D3DXVECTOR3(r.x, r.y, r.z);
  return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  *out = transform(v->x, v->y, v->z, 1.0f, *m);
  return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
  *out = transform(v->x, v->y, v->z, v->w, *m);
  return out;
}
