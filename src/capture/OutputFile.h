#pragma once

#include <cstddef>
#include <string>

// Writing the capture's results so that a full disk or a failing device is
// noticed at once. Standard streams and FreeImage keep data in buffers and
// forget the error of the final write; these do every write themselves.
namespace tolvane {

// Writes `bytes` of `data` to `path`, replacing it. On any failed or short
// write the partial file is removed and `error` reads "PATH: cause".
bool writeWholeFile(const std::string& path, const void* data, std::size_t bytes, std::string& error);
bool writeWholeFile(const std::string& path, const std::string& text, std::string& error);

// True when the file at `path` is a PNG that ends with its closing chunk;
// a file cut short by a full disk does not.
bool isCompletePng(const std::string& path);

// True when the file at `path` is an ISO media file (MP4, MOV) whose boxes
// fill it exactly and include the index ("moov"): what a player needs.
bool isCompleteIsoMedia(const std::string& path);

// Removes `path` when it is a regular file (never a device such as
// /dev/null, which a user may name as an output).
void removeRegularFile(const std::string& path);

// The cause of the last failed system call, as "PATH: cause".
std::string systemError(const std::string& path);

}  // namespace tolvane
