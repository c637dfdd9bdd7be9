// Every editor menu as rows of controls in creation order, and the groups each
// menu hides right after it is built (and again when the menus are reset).
#pragma once

#include <vector>

#include "editor/MenuRow.h"

std::vector<MenuRow> NewStateRows();
std::vector<MenuRow> ExitRows();
std::vector<MenuRow> SaveRows();
std::vector<MenuRow> LoadRows();  // the load list comes empty; the editor fills it
std::vector<MenuRow> InfoRows();
// Where the information box's OK button and window go for a text this high (GUI
// units): the button below the text, the window grown down below the button.
// A text that fits leaves them as they were built.
struct InfoBoxLayout {
  float okX, okTop;
  float windowWidth, windowHeight;
};
InfoBoxLayout InfoBoxLayoutFor(float textHeight);
std::vector<MenuRow> ToolbarRows();
std::vector<MenuRow> SettingsRows();  // the resolution list comes empty; the editor fills it
std::vector<MenuRow> HeightmapRows();
std::vector<MenuRow> NormalmapRows();
std::vector<MenuRow> GeometryRows();  // the type list is filled by the engine refresh
// The engine menu of an EngineTypeId; empty for an unknown type.
std::vector<MenuRow> EngineRows(int engineType);

// Groups hidden after building the menu of that id; empty for other menus.
const std::vector<int>& GroupsHiddenAfterBuild(int menuId);
