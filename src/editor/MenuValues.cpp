#include "editor/MenuValues.h"

#include <cmath>

cEditbox* FindEditbox(const cMenu* menu, int id) { return menu ? menu->FindKind<cEditbox>(id) : nullptr; }

cCheckbox* FindCheckbox(const cMenu* menu, int id) { return menu ? menu->FindKind<cCheckbox>(id) : nullptr; }

cCombobox* FindCombobox(const cMenu* menu, int id) { return menu ? menu->FindKind<cCombobox>(id) : nullptr; }

float EditboxValue(const cMenu* menu, int id, float fallback) {
  const cEditbox* box = FindEditbox(menu, id);
  return box ? box->GetValue() : fallback;
}

bool IsChecked(const cMenu* menu, int id) {
  const cCheckbox* box = FindCheckbox(menu, id);
  return box != nullptr && box->IsChecked();
}

int SelectedItem(const cMenu* menu, int id) {
  const cCombobox* list = FindCombobox(menu, id);
  return list ? list->GetSelected() : -1;
}

int SaturatingInt(float value) {
  if (std::isnan(value)) return 0;
  // 2^31 is exact in float; anything at or beyond it would overflow the cast.
  if (value >= 2147483648.0f) return 2147483647;
  if (value <= -2147483648.0f) return -2147483647 - 1;
  return static_cast<int>(value);
}

BYTE ClampByte(float value) {
  if (std::isnan(value)) return 0;
  if (value <= 0.0f) return 0;
  if (value >= 255.0f) return 255;
  return static_cast<BYTE>(value);
}

int EditboxInt(const cMenu* menu, int id, int fallback) {
  const cEditbox* box = FindEditbox(menu, id);
  return box ? SaturatingInt(box->GetValue()) : fallback;
}

BYTE EditboxByte(const cMenu* menu, int id, BYTE fallback) {
  const cEditbox* box = FindEditbox(menu, id);
  return box ? ClampByte(box->GetValue()) : fallback;
}
