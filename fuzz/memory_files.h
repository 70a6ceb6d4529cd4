#pragma once
// The converter's file access held in memory, so that a fuzz target runs whole conversions
// fast and can look at every file a run wrote.

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "converter/core/file_access.h"

namespace fuzz {

class MemoryFiles : public hjdprep::FileAccess {
public:
    std::map<std::string, std::string> files;  // by path as given

    std::optional<std::string> Read(const std::filesystem::path& path) override {
        const auto it = files.find(path.string());
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    std::unique_ptr<std::istream> OpenForReading(const std::filesystem::path& path) override {
        const auto it = files.find(path.string());
        if (it == files.end()) return nullptr;
        return std::make_unique<std::istringstream>(it->second);
    }
    std::string Open(const std::filesystem::path& target, hjdprep::StagedStream& stream) override {
        stream = hjdprep::StagedStream{};
        stream.target = target.string();
        stream.temp = "staged:" + target.string();
        return "";
    }
    void Append(hjdprep::StagedStream& stream, std::string_view text) override { stream.buffer.append(text); }
    std::string Close(hjdprep::StagedStream& stream, bool, hjdprep::StagedFile& staged) override {
        staged = {stream.target, stream.temp};
        staging_[staged.temp] = std::move(stream.buffer);
        stream.buffer.clear();
        stream.temp.clear();
        return "";
    }
    std::string FlushFileSystem(const std::filesystem::path&) override { return ""; }
    std::string Commit(hjdprep::StagedFile& staged, bool) override {
        files[staged.target] = staging_.at(staged.temp);
        staging_.erase(staged.temp);
        staged.temp.clear();
        return "";
    }
    void Discard(hjdprep::StagedStream& stream) override {
        stream.buffer.clear();
        stream.temp.clear();
    }
    void Discard(hjdprep::StagedFile& staged) override {
        staging_.erase(staged.temp);
        staged.temp.clear();
    }
    bool NothingStaged() const { return staging_.empty(); }

private:
    std::map<std::string, std::string> staging_;
};

}  // namespace fuzz
