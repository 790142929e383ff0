#pragma once

#include <assimp/ProgressHandler.hpp>

namespace tolvane {

// Shows the model import's progress on the loading screen: a percentage when
// the importer knows the fraction, otherwise a row of dots that grows with
// every call. Created with Assimp's allocator; the importer owns it once it
// has been handed over.
class DisplayProgressHandler : public Assimp::ProgressHandler {
public:
    // percentage: 0 to 1, or exactly -1 for a step of unknown size.
    // Always returns true: the import is never cancelled.
    bool Update(float percentage) override;

    int dotCounter = 0;  // 0 to 3: dots shown by the next unknown-size step
};

}  // namespace tolvane
