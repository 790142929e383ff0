#pragma once

namespace tolvane {

// Checks the framebuffer bound to GL_FRAMEBUFFER. An incomplete one is
// reported in the line every target of ours uses, "Framebuffer not ready",
// followed by the status the driver gave; the caller decides what to do
// without it. True when the framebuffer is complete.
bool framebufferReady();

// The name of a framebuffer status (GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT...).
const char* framebufferStatusName(unsigned int status);

}  // namespace tolvane
