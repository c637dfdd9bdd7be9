// Process entry, window and the process-wide handles.
#pragma once

#include "platform/win32.h"

// Registers the window class and creates and shows the window; null on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the editor until it quits; a start-up failure shows "Fatal error" and returns 1.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
