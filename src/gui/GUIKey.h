// Key codes the GUI toolkit understands; the window procedure turns key and mouse events into them.
#pragma once

enum GUIKey : unsigned {
  GUIKEY_ESCAPE = 1,
  GUIKEY_BACKSPACE = 2,
  GUIKEY_DIGIT0 = 3,  // digits 0..9 are 3..12
  GUIKEY_PERIOD = 13,
  GUIKEY_LEFT = 37,      // A held
  GUIKEY_FORWARD = 38,   // W held
  GUIKEY_RIGHT = 39,     // D held
  GUIKEY_BACKWARD = 40,  // S held
  GUIKEY_TAB = 101,
  GUIKEY_MINUS = 109,
  GUIKEY_PRESS = 513,  // left button down
  GUIKEY_CLICK = 514,  // left button released
};
