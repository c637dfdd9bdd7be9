#include "platform/d3d9.h"

ULONG IUnknown::AddRef() { return ++references_; }

ULONG IUnknown::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}
