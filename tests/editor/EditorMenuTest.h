// The fixture test_EditorInput.cpp was written against, until it moves to EditorTest.
#pragma once

#include "EditorTest.h"

class EditorMenuTest : public EditorTest {
 protected:
  void Choose(int event) { Command(event); }
};
