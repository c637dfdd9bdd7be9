#include "platform/gl/Buffers.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gl/GLCheck.h"
#include "platform/PassTiming.h"

namespace platform::gl {
namespace {

// What shaders read from an attribute no stream feeds.
constexpr std::array<float, 4> kOrigin{0.0f, 0.0f, 0.0f, 1.0f};

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
    Upload(buffer, *gl);
    buffer.dirty = false;
    buffer.dirtyBegin = buffer.dirtyEnd = 0;
    buffer.dirtyFlags = 0;
  }
  return gl->name;
}

// Only the bytes written since the last upload: a DISCARD write orphans the
// storage (GL hands out fresh memory instead of waiting for draws still
// reading the old), a NOOVERWRITE write is copied in without synchronising.
void Buffers::Upload(const BufferData& buffer, GLBuffer& gl) {
  const PassScope scope("uploads");
  // Index buffers go through the array target too, so the draw's element binding stays put.
  cache_.BindArrayBuffer(gl.name);
  const size_t size = buffer.bytes.size();
  const bool whole = buffer.dirtyEnd == 0;
  if (gl.size != size || whole || (buffer.dirtyFlags & D3DLOCK_DISCARD)) {
    const GLenum usage = (buffer.usage & D3DUSAGE_DYNAMIC) ? GL_STREAM_DRAW : GL_STATIC_DRAW;
    GL_CHECK(glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), buffer.bytes.data(), usage));
    gl.size = size;
    return;
  }
  const GLintptr begin = static_cast<GLintptr>(buffer.dirtyBegin);
  const GLsizeiptr length = static_cast<GLsizeiptr>(buffer.dirtyEnd - buffer.dirtyBegin);
  if (length == 0) return;
  if (buffer.dirtyFlags & D3DLOCK_NOOVERWRITE) {
    void* target = glMapBufferRange(GL_ARRAY_BUFFER, begin, length,
                                    GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (target) {
      std::memcpy(target, buffer.bytes.data() + begin, static_cast<size_t>(length));
      GL_CHECK(glUnmapBuffer(GL_ARRAY_BUFFER));
      return;
    }
  }
  GL_CHECK(glBufferSubData(GL_ARRAY_BUFFER, begin, length, buffer.bytes.data() + begin));
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
  ringBytes_ = ringCursor_ = 0;
  cache_.Invalidate();
}

GLintptr Buffers::UserStream(const DrawCall& call) {
  constexpr GLsizeiptr kRingBytes = 4 << 20;
  UINT vertices = 0;
  switch (call.type) {
    case D3DPT_POINTLIST: vertices = call.primitiveCount; break;
    case D3DPT_LINELIST: vertices = call.primitiveCount * 2; break;
    case D3DPT_LINESTRIP: vertices = call.primitiveCount + 1; break;
    case D3DPT_TRIANGLELIST: vertices = call.primitiveCount * 3; break;
    default: vertices = call.primitiveCount + 2; break;
  }
  const GLsizeiptr size = static_cast<GLsizeiptr>(vertices) * call.userStride;
  if (!userStream_) GL_CHECK(glGenBuffers(1, &userStream_));
  cache_.BindArrayBuffer(userStream_);
  GLintptr at = (ringCursor_ + 15) & ~GLintptr{15};
  if (ringBytes_ < size || at + size > ringBytes_) {
    ringBytes_ = std::max(ringBytes_, std::max(kRingBytes, size));
    GL_CHECK(glBufferData(GL_ARRAY_BUFFER, ringBytes_, nullptr, GL_STREAM_DRAW));
    at = 0;
  }
  ringCursor_ = at + size;
  if (size == 0) return at;
  void* target = glMapBufferRange(GL_ARRAY_BUFFER, at, size,
                                  GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
  if (target) {
    std::memcpy(target, call.userVertices, static_cast<size_t>(size));
    GL_CHECK(glUnmapBuffer(GL_ARRAY_BUFFER));
  } else {
    GL_CHECK(glBufferSubData(GL_ARRAY_BUFFER, at, size, call.userVertices));
  }
  return at;
}

bool Buffers::BindVertices(const DrawState& state, const DrawCall& call, const float missingColor[4]) {
  std::array<bool, kAttributes> bound{};
  const GLintptr userOffset = call.userVertices ? UserStream(call) : 0;
  const GLuint user = call.userVertices ? userStream_ : 0;
  for (const auto& element : state.layout) {
    const int location = AttributeLocation(element);
    AttributeFormat format{};
    if (location < 0 || bound[location] || !FormatOf(element.Type, &format)) continue;
    if (user && element.Stream != 0) continue;
    GLuint name = user;
    GLintptr offset = userOffset + element.Offset;
    UINT stride = call.userStride;
    if (!user) {
      const StreamBinding& stream = state.streams[element.Stream];
      if (!stream.buffer) return false;
      name = Prepare(*stream.buffer);
      offset += stream.offset;
      stride = stream.stride;
    }
    cache_.AttributeArray(location,
                          {name, format.size, format.type, format.normalized, static_cast<GLsizei>(stride), offset});
    bound[location] = true;
  }
  const std::array<float, 4> color{missingColor[0], missingColor[1], missingColor[2], missingColor[3]};
  for (GLuint location = 0; location < kAttributes; ++location) {
    if (!bound[location]) cache_.AttributeConstant(location, location == kColorLocation ? color : kOrigin);
  }
  if (call.indexed) {
    if (!state.indices) return false;
    const GLuint indices = Prepare(*state.indices);
    cache_.BindElementBuffer(indices);
  }
  return true;
}

}  // namespace platform::gl
