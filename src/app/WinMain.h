// Process entry, window and the process-wide handles.
#pragma once

#include <cstdio>

#include "platform/win32.h"

extern HINSTANCE gInstance;
extern HWND gWindow;
extern FILE* gTraceFile;  // "blur.txt", open from the scene set-up until the window goes

// Registers the window class and creates and shows the window; null on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the editor until it quits; a start-up failure shows "Fatal error" and returns 1.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
// Destroys every resource and the editor, after the main loop.
void Shutdown();
void CloseTraceFile();
