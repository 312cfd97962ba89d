#pragma once

// The platform the program runs on, as the splash, the console's version line and the about
// window name it: the program is built for the system it runs on.
#if defined(_WIN32)
#define BIBLIORA_PLATFORM_WORD u"win32"
#define BIBLIORA_PLATFORM_NAME u"Win32"
#elif defined(__APPLE__)
#define BIBLIORA_PLATFORM_WORD u"macos"
#define BIBLIORA_PLATFORM_NAME u"macOS"
#elif defined(__linux__)
#define BIBLIORA_PLATFORM_WORD u"linux"
#define BIBLIORA_PLATFORM_NAME u"Linux"
#else
#define BIBLIORA_PLATFORM_WORD u"unix"
#define BIBLIORA_PLATFORM_NAME u"Unix"
#endif
