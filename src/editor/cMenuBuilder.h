// Turns menu rows into widgets, finding their images in the resource cache by
// the names the preloads used. A missing image leaves the widget without it.
#pragma once

#include <string>
#include <vector>

#include "editor/MenuRow.h"
#include "gui/cButton.h"
#include "gui/cMenu.h"

class cFont;
class cResourceCache;
class D3DTexture;

class cMenuBuilder {
 public:
  cMenuBuilder(const cResourceCache* cache, cFont* font) : cache_(cache), font_(font) {}

  void AddRows(cMenu* menu, const std::vector<MenuRow>& rows) const;
  iGUIComponent* AddRow(cMenu* menu, const MenuRow& row) const;
  // The cached texture of that file, or null.
  D3DTexture* Image(const wchar_t* fileName) const;
  // "data/gui/<name>_idle.tga" and its over and click images as one button,
  // with "<name>_disabled.tga" for its disabled look when that was preloaded.
  cButton* MakeButton(const MenuRow& row, const wchar_t* name) const;
  // A button that shows its over image in every state and reports no click.
  cButton* MakeDisabledButton(const MenuRow& row) const;

  static std::wstring ButtonImage(const wchar_t* name, const wchar_t* state);

 private:
  iGUIComponent* Make(const MenuRow& row) const;

  const cResourceCache* cache_;
  cFont* font_;
};
