// Hooks into the Linux Win32 subset for tests and tools. Product code never
// includes this header; it exists only on Linux.
#pragma once

#ifdef _WIN32
#error "win32_linux.h is for the Linux build of the Win32 subset only"
#endif

#include "win32.h"

#ifdef __cplusplus
extern "C" {
#endif

// Answers MessageBoxA/W instead of standard error. `text` and `caption` are UTF-8
// (the W form's text converted); the return value is the box's result (IDOK, IDYES,
// ...). `context` is passed through. NULL restores the default behaviour.
typedef int (*MxMessageBoxResponder)(void* context, HWND owner, const char* text, const char* caption, UINT type);
void MxSetMessageBoxResponder(MxMessageBoxResponder responder, void* context);

// Empties the in-memory registry of this process (all three roots).
void MxRegistryReset(void);

// Makes the registry of this process the file at `path` (shared with every process
// that uses the same file), or the in-memory store again when `path` is NULL. At
// start-up the environment variable MX_REGISTRY_FILE chooses the same way.
void MxRegistryUseFile(const char* path);

// Number of handles open in this process's handle table (kernel objects, global
// memory blocks and registry keys), for leak checks.
DWORD MxOpenHandleCount(void);

#ifdef __cplusplus
}
#endif
