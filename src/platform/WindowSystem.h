// The window side of the stand-in's Win32: registered classes, windows and
// their procedures, and the message queue the program drains.
#pragma once

#include <deque>
#include <map>
#include <string>

#include "platform/win32.h"

namespace platform {

class WindowSystem {
 public:
  static WindowSystem& Instance();

  void RegisterClass(const std::string& name, WNDPROC procedure) { classes_[name] = procedure; }
  // Null for a class never registered.
  WNDPROC ClassProcedure(const std::string& name) const;

  void AddWindow(HWND window, WNDPROC procedure) { windows_[window] = procedure; }
  // Null for an unknown window.
  WNDPROC Procedure(HWND window) const;
  bool RemoveWindow(HWND window) { return windows_.erase(window) > 0; }

  void Post(const MSG& msg) { queue_.push_back(msg); }
  // The first queued message for `window` (null: any) within [filterMin, filterMax]
  // (both 0: any); WM_QUIT matches every filter.
  bool Peek(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);

  // Forgets the windows and the queued messages; classes stay registered.
  void Reset();

 private:
  std::map<std::string, WNDPROC> classes_;
  std::map<HWND, WNDPROC> windows_;
  std::deque<MSG> queue_;
};

}  // namespace platform
