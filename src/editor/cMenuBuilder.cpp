#include "editor/cMenuBuilder.h"

#include "gui/GUIKey.h"
#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cTextarea.h"
#include "gui/cWindow.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceCache.h"

namespace {

const D3DXVECTOR2 kEditboxTextOffset(0.01f, 0.005f);

}  // namespace

D3DTexture* cMenuBuilder::Image(const wchar_t* fileName) const {
  if (cache_ == nullptr || fileName == nullptr) return nullptr;
  return dynamic_cast<D3DTexture*>(cache_->Find(fileName));
}

std::wstring cMenuBuilder::ButtonImage(const wchar_t* name, const wchar_t* state) {
  return std::wstring(L"data/gui/") + name + L"_" + state + L".tga";
}

cButton* cMenuBuilder::MakeButton(const MenuRow& row, const wchar_t* name) const {
  auto* button = new cButton(row.group, row.id, row.click, row.hover, Image(ButtonImage(name, L"idle").c_str()),
                             Image(ButtonImage(name, L"over").c_str()), Image(ButtonImage(name, L"click").c_str()),
                             D3DXVECTOR2(row.x, row.y), row.width, row.height);
  button->SetDisabledImage(Image(ButtonImage(name, L"disabled").c_str()));
  return button;
}

cButton* cMenuBuilder::MakeDisabledButton(const MenuRow& row) const {
  D3DTexture* over = Image(ButtonImage(row.image, L"over").c_str());
  auto* button = new cButton(row.group, row.id, 0, row.hover, over, over, over, D3DXVECTOR2(row.x, row.y),
                             row.width, row.height);
  button->SetEnabled(false);
  return button;
}

iGUIComponent* cMenuBuilder::Make(const MenuRow& row) const {
  const D3DXVECTOR2 position(row.x, row.y);
  switch (row.kind) {
    case WidgetKind::Window: return new cWindow(row.group, row.id, Image(row.image), position, row.width, row.height);
    case WidgetKind::Button: return MakeButton(row, row.image);
    case WidgetKind::Text: return new cTextarea(row.group, row.id, position, row.width, row.text, font_);
    case WidgetKind::Editbox: {
      const wchar_t* image = row.image && row.image[0] == L'1' ? L"data/gui/custom_editbox1.tga"
                                                                : L"data/gui/custom_editbox2.tga";
      return new cEditbox(row.group, row.id, position, D3DXVECTOR2(row.width, row.height), kEditboxTextOffset,
                          row.text, Image(image), font_);
    }
    case WidgetKind::Checkbox:
      return new cCheckbox(row.group, row.id, row.click, Image(L"data/gui/checkbox_checked.tga"),
                           Image(L"data/gui/checkbox_unchecked.tga"), position, row.width, row.height);
    case WidgetKind::Combobox: {
      auto* list = new cCombobox(
          row.group, row.id, row.click, position, row.width, font_, Image(L"data/gui/dropDownButton_idle.tga"),
          Image(L"data/gui/dropDownButton_over.tga"), Image(L"data/gui/dropDownButton_click.tga"),
          Image(L"data/gui/upButton_idle.tga"), Image(L"data/gui/upButton_over.tga"),
          Image(L"data/gui/upButton_click.tga"), Image(L"data/gui/downButton_idle.tga"),
          Image(L"data/gui/downButton_over.tga"), Image(L"data/gui/downButton_click.tga"),
          Image(L"data/gui/dropDownList.tga"), Image(L"data/gui/selectionPanel.tga"), Image(L"data/gui/select1.tga"));
      list->SetListTextColor(0, 255, 0);
      list->SetSelectedTextColor(0, 0, 255);
      for (const wchar_t* item : row.items) list->AddItem(item);
      return list;
    }
  }
  return nullptr;
}

iGUIComponent* cMenuBuilder::AddRow(cMenu* menu, const MenuRow& row) const {
  iGUIComponent* component = menu->Add(Make(row));
  if (component == nullptr) return nullptr;
  component->SetLayer(row.layer);
  if (row.escape != 0) component->AddHotkey(GUIKEY_ESCAPE, row.escape);
  return component;
}

void cMenuBuilder::AddRows(cMenu* menu, const std::vector<MenuRow>& rows) const {
  for (const MenuRow& row : rows) AddRow(menu, row);
}
