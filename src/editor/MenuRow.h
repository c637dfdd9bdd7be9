// One control of an editor menu as a table row, in creation order. Tables of
// rows describe every menu; BuildMenuRows turns them into widgets.
#pragma once

#include <initializer_list>
#include <vector>

enum class WidgetKind { Window, Button, Text, Editbox, Checkbox, Combobox };

struct MenuRow {
  WidgetKind kind;
  int id;
  int group;  // 0 for the constructor without group
  int layer;
  float x, y;           // top-left, GUI coordinates
  float width, height;  // a text area uses width as its square box; a combobox its size
  const wchar_t* text;  // label, default text; null when none
  // Window image, button image name, or "1"/"2" for the two edit-box images.
  const wchar_t* image;
  int click;   // click (combobox: pick) event id, 0 for none
  int hover;   // hover event id, 0 for none
  int escape;  // event of the Escape hotkey, 0 for none
  std::vector<const wchar_t*> items;  // combobox items
};

inline MenuRow WindowRow(int id, int group, float x, float y, float width, float height, const wchar_t* image,
                         int escape = 0) {
  return {WidgetKind::Window, id, group, 0, x, y, width, height, nullptr, image, 0, 0, escape, {}};
}
inline MenuRow ButtonRow(int id, int group, float x, float y, float width, float height, const wchar_t* image,
                         int click, int hover = 0, int escape = 0) {
  return {WidgetKind::Button, id, group, 0, x, y, width, height, nullptr, image, click, hover, escape, {}};
}
inline MenuRow TextRow(int id, int group, int layer, float x, float y, float size, const wchar_t* text) {
  return {WidgetKind::Text, id, group, layer, x, y, size, size, text, nullptr, 0, 0, 0, {}};
}
// `image` 1 or 2: "custom_editbox1.tga" or "custom_editbox2.tga".
inline MenuRow EditboxRow(int id, int group, float x, float y, float width, float height, const wchar_t* text,
                          int image) {
  return {WidgetKind::Editbox, id, group, 0, x, y, width, height, text, image == 1 ? L"1" : L"2", 0, 0, 0, {}};
}
inline MenuRow CheckboxRow(int id, int group, float x, float y, int click = 0) {
  return {WidgetKind::Checkbox, id, group, 0, x, y, 0.03f, 0.03f, nullptr, nullptr, click, 0, 0, {}};
}
inline MenuRow ComboboxRow(int id, int group, int layer, float x, float y, int pick,
                           std::initializer_list<const wchar_t*> items) {
  return {WidgetKind::Combobox, id, group, layer, x, y, 0.25f, 0.25f, nullptr, nullptr, pick, 0, 0, items};
}
