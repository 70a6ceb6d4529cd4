#include "converter/core/file_access.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace hjdprep {

bool FileAccess::Write(const std::filesystem::path& path, std::string_view content) {
    StagedFile staged;
    if (!Stage(path, content, staged).empty()) return false;
    return Commit(staged).empty();
}

std::optional<std::string> DiskFiles::Read(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

std::string DiskFiles::Stage(const std::filesystem::path& target, std::string_view content,
                             StagedFile& staged) {
    return atomicfile::Stage(target.string(), content, staged);
}

std::string DiskFiles::Commit(StagedFile& staged) { return atomicfile::Commit(staged); }

void DiskFiles::Discard(StagedFile& staged) { atomicfile::Discard(staged); }

}  // namespace hjdprep
