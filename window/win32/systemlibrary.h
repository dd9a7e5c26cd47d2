#pragma once

#include <windows.h>

// Loads a DLL of Windows' own from the system folder only, never from the
// program's folder or the current one, where anyone who can write there
// could place a DLL of that name. nullptr where it cannot be loaded.
HMODULE loadSystemLibrary(const wchar_t *name);
