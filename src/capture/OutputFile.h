#pragma once

#include "base/FileWrite.h"

#include <string>
#include <vector>

// Checks that the capture's results were written whole, beside the writes
// themselves (base/FileWrite.h).
namespace tolvane {

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

}  // namespace tolvane
