#include "platform/gl/Renderer.h"

#include "platform/gl/GLCheck.h"

namespace platform::gl {
namespace {

GLenum CompareFunc(DWORD func) {
  switch (func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    case D3DCMP_ALWAYS: return GL_ALWAYS;
    default: return GL_LEQUAL;
  }
}

GLenum BlendFactor(DWORD blend, GLenum fallback) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return fallback;
  }
}

GLenum BlendEquation(DWORD op) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    default: return GL_FUNC_ADD;
  }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
  }
}

GLsizei VertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_POINTLIST: return static_cast<GLsizei>(primitives);
    case D3DPT_LINELIST: return static_cast<GLsizei>(primitives * 2);
    case D3DPT_LINESTRIP: return static_cast<GLsizei>(primitives + 1);
    case D3DPT_TRIANGLELIST: return static_cast<GLsizei>(primitives * 3);
    default: return static_cast<GLsizei>(primitives + 2);
  }
}

}  // namespace

void Renderer::Initialise() {
  GL_CHECK(glGenVertexArrays(1, &vertexArray_));
  GL_CHECK(glBindVertexArray(vertexArray_));
  GL_CHECK(glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE));
  // Drawing is flipped vertically, which turns Direct3D's clockwise front faces counter-clockwise.
  GL_CHECK(glFrontFace(GL_CCW));
  GL_CHECK(glPixelStorei(GL_UNPACK_ALIGNMENT, 1));
  GL_CHECK(glPixelStorei(GL_PACK_ALIGNMENT, 1));
  cache_.Invalidate();
}

bool Renderer::BindTarget(const DrawState& state) {
  if (!state.renderTarget || !targets_.Bind(*state.renderTarget, state.depthStencil)) return false;
  // Rows count from the top in every target, so the viewport needs no flip.
  const D3DVIEWPORT9& vp = state.viewport;
  cache_.Viewport(static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y), static_cast<GLsizei>(vp.Width),
                  static_cast<GLsizei>(vp.Height));
  cache_.DepthRange(vp.MinZ, vp.MaxZ);
  return true;
}

void Renderer::ApplyRenderStates(const DrawState& state) {
  const DWORD* rs = state.renderStates;
  cache_.Enable(GL_SCISSOR_TEST, false);
  cache_.Enable(GL_DEPTH_TEST, rs[D3DRS_ZENABLE] != D3DZB_FALSE);
  cache_.DepthMask(rs[D3DRS_ZWRITEENABLE] != FALSE);
  cache_.DepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
  const DWORD cull = rs[D3DRS_CULLMODE];
  cache_.Enable(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
  cache_.CullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
  const DWORD fill = rs[D3DRS_FILLMODE];
  cache_.PolygonMode(fill == D3DFILL_WIREFRAME ? GL_LINE : fill == D3DFILL_POINT ? GL_POINT : GL_FILL);
  cache_.Enable(GL_BLEND, rs[D3DRS_ALPHABLENDENABLE] != FALSE);
  cache_.BlendFunc(BlendFactor(rs[D3DRS_SRCBLEND], GL_ONE), BlendFactor(rs[D3DRS_DESTBLEND], GL_ZERO));
  cache_.BlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
  cache_.ColorMask(rs[D3DRS_COLORWRITEENABLE] & 0xF);
  for (int i = 0; i < kClipPlanes; ++i) {
    cache_.Enable(GL_CLIP_DISTANCE0 + i, (rs[D3DRS_CLIPPLANEENABLE] & (1u << i)) != 0);
  }
}

void Renderer::Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float z) {
  if (!BindTarget(state)) return;
  const D3DVIEWPORT9& vp = state.viewport;
  cache_.Enable(GL_SCISSOR_TEST, true);
  cache_.Scissor(static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y), static_cast<GLsizei>(vp.Width),
                 static_cast<GLsizei>(vp.Height));
  GLbitfield bits = 0;
  if (flags & D3DCLEAR_TARGET) {
    cache_.ColorMask(0xF);
    GL_CHECK(glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                          ((color >> 24) & 0xFF) / 255.0f));
    bits |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_ZBUFFER) && state.depthStencil) {
    cache_.DepthMask(true);
    GL_CHECK(glClearDepth(z));
    bits |= GL_DEPTH_BUFFER_BIT;
  }
  if (bits) GL_CHECK(glClear(bits));
}

void Renderer::Draw(const DrawState& state, const DrawCall& call) {
  if (call.primitiveCount == 0 || !BindTarget(state)) return;
  ApplyRenderStates(state);
  const bool effect = state.effect.effect != nullptr;
  if (!(effect ? effects_.Apply(state) : fixedFunction_.Apply(state))) return;
  // Fixed function reads white for a missing diffuse colour; shaders read (0, 0, 0, 1).
  static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  static const float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  if (!buffers_.BindVertices(state, call, effect ? kBlack : kWhite)) return;
  const GLenum mode = PrimitiveMode(call.type);
  const GLsizei count = VertexCount(call.type, call.primitiveCount);
  if (call.indexed) {
    const bool wide = state.indices->indexFormat == D3DFMT_INDEX32;
    const uintptr_t offset = static_cast<uintptr_t>(call.start) * (wide ? 4 : 2);
    GL_CHECK(glDrawElementsBaseVertex(mode, count, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                      reinterpret_cast<const void*>(offset), call.baseVertex));
  } else {
    GL_CHECK(glDrawArrays(mode, call.userVertices ? 0 : static_cast<GLint>(call.start), count));
  }
}

}  // namespace platform::gl
