#pragma once
// The file operations of the conversion run, behind one interface so that a test can make
// any of them fail and check that the user's log and the previous outputs survive.

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/atomic_file.h"

namespace hjdprep {

using atomicfile::StagedFile;
using atomicfile::StagedStream;

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The whole file, or nothing when it cannot be read (settings, aliases, the catalogue).
    virtual std::optional<std::string> Read(const std::filesystem::path& path) = 0;
    // A file to read piece by piece (the log, which may be far larger than memory should
    // hold), or nullptr when it cannot be opened.
    virtual std::unique_ptr<std::istream> OpenForReading(const std::filesystem::path& path) = 0;

    // Starts a file that will replace target: a temporary beside it, target itself not
    // touched. Returns "" on success, otherwise the reason naming target (nothing is then
    // left behind).
    virtual std::string Open(const std::filesystem::path& target, StagedStream& stream) = 0;
    // Adds to a started file; a failed write is remembered and reported by Close.
    virtual void Append(StagedStream& stream, std::string_view text) { atomicfile::Append(stream, text); }
    // Ends a started file; with flush its data are on the disk when this returns, without it
    // only after FlushFileSystem. Returns "" and fills staged, or the reason (the temporary
    // is then removed).
    virtual std::string Close(StagedStream& stream, bool flush, StagedFile& staged) = 0;
    // Puts on the disk every file written so far on the file system that holds folder.
    virtual std::string FlushFileSystem(const std::filesystem::path& folder) = 0;
    // Puts a staged file in place of its target in one rename; with flushFolder the rename
    // itself (and every earlier one in that folder) is on the disk when this returns. Returns
    // "" on success, otherwise the reason; the target is then as it was and the temporary
    // removed.
    virtual std::string Commit(StagedFile& staged, bool flushFolder) = 0;
    // Remove what will not be committed.
    virtual void Discard(StagedStream& stream) = 0;
    virtual void Discard(StagedFile& staged) = 0;

    // Replaces one small file whole. On failure the file is as before.
    bool Write(const std::filesystem::path& path, std::string_view content);
};

// The real disk, through the crash-safe writer both programs share.
class DiskFiles : public FileAccess {
public:
    std::optional<std::string> Read(const std::filesystem::path& path) override;
    std::unique_ptr<std::istream> OpenForReading(const std::filesystem::path& path) override;
    std::string Open(const std::filesystem::path& target, StagedStream& stream) override;
    std::string Close(StagedStream& stream, bool flush, StagedFile& staged) override;
    std::string FlushFileSystem(const std::filesystem::path& folder) override;
    std::string Commit(StagedFile& staged, bool flushFolder) override;
    void Discard(StagedStream& stream) override;
    void Discard(StagedFile& staged) override;
};

}  // namespace hjdprep
