#pragma once

#include "console/backend.h"

// The backend of the console the program runs on: a Unix terminal or the Windows console.
ConsoleBackend& platformConsole();
