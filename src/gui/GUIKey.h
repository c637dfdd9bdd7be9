// Codes the window procedure records for keys and the mouse button. The GUI is
// handed the one-shot keys through OnKey; letters go to OnChar instead.
#pragma once

enum GUIKey : unsigned {
  GUIKEY_ESCAPE = 1,
  GUIKEY_BACKSPACE = 2,
  GUIKEY_0 = 3,  // digits 0 to 9 are GUIKEY_0 + digit
  GUIKEY_9 = 12,
  GUIKEY_POINT = 13,
  GUIKEY_W = 38,      // held, moves the camera; never reaches the GUI
  GUIKEY_S = 40,      // held, moves the camera; never reaches the GUI
  GUIKEY_TAB = 101,   // fly mode toggle; never reaches the GUI
  GUIKEY_MINUS = 109,
  GUIKEY_BUTTON_DOWN = 513,
  GUIKEY_BUTTON_UP = 514,
};
