// Releasing a reference-counted device object that may be absent.
#pragma once

// Releases `object` when there is one and nulls the pointer, so a second call
// (a later Release or the destructor) does nothing.
template <typename T>
void SafeRelease(T*& object) {
  if (object) object->Release();
  object = nullptr;
}
