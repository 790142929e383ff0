#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// The four-character types of the top-level boxes of the ISO media file
// (MP4, MOV) at `path`, in file order; empty when they do not fill the file
// exactly, as in a file cut short or one that is no ISO media.
std::vector<std::string> isoMediaBoxes(const std::string& path);

// True when the file at `path` is an ISO media file whose boxes fill it
// exactly and include the index ("moov"): what a player needs.
bool isCompleteIsoMedia(const std::string& path);

// Complete, with the index before the media data ("mdat"), so that a player
// can start before the whole file has arrived.
bool isStreamableIsoMedia(const std::string& path);

// Removes `path` when it is a regular file (never a device such as
// /dev/null, which a user may name as an output).
void removeRegularFile(const std::string& path);

// The cause of the last failed system call, as "PATH: cause".
std::string systemError(const std::string& path);

}  // namespace tolvane
