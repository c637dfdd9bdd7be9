#include "platform/gl/Buffers.h"

#include <array>

#include "platform/gl/GLCheck.h"

namespace platform::gl {
namespace {

struct GLBuffer {
  GLuint name = 0;
  size_t size = 0;
};

struct AttributeFormat {
  GLint size;
  GLenum type;
  GLboolean normalized;
};

bool FormatOf(BYTE type, AttributeFormat* format) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1: *format = {1, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT2: *format = {2, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT3: *format = {3, GL_FLOAT, GL_FALSE}; return true;
    case D3DDECLTYPE_FLOAT4: *format = {4, GL_FLOAT, GL_FALSE}; return true;
    // Bytes B, G, R, A of a D3DCOLOR arrive as r, g, b, a.
    case D3DDECLTYPE_D3DCOLOR: *format = {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE}; return true;
    case D3DDECLTYPE_UBYTE4: *format = {4, GL_UNSIGNED_BYTE, GL_FALSE}; return true;
    case D3DDECLTYPE_UBYTE4N: *format = {4, GL_UNSIGNED_BYTE, GL_TRUE}; return true;
    case D3DDECLTYPE_SHORT2: *format = {2, GL_SHORT, GL_FALSE}; return true;
    case D3DDECLTYPE_SHORT4: *format = {4, GL_SHORT, GL_FALSE}; return true;
    default: return false;
  }
}

}  // namespace

int AttributeLocation(const D3DVERTEXELEMENT9& element) {
  if (element.Stream >= kMaxStreams) return -1;
  switch (element.Usage) {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT: return element.UsageIndex == 0 ? static_cast<int>(kPositionLocation) : -1;
    case D3DDECLUSAGE_NORMAL: return element.UsageIndex == 0 ? static_cast<int>(kNormalLocation) : -1;
    case D3DDECLUSAGE_COLOR: return element.UsageIndex == 0 ? static_cast<int>(kColorLocation) : -1;
    case D3DDECLUSAGE_TEXCOORD:
      return element.UsageIndex < 4 ? static_cast<int>(kTexcoordLocation + element.UsageIndex) : -1;
    default: return -1;
  }
}

bool IsPretransformed(const std::vector<D3DVERTEXELEMENT9>& layout) {
  for (const auto& element : layout) {
    if (element.Stream < kMaxStreams && element.Usage == D3DDECLUSAGE_POSITIONT) return true;
  }
  return false;
}

GLuint Buffers::Prepare(BufferData& buffer) {
  auto* gl = static_cast<GLBuffer*>(buffer.gpu);
  if (!gl) {
    gl = new GLBuffer;
    GL_CHECK(glGenBuffers(1, &gl->name));
    buffer.gpu = gl;
    buffer.dirty = true;
  }
  if (buffer.dirty) {
    // Index buffers go through the array target too, so the draw's element binding stays put.
    cache_.BindArrayBuffer(gl->name);
    const GLenum usage = (buffer.usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
    if (gl->size == buffer.bytes.size()) {
      GL_CHECK(glBufferSubData(GL_ARRAY_BUFFER, 0, buffer.bytes.size(), buffer.bytes.data()));
    } else {
      GL_CHECK(glBufferData(GL_ARRAY_BUFFER, buffer.bytes.size(), buffer.bytes.data(), usage));
      gl->size = buffer.bytes.size();
    }
    buffer.dirty = false;
  }
  return gl->name;
}

void Buffers::Release(BufferData& buffer) {
  auto* gl = static_cast<GLBuffer*>(buffer.gpu);
  if (!gl) return;
  GL_CHECK(glDeleteBuffers(1, &gl->name));
  delete gl;
  buffer.gpu = nullptr;
  buffer.dirty = true;
  cache_.Invalidate();
}

void Buffers::ReleaseUserStream() {
  if (!userStream_) return;
  GL_CHECK(glDeleteBuffers(1, &userStream_));
  userStream_ = 0;
  cache_.Invalidate();
}

GLuint Buffers::UserStream(const DrawCall& call) {
  if (!userStream_) GL_CHECK(glGenBuffers(1, &userStream_));
  cache_.BindArrayBuffer(userStream_);
  UINT vertices = 0;
  switch (call.type) {
    case D3DPT_POINTLIST: vertices = call.primitiveCount; break;
    case D3DPT_LINELIST: vertices = call.primitiveCount * 2; break;
    case D3DPT_LINESTRIP: vertices = call.primitiveCount + 1; break;
    case D3DPT_TRIANGLELIST: vertices = call.primitiveCount * 3; break;
    default: vertices = call.primitiveCount + 2; break;
  }
  // Orphaning the storage each call keeps GL from waiting on the previous draw.
  GL_CHECK(glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices) * call.userStride, call.userVertices,
                        GL_STREAM_DRAW));
  return userStream_;
}

bool Buffers::BindVertices(const DrawState& state, const DrawCall& call, const float missingColor[4]) {
  std::array<bool, kAttributes> bound{};
  const GLuint user = call.userVertices ? UserStream(call) : 0;
  for (const auto& element : state.layout) {
    const int location = AttributeLocation(element);
    AttributeFormat format{};
    if (location < 0 || bound[location] || !FormatOf(element.Type, &format)) continue;
    if (user && element.Stream != 0) continue;
    GLuint name = user;
    UINT offset = element.Offset, stride = call.userStride;
    if (!user) {
      const StreamBinding& stream = state.streams[element.Stream];
      if (!stream.buffer) return false;
      name = Prepare(*stream.buffer);
      offset += stream.offset;
      stride = stream.stride;
    }
    cache_.BindArrayBuffer(name);
    GL_CHECK(glVertexAttribPointer(location, format.size, format.type, format.normalized, stride,
                                   reinterpret_cast<const void*>(static_cast<uintptr_t>(offset))));
    cache_.EnableAttribute(location, true);
    bound[location] = true;
  }
  for (GLuint location = 0; location < kAttributes; ++location) {
    if (bound[location]) continue;
    cache_.EnableAttribute(location, false);
    if (location == kColorLocation) {
      GL_CHECK(glVertexAttrib4fv(location, missingColor));
    } else {
      GL_CHECK(glVertexAttrib4f(location, 0.0f, 0.0f, 0.0f, 1.0f));
    }
  }
  if (call.indexed) {
    if (!state.indices) return false;
    const GLuint indices = Prepare(*state.indices);
    cache_.BindElementBuffer(indices);
  }
  return true;
}

}  // namespace platform::gl
