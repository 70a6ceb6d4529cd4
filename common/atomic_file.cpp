#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace atomicfile {

namespace {

namespace fs = std::filesystem;

std::string Reason(int error) { return std::strerror(error); }

std::string FolderOf(const std::string& target) {
    const fs::path folder = fs::path(target).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// A name no other writer uses at the same moment: the process, a counter and the clock.
// O_EXCL below still refuses a clash, and the caller then simply tries the next name.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned long> counter{0};
    std::string base = fs::path(target).filename().string();
    // Keep the whole name well inside the 255 bytes a folder entry may have.
    if (base.size() > 180) base.resize(180);
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path name = fs::path(FolderOf(target)) /
                          ("." + base + "." + std::to_string(::getpid()) + "." +
                           std::to_string(counter.fetch_add(1)) + "." +
                           std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ULL) +
                           ".tmp");
    return name.string();
}

bool WriteAll(int fd, std::string_view content, int& error) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) {  // no progress and no error: treat as a full device rather than spin
            error = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a finished rename durable. Some file systems cannot sync a folder; the rename has
// happened all the same, so a failure here is not reported as a failed write.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    (void)::close(fd);
}

}  // namespace

std::string Stage(const std::string& target, std::string_view content, StagedFile& staged) {
    staged = {target, ""};
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return "cannot replace " + target + ": it is a folder or a device, not a file";

    int fd = -1;
    std::string temp;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TemporaryName(target);
        // 0666 lets the user's umask decide the permissions of a new file, as for any file
        // the user creates.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return "cannot write " + target + ": cannot create a file in " + FolderOf(target) +
                   ": " + Reason(errno);
    }
    if (fd < 0) return "cannot write " + target + ": no free temporary name in " + FolderOf(target);

    // A replaced file keeps the permissions the user gave it. Failing to copy them changes no
    // data, so it does not stop the write.
    if (exists) (void)::fchmod(fd, existing.st_mode & 07777);

    int error = 0;
    bool good = WriteAll(fd, content, error);
    if (good && ::fsync(fd) != 0) {
        error = errno;
        good = false;
    }
    // close() reports delayed write errors of some file systems (NFS); it closes the
    // descriptor whatever it returns.
    if (::close(fd) != 0 && good) {
        error = errno;
        good = false;
    }
    if (!good) {
        ::unlink(temp.c_str());
        return "cannot write " + target + ": " + Reason(error);
    }
    staged.temp = temp;
    return "";
}

std::string Commit(StagedFile& staged) {
    const std::string target = staged.target;
    std::string error = CommitUnflushed(staged);
    if (error.empty()) SyncFolder(FolderOf(target));
    return error;
}

void Discard(StagedFile& staged) {
    if (!staged.temp.empty()) ::unlink(staged.temp.c_str());
    staged.temp.clear();
}

std::string Open(const std::string& target, StagedStream& stream) {
    stream = StagedStream{};
    stream.target = target;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return "cannot replace " + target + ": it is a folder or a device, not a file";
    for (int attempt = 0; attempt < 100 && stream.fd < 0; ++attempt) {
        stream.temp = TemporaryName(target);
        stream.fd = ::open(stream.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (stream.fd < 0 && errno != EEXIST) {
            const int error = errno;
            stream.temp.clear();
            return "cannot write " + target + ": cannot create a file in " + FolderOf(target) + ": " +
                   Reason(error);
        }
    }
    if (stream.fd < 0) {
        stream.temp.clear();
        return "cannot write " + target + ": no free temporary name in " + FolderOf(target);
    }
    if (exists) (void)::fchmod(stream.fd, existing.st_mode & 07777);
    return "";
}

namespace {
constexpr std::size_t kStreamBuffer = 1 << 16;
constexpr std::size_t kStartWritingEvery = 8 << 20;

void Written(StagedStream& stream, std::size_t bytes) {
    stream.unstarted += bytes;
    if (stream.unstarted < kStartWritingEvery) return;
    // Only starts the writing and does not wait for it; a failure here changes nothing, the
    // flush at the close still writes and checks everything.
    (void)::sync_file_range(stream.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    stream.unstarted = 0;
}

void WriteBuffer(StagedStream& stream) {
    if (stream.error == 0 && !stream.buffer.empty() && WriteAll(stream.fd, stream.buffer, stream.error))
        Written(stream, stream.buffer.size());
    stream.buffer.clear();
}
}  // namespace

void Append(StagedStream& stream, std::string_view text) {
    if (stream.fd < 0 || stream.error != 0) return;
    if (stream.buffer.size() + text.size() > kStreamBuffer) {
        WriteBuffer(stream);
        if (text.size() >= kStreamBuffer) {
            if (stream.error == 0 && WriteAll(stream.fd, text, stream.error)) Written(stream, text.size());
            return;
        }
    }
    stream.buffer.append(text);
}

std::string Close(StagedStream& stream, bool flush, StagedFile& staged) {
    staged = {stream.target, ""};
    if (stream.fd < 0) return "cannot write " + stream.target + ": nothing was written";
    WriteBuffer(stream);
    std::string().swap(stream.buffer);
    int error = stream.error;
    if (error == 0 && flush && ::fsync(stream.fd) != 0) error = errno;
    if (::close(stream.fd) != 0 && error == 0) error = errno;
    stream.fd = -1;
    if (error != 0) {
        ::unlink(stream.temp.c_str());
        stream.temp.clear();
        return "cannot write " + stream.target + ": " + Reason(error);
    }
    staged.temp = stream.temp;
    stream.temp.clear();
    return "";
}

void Discard(StagedStream& stream) {
    if (stream.fd >= 0) (void)::close(stream.fd);
    stream.fd = -1;
    if (!stream.temp.empty()) ::unlink(stream.temp.c_str());
    stream.temp.clear();
    std::string().swap(stream.buffer);
}

std::string FlushFileSystem(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return "cannot flush the files in " + folder + ": " + Reason(errno);
    int error = ::syncfs(fd) == 0 ? 0 : errno;
    (void)::close(fd);
    return error == 0 ? std::string() : "cannot flush the files in " + folder + ": " + Reason(error);
}

std::string CommitUnflushed(StagedFile& staged) {
    if (staged.temp.empty()) return "cannot replace " + staged.target + ": nothing was written";
    if (::rename(staged.temp.c_str(), staged.target.c_str()) != 0) {
        const int error = errno;
        Discard(staged);
        return "cannot replace " + staged.target + ": " + Reason(error);
    }
    staged.temp.clear();
    return "";
}

void FlushFolder(const std::string& folder) { SyncFolder(folder); }

std::string WriteFile(const std::string& target, std::string_view content) {
    StagedFile staged;
    if (std::string error = Stage(target, content, staged); !error.empty()) return error;
    return Commit(staged);
}

}  // namespace atomicfile
