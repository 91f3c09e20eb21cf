#pragma once

// Symbols of the shared library vorncore that the program may use.
#if defined(VORNCORE_BUILDING)
#define VORNCORE_API __attribute__((visibility("default")))
#else
#define VORNCORE_API
#endif
