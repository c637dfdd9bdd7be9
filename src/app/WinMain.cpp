#include "app/WinMain.h"

#include "gui/GUIKey.h"
#include "editor/cEditor.h"
#include "base/cException.h"
#include "editor/Process.h"

namespace {

constexpr UINT kTitleString = 103;
constexpr UINT kClassNameString = 109;
constexpr int kIcon = 107;
constexpr int kSmallIcon = 108;

// GUI code of a released key other than a letter; 0 for keys the GUI ignores.
unsigned KeyUpCode(WPARAM key) {
  if (key >= '0' && key <= '9') return GUIKEY_DIGIT0 + static_cast<unsigned>(key - '0');
  switch (key) {
    case VK_ESCAPE: return GUIKEY_ESCAPE;
    case VK_BACK: return GUIKEY_BACKSPACE;
    case VK_OEM_PERIOD: return GUIKEY_PERIOD;
    case VK_TAB: return GUIKEY_TAB;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: return GUIKEY_MINUS;
    default: return 0;
  }
}

// GUI code of a letter that moves the camera while held; 0 for other keys.
unsigned HeldCode(WPARAM key) {
  switch (key) {
    case 'W': return GUIKEY_FORWARD;
    case 'S': return GUIKEY_BACKWARD;
    case 'A': return GUIKEY_LEFT;
    case 'D': return GUIKEY_RIGHT;
    default: return 0;
  }
}

void OnKeyDown(WPARAM key) {
  const unsigned held = HeldCode(key);
  if (held != 0) cEditor::Instance()->AddKey(held);
}

// Typed keys queue in the order they come, repeats kept; Tab toggles once per frame.
void OnKeyUp(WPARAM key) {
  cEditor* editor = cEditor::Instance();
  if (key == VK_F12) {
    editor->screenshotRequested = true;
    return;
  }
  if (key >= 'A' && key <= 'Z') {
    // Letters are typed text; the movement letters also end their held move.
    editor->TypeKey({0, static_cast<char>(key - 'A' + 'a')});
    const unsigned held = HeldCode(key);
    if (held != 0) editor->RemoveKey(held);
    return;
  }
  const unsigned code = KeyUpCode(key);
  if (code == GUIKEY_TAB) {
    editor->AddKey(code);
  } else if (code != 0) {
    editor->TypeKey({code, 0});
  }
}

// Drains the queue before every frame; returns the last message taken.
MSG RunMessageLoop() {
  MSG last{};
  for (;;) {
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      last = msg;
      if (msg.message == WM_QUIT) return last;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (cEditor::Instance()->IsQuitRequested()) {
      return last;
    } else {
      // A failed frame (a refused display mode) is followed by the next one as usual.
      static_cast<void>(cEditor::Instance()->Frame());
    }
  }
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
  char title[100] = {};
  char className[100] = {};
  LoadStringA(instance, kTitleString, title, sizeof(title));
  LoadStringA(instance, kClassNameString, className, sizeof(className));

  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIcon));
  windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(kSmallIcon));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = className;
  // A class left from an earlier window is reused, so only the window decides.
  RegisterClassExA(&windowClass);

  HWND window = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return window;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      CloseTraceFile();
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      cEditor::Instance()->AddKey(GUIKEY_PRESS);
      return 0;
    case WM_LBUTTONUP:
      cEditor::Instance()->RemoveKey(GUIKEY_PRESS);
      cEditor::Instance()->AddKey(GUIKEY_CLICK);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  gInstance = instance;
  gWindow = CreateMainWindow(instance, showCommand);
  if (gWindow == nullptr) return 0;
  try {
    if (cEditor::Instance()->Init(gWindow) != S_OK) return 0;
  } catch (const cException& error) {
    MessageBoxW(gWindow, error.GetMessage(), L"Fatal error", MB_OK);
    return 1;
  }
  const MSG last = RunMessageLoop();
  Shutdown();
  return static_cast<int>(last.wParam);
}
