#include "converter/core/file_access.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace hjdprep {

bool FileAccess::Write(const std::filesystem::path& path, std::string_view content) {
    StagedStream stream;
    if (!Open(path, stream).empty()) return false;
    Append(stream, content);
    StagedFile staged;
    if (!Close(stream, true, staged).empty()) return false;
    return Commit(staged, true).empty();
}

std::optional<std::string> DiskFiles::Read(const std::filesystem::path& path) {
    std::unique_ptr<std::istream> in = OpenForReading(path);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    if (in->bad()) return std::nullopt;
    return text;
}

std::unique_ptr<std::istream> DiskFiles::OpenForReading(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return nullptr;
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) return nullptr;
    return in;
}

std::string DiskFiles::Open(const std::filesystem::path& target, StagedStream& stream) {
    return atomicfile::Open(target.string(), stream);
}

std::string DiskFiles::Close(StagedStream& stream, bool flush, StagedFile& staged) {
    return atomicfile::Close(stream, flush, staged);
}

std::string DiskFiles::FlushFileSystem(const std::filesystem::path& folder) {
    return atomicfile::FlushFileSystem(folder.empty() ? std::string(".") : folder.string());
}

std::string DiskFiles::Commit(StagedFile& staged, bool flushFolder) {
    if (flushFolder) return atomicfile::Commit(staged);
    return atomicfile::CommitUnflushed(staged);
}

void DiskFiles::Discard(StagedStream& stream) { atomicfile::Discard(stream); }
void DiskFiles::Discard(StagedFile& staged) { atomicfile::Discard(staged); }

}  // namespace hjdprep
