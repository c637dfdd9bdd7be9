// The process-wide handles and the end of the process: what the entry point
// sets up and what the editor and its tests tear down.
#pragma once

#include <cstdio>

#include "platform/win32.h"

extern HINSTANCE gInstance;
extern HWND gWindow;
extern FILE* gTraceFile;  // "blur.txt", open from the scene set-up until the window goes

// Destroys every resource and the editor, after the main loop.
void Shutdown();
void CloseTraceFile();
