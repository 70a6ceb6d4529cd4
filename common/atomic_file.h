#pragma once
// Crash-safe file replacement, shared by ectimer and hjdprep (it holds nothing else of
// either program).
//
// A file is first written whole to a fresh temporary file beside its target (same folder, so
// the final rename never crosses file systems), every write and the close are checked, the
// data are flushed to the disk, and only then is the temporary renamed over the target. A
// reader, a crash or a power cut therefore sees either the old file or the new one, never a
// mixture. On any failure the temporary is removed and the target is left as it was.
//
// Several files that must change together are staged first and committed only when every
// one of them was staged: Stage() for each, then Commit() for each, or Discard() for all when
// one Stage() failed.
//
// Messages name the target file and the system's reason ("cannot write SDATA2.CSV: No space
// left on device").

#include <string>
#include <string_view>

namespace atomicfile {

// A file written under a temporary name beside its target, not yet in place.
struct StagedFile {
    std::string target;
    std::string temp;  // empty when nothing is staged
};

// Writes content to a new temporary file in target's folder and flushes it to the disk.
// Returns "" and fills staged on success; otherwise the reason, with nothing left behind.
// A target that exists keeps its permissions in the new file; a target that is a folder or
// another non-regular file is refused here, before anything is written.
std::string Stage(const std::string& target, std::string_view content, StagedFile& staged);

// Renames the staged temporary over its target and flushes the folder, so that the rename
// itself survives a crash. Returns "" on success; otherwise the reason, after removing the
// temporary (the target is then as it was).
std::string Commit(StagedFile& staged);

// Removes a staged temporary that will not be committed. Harmless when nothing is staged.
void Discard(StagedFile& staged);

// Stage and Commit in one: replaces target with content, or leaves it untouched and returns
// the reason.
std::string WriteFile(const std::string& target, std::string_view content);

}  // namespace atomicfile
