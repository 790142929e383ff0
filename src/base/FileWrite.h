#pragma once

#include <cstddef>
#include <string>

// Writing results so that a full disk or a failing device is noticed at
// once. Standard streams and FreeImage keep data in buffers and forget the
// error of the final write; these do every write themselves. No GL here:
// the content generator writes through them too.
namespace tolvane {

// Writes `bytes` of `data` to `path`, replacing it. On any failed or short
// write the partial file is removed and `error` reads "PATH: cause".
bool writeWholeFile(const std::string& path, const void* data, std::size_t bytes, std::string& error);
bool writeWholeFile(const std::string& path, const std::string& text, std::string& error);

// Removes `path` when it is a regular file (never a device such as
// /dev/null, which a user may name as an output).
void removeRegularFile(const std::string& path);

// The cause of the last failed system call, as "PATH: cause".
std::string systemError(const std::string& path);

}  // namespace tolvane
