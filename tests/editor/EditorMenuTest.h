// The editor started on a headless device, with helpers that read a built menu
// back as the user meets it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "gui/cButton.h"
#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "gui/cTextarea.h"
#include "gui/cWindow.h"
#include "editor/EditorIds.h"
#include "editor/cMenuBuilder.h"
#include "scene/D3DTexture.h"

class EditorMenuTest : public EditorTest {
 protected:
  enum Kind { kWindow, kButton, kText, kEditbox, kCheckbox, kCombobox };

  // The items of a combobox, read through selection and then unselected again.
  static std::vector<std::wstring> ItemsOf(cCombobox* list) {
    std::vector<std::wstring> items;
    for (int i = 1; list->Select(i), list->GetSelected() == i; ++i) items.push_back(list->GetSelectedText());
    list->Reset();
    return items;
  }

  static std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring joined;
    for (const std::wstring& item : items) joined += (joined.empty() ? L"" : L"|") + item;
    return joined;
  }

  D3DTexture* Cached(const wchar_t* name) const {
    return dynamic_cast<D3DTexture*>(editor->resourceCache->Find(name));
  }

  D3DTexture* FirstSprite(iGUIComponent* component) {
    cSpriteContainer* container = editor->spriteContainer;
    container->Clear();
    const bool visible = component->IsVisible();
    component->SetVisible(true);  // hidden groups draw nothing
    component->DrawSprites(container);
    component->SetVisible(visible);
    return container->GetSprites().empty() ? nullptr : container->GetSprites()[0].texture;
  }

  static Kind KindOf(iGUIComponent* c) {
    if (dynamic_cast<cWindow*>(c)) return kWindow;
    if (dynamic_cast<cButton*>(c)) return kButton;
    if (dynamic_cast<cTextarea*>(c)) return kText;
    if (dynamic_cast<cEditbox*>(c)) return kEditbox;
    if (dynamic_cast<cCheckbox*>(c)) return kCheckbox;
    return kCombobox;
  }

  // Opens the list and picks its first item; the id reported, -1 without items.
  static int PickFirst(cCombobox* list, float x, float y, float size) {
    list->OnClick(x + 7 * size / 8 + size / 14, y - size / 14);
    const GUIRect row = list->RowRect(1);
    const int event = list->OnClick(row.x + row.width / 2, row.y - row.height / 4);
    list->Reset();
    list->OnKey(1);
    return event;
  }

  static int Events(iGUIComponent* c, int* hover) {
    *hover = c->OnHover(0, 0);
    const int click = c->OnClick(0, 0);
    if (auto* box = dynamic_cast<cCheckbox*>(c)) box->SetChecked(0);
    return click;
  }

  // One token per component, in creation order: "W" a window, a label's text,
  // "[text]" an edit box, "{items}" a list, "#id>click/hover" a button, "xid>click"
  // a checkbox, "{items}>pick" a list reporting its pick; "!event" the Escape event.
  std::wstring Token(iGUIComponent* c) {
    std::wstring token;
    int hover = 0;
    switch (KindOf(c)) {
      case kWindow: token = L"W"; break;
      case kText: token = static_cast<cTextarea*>(c)->GetText(); break;
      case kEditbox: token = L"[" + std::wstring(static_cast<cEditbox*>(c)->GetText()) + L"]"; break;
      case kCombobox: {
        auto* list = static_cast<cCombobox*>(c);
        std::wstring items;
        for (const std::wstring& item : ItemsOf(list)) items += (items.empty() ? L"" : L",") + item;
        token = L"{" + (c->GetId() == EditorId::kLoadList ? L"?" : items) + L"}";  // the save folder is shared
        if (!items.empty()) {
          const int pick = PickFirst(list, c->GetPosition()[0], c->GetPosition()[1], 0.25f);
          if (pick > 0) token += L">" + std::to_wstring(pick);
        }
        break;
      }
      case kButton:
      case kCheckbox: {
        // A button shows its preloaded idle image; a checkbox starts unticked.
        const D3DTexture* image = FirstSprite(c);
        if (KindOf(c) == kCheckbox) {
          EXPECT_EQ(image, Cached(L"data/gui/checkbox_unchecked.tga"));
        } else {
          EXPECT_NE(image, nullptr);
        }
        const int click = Events(c, &hover);
        token = (KindOf(c) == kButton ? L"#" : L"x") + std::to_wstring(c->GetId()) + L">" + std::to_wstring(click);
        if (hover > 0) token += L"/" + std::to_wstring(hover);
        break;
      }
    }
    const int escape = c->OnKey(1);
    if (escape != -1) token += L"!" + std::to_wstring(escape);
    return token;
  }

  // The menu's tokens joined by '|', and which groups show.
  void ExpectMenu(const cMenu* menu, const std::wstring& expected, const std::vector<int>& hidden) {
    ASSERT_NE(menu, nullptr);
    SCOPED_TRACE("menu " + std::to_string(menu->GetId()));
    std::wstring signature;
    for (const auto& component : menu->Components()) {
      const bool shown = std::find(hidden.begin(), hidden.end(), component->GetGroup()) == hidden.end();
      EXPECT_EQ(component->IsVisible(), shown) << "component " << component->GetId();
      signature += (signature.empty() ? L"" : L"|") + Token(component.get());
    }
    EXPECT_EQ(signature, expected);
  }

  void Choose(int event) { editor->OnGUIEvent(event, nullptr); }
};
