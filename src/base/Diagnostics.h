#pragma once

#include <cstdarg>
#include <string>

// Console diagnostics shared by the whole program. Everything is reported on
// standard output as plain lines: no levels, prefixes or time stamps.
namespace tolvane {

// Receives loading-screen messages; null until the overlays exist.
using LoadingMessageHandler = void (*)(std::string message);
extern LoadingMessageHandler loadingMessageHandler;

// printf-style message followed by one line feed.
void logMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints one "OpenGL Error: ..." line for every error pending in the GL
// error queue, in queue order. Never stops the program.
void checkGLError();

// printf-style formatting into a string of any length.
std::string formatString(const char* format, va_list args);

// Formats and forwards a message to the loading screen; does nothing (not
// even formatting) while no handler is installed.
void postLoadingMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The text checkGLError prints for one GL error code.
const char* glErrorText(unsigned int errorCode);

// The fatal pattern for resources that cannot be set up: prints the message
// (and the driver's log, as data, when given), waits for Enter when a person
// is at a terminal, then exits with code -1. Runs no clean-up.
[[noreturn]] void fatalError(const char* message, const char* driverLog = nullptr);

}  // namespace tolvane
