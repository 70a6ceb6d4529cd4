#pragma once
// Several light curves at once: one worker thread per core, each taking the next file.

#include <cstddef>
#include <functional>
#include <ostream>

namespace umbrix {

// Calls work(0) .. work(count - 1), in parallel when count > 1; each call must touch only its
// own results. A run that takes more than about a second says on `progress` how many of the
// `what` are done ("ectimer: 12 of 365 files").
void ForEachFile(std::size_t count, const std::function<void(std::size_t)>& work,
                 std::ostream& progress, const char* what = "files");

}  // namespace umbrix
