// Reading the editor's menus by control id. Every lookup accepts a null menu,
// a missing id or an id used by a control of another kind, and then gives the
// fallback instead of touching anything.
#pragma once

#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"
#include "platform/d3d9.h"

cEditbox* FindEditbox(const cMenu* menu, int id);
cCheckbox* FindCheckbox(const cMenu* menu, int id);
cCombobox* FindCombobox(const cMenu* menu, int id);

// The number typed into an edit box, `fallback` without one.
float EditboxValue(const cMenu* menu, int id, float fallback = 0.0f);
// False without a checkbox of that id.
bool IsChecked(const cMenu* menu, int id);
// The 1-based selected item of a combobox; -1 for none or without a combobox.
int SelectedItem(const cMenu* menu, int id);

// Truncation toward zero that saturates at the int range instead of
// overflowing; NaN gives 0.
int SaturatingInt(float value);
// Clamped to 0..255 in float, then truncated; NaN gives 0.
BYTE ClampByte(float value);

// The same conversions applied to an edit box's number.
int EditboxInt(const cMenu* menu, int id, int fallback = 0);
BYTE EditboxByte(const cMenu* menu, int id, BYTE fallback = 0);
