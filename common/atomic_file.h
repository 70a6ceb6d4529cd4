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

// A file written piece by piece under a temporary name beside its target, for content too
// large to hold in memory. Open(), Append() as often as needed, then Close() turns it into a
// StagedFile for Commit(). Writes are buffered; the first failure is kept and reported by
// Close(), which then removes the temporary.
struct StagedStream {
    std::string target;
    std::string temp;
    int fd = -1;
    int error = 0;  // errno of the first failed write, 0 while all went well
    std::string buffer;
    std::size_t unstarted = 0;  // bytes written whose way to the disk has not been started
};

// Creates the temporary (as Stage does). Returns "" or the reason, with nothing left behind.
std::string Open(const std::string& target, StagedStream& stream);
void Append(StagedStream& stream, std::string_view text);
// Writes what is buffered and closes the temporary; with flush, first makes the data durable
// (fsync). Without it the caller makes many files durable at once with FlushFileSystem()
// before committing any of them. Returns "" and fills staged, or the reason.
std::string Close(StagedStream& stream, bool flush, StagedFile& staged);
// Removes the temporary of a stream that will not be closed.
void Discard(StagedStream& stream);

// Makes every file written so far on the file system that holds folder durable (syncfs):
// one call instead of an fsync per file when a run writes thousands of small files.
std::string FlushFileSystem(const std::string& folder);

// Commit() without flushing the folder, for many renames in a row; FlushFolder() after the
// last makes them durable together.
std::string CommitUnflushed(StagedFile& staged);
void FlushFolder(const std::string& folder);

}  // namespace atomicfile
