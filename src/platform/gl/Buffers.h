// GL buffers behind vertex and index buffers, the stream for DrawPrimitiveUP
// vertices, and the vertex attributes of a declaration.
#pragma once

#include <epoxy/gl.h>

#include "platform/device/Backend.h"
#include "platform/gl/StateCache.h"

namespace platform::gl {

// Attribute locations shared by the fixed-function shaders and the effect prelude.
constexpr GLuint kPositionLocation = 0;
constexpr GLuint kNormalLocation = 1;
constexpr GLuint kColorLocation = 2;
constexpr GLuint kTexcoordLocation = 3;  // texture coordinate sets 0..3 at 3..6

class Buffers {
 public:
  explicit Buffers(StateCache& cache) : cache_(cache) {}
  Buffers(const Buffers&) = delete;
  Buffers& operator=(const Buffers&) = delete;

  // The GL buffer, created and uploaded as needed.
  GLuint Prepare(BufferData& buffer);
  void Release(BufferData& buffer);
  void ReleaseUserStream();

  // Points the attributes at the declaration's streams (or the call's user vertices)
  // and binds the index buffer of indexed draws. `missingColor` is what shaders
  // read for a diffuse colour the vertices lack. False if a stream is missing.
  bool BindVertices(const DrawState& state, const DrawCall& call, const float missingColor[4]);

 private:
  struct GLBuffer {
    GLuint name = 0;
    size_t size = 0;
  };

  void Upload(const BufferData& buffer, GLBuffer& gl);
  // Copies the call's vertices into the ring; returns their byte offset there.
  GLintptr UserStream(const DrawCall& call);

  StateCache& cache_;
  // DrawPrimitiveUP vertices follow each other through one ring buffer; only a
  // full ring is orphaned, so small draws neither wait nor reallocate.
  GLuint userStream_ = 0;
  GLsizeiptr ringBytes_ = 0;
  GLintptr ringCursor_ = 0;
};

// The attribute location of a declaration element, or -1 for elements no shader reads.
int AttributeLocation(const D3DVERTEXELEMENT9& element);

// True when the declaration carries pretransformed (XYZRHW) positions.
bool IsPretransformed(const std::vector<D3DVERTEXELEMENT9>& layout);

}  // namespace platform::gl
