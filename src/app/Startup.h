#pragma once

// Start-up: the splash with its progress, every window created once in a fixed order with its
// console line, the report on engine and library, the profile, the language, and on the first
// run the language chooser with the registration window.
namespace Startup {
// Everything before the main loop; returns once the program may enter it.
void run();
} // namespace Startup
