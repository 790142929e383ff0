#pragma once

namespace tolvane {

// The driver's own messages (KHR_debug): asked for with the environment
// variable TOLVANE_GL_DEBUG=1, which makes the programs create a debug
// context and print every message the driver sends as one console line,
//   GL debug: source=API type=ERROR severity=HIGH id=1282: <the driver's text>
// as soon as it is sent (the output is synchronous, so the line follows the
// call that caused it).

// What came so far, for a caller that judges a run by it.
struct GlDebugLog {
    int messages = 0;
    int errors = 0;        // type ERROR
    int highSeverity = 0;  // severity HIGH
};

// True when TOLVANE_GL_DEBUG is set to anything but "" or "0".
bool glDebugRequested();

// True when the current context offers the named extension.
bool hasGlExtension(const char* name);

// Sends the current context's debug messages to the console and counts
// them in `log` (not owned; it must outlive the context's use). False, and
// nothing installed, when the context has no KHR_debug.
bool installGlDebugOutput(GlDebugLog* log);

// The words of a message's source, type and severity, as printed.
const char* glDebugSourceName(unsigned int source);
const char* glDebugTypeName(unsigned int type);
const char* glDebugSeverityName(unsigned int severity);

}  // namespace tolvane
