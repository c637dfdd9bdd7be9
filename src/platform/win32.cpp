// The Win32 calls of the program over the current backend and the front end's
// window system.
#include "platform/win32.h"

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"
#include "platform/WindowSystem.h"
#include "platform/device/Backend.h"
#include "platform/device/Device.h"

using platform::CurrentBackend;
using platform::WindowSystem;

namespace {

constexpr const char* kTitle = "Brinora Engine Editor v1.01";
constexpr UINT kTitleString = 103;
constexpr UINT kClassString = 109;

// Opaque handles: distinct addresses nobody dereferences.
char iconHandle;
char cursorHandle;
char instanceHandle;
char deviceContext;

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = WindowSystem::Instance().Procedure(window);
  return procedure ? procedure(window, message, wParam, lParam) : 0;
}

DWORD MessageTime() {
  platform::Backend& backend = CurrentBackend();
  return static_cast<DWORD>(backend.Counter() * 1000 / backend.Frequency());
}

}  // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
  WindowSystem::Instance().RegisterClass(windowClass->lpszClassName, windowClass->lpfnWndProc);
  return 1;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                     LPVOID) {
  WindowSystem& system = WindowSystem::Instance();
  WNDPROC procedure = className ? system.ClassProcedure(className) : nullptr;
  if (!procedure) return nullptr;
  HWND window = CurrentBackend().CreateMainWindow(windowName ? windowName : "");
  if (!window) return nullptr;
  system.AddWindow(window, procedure);
  SendTo(window, WM_CREATE, 0, 0);
  return window;
}

// Windows start hidden, so the previous state reported is always hidden.
BOOL ShowWindow(HWND, int) { return FALSE; }

BOOL UpdateWindow(HWND window) {
  if (!WindowSystem::Instance().Procedure(window)) return FALSE;
  SendTo(window, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL DestroyWindow(HWND window) {
  if (!WindowSystem::Instance().Procedure(window)) return FALSE;
  SendTo(window, WM_DESTROY, 0, 0);
  WindowSystem::Instance().RemoveWindow(window);
  return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  WindowSystem& system = WindowSystem::Instance();
  MSG native{};
  while (CurrentBackend().PollNativeMessage(&native)) system.Post(native);
  return system.Peek(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

// A null window posts to the thread, as WM_QUIT is.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !WindowSystem::Instance().Procedure(window)) return FALSE;
  MSG msg{window, message, wParam, lParam, MessageTime(), CurrentBackend().CursorPos()};
  WindowSystem::Instance().Post(msg);
  return TRUE;
}

// Key messages are delivered as they are; the program reads no WM_CHAR.
BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  return SendTo(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void PostQuitMessage(int exitCode) { PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!paint || !WindowSystem::Instance().Procedure(window)) return nullptr;
  const D3DDISPLAYMODE desktop = CurrentBackend().DesktopMode();
  paint->hdc = reinterpret_cast<HDC>(&deviceContext);
  paint->fErase = FALSE;
  paint->rcPaint = {0, 0, static_cast<LONG>(desktop.Width), static_cast<LONG>(desktop.Height)};
  return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) { return paint ? TRUE : FALSE; }

// The string table holds the window title and class name; longer text is cut
// to fit with its terminator.
int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax <= 0) return 0;
  buffer[0] = '\0';
  if (id != kTitleString && id != kClassString) return 0;
  const size_t length = std::min(std::strlen(kTitle), static_cast<size_t>(bufferMax - 1));
  std::memcpy(buffer, kTitle, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

HICON LoadIconA(HINSTANCE, LPCSTR) { return reinterpret_cast<HICON>(&iconHandle); }

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&cursorHandle); }

HINSTANCE GetModuleHandleA(LPCSTR) { return reinterpret_cast<HINSTANCE>(&instanceHandle); }

// A full-screen device owns the screen: its mode is the screen's size, so the
// centre and the cursor's back-buffer pixels agree after a mode change.
int GetSystemMetrics(int index) {
  const D3DDISPLAYMODE desktop = CurrentBackend().DesktopMode();
  UINT width = desktop.Width;
  UINT height = desktop.Height;
  platform::ActiveFullScreenSize(&width, &height);
  if (index == SM_CXSCREEN) return static_cast<int>(width);
  if (index == SM_CYSCREEN) return static_cast<int>(height);
  return 0;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = CurrentBackend().CursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  CurrentBackend().SetCursorPos({x, y});
  return TRUE;
}

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
  const std::wstring message = text ? text : L"";
  const std::wstring title = caption ? caption : L"";
  platform::Recorded().messageBoxes.push_back({message, title});
  CurrentBackend().ShowMessageBox(message, title);
  return 1;  // IDOK
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (!count) return FALSE;
  count->QuadPart = CurrentBackend().Counter();
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) return FALSE;
  frequency->QuadPart = CurrentBackend().Frequency();
  return TRUE;
}
