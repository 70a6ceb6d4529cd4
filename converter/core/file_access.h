#pragma once
// The file operations of the conversion run, behind one interface so that a test can make
// any of them fail and check that the user's log and the previous outputs survive.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/atomic_file.h"

namespace hjdprep {

using atomicfile::StagedFile;

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> Read(const std::filesystem::path& path) = 0;
    // Writes content whole under a temporary name beside target, flushed to the disk; target
    // itself is not touched yet. Returns "" on success, otherwise the reason naming target
    // (nothing is then left behind).
    virtual std::string Stage(const std::filesystem::path& target, std::string_view content,
                              StagedFile& staged) = 0;
    // Puts a staged file in place of its target in one rename. Returns "" on success,
    // otherwise the reason; the target is then as it was and the temporary removed.
    virtual std::string Commit(StagedFile& staged) = 0;
    // Removes a staged file that will not be committed.
    virtual void Discard(StagedFile& staged) = 0;

    // Replaces one file: Stage, then Commit. On failure the file is as before.
    bool Write(const std::filesystem::path& path, std::string_view content);
};

// The real disk, through the crash-safe writer both programs share.
class DiskFiles : public FileAccess {
public:
    std::optional<std::string> Read(const std::filesystem::path& path) override;
    std::string Stage(const std::filesystem::path& target, std::string_view content,
                      StagedFile& staged) override;
    std::string Commit(StagedFile& staged) override;
    void Discard(StagedFile& staged) override;
};

}  // namespace hjdprep
