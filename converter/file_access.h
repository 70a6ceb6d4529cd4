#pragma once
// The file operations of the conversion run, behind one interface so that a test can make
// any of them fail and check that the user's log survives.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hjdprep {

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> Read(const std::filesystem::path& path) = 0;
    // Creates or replaces the file with exactly content. On failure the file is as before.
    virtual bool Write(const std::filesystem::path& path, std::string_view content) = 0;
    // Renames from to to, replacing to. On failure both are as before.
    virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Deletes the file; true when it does not exist afterwards.
    virtual bool Remove(const std::filesystem::path& path) = 0;
};

// The real disk. Write goes to a temporary name beside the file and renames it into place,
// so a reader never sees a half-written file.
class DiskFiles : public FileAccess {
public:
    std::optional<std::string> Read(const std::filesystem::path& path) override;
    bool Write(const std::filesystem::path& path, std::string_view content) override;
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Remove(const std::filesystem::path& path) override;
};

}  // namespace hjdprep
