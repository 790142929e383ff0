#pragma once

namespace tolvane {

// Resident memory of this process in kilobytes (VmRSS), 0 when unknown.
long residentKilobytes();

}  // namespace tolvane
