#pragma once
// The converter's file access held in memory, so that a fuzz target runs whole conversions
// fast and can look at every file a run wrote.

#include <map>
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
    std::string Stage(const std::filesystem::path& target, std::string_view content,
                      hjdprep::StagedFile& staged) override {
        staged = {target.string(), "staged:" + target.string()};
        staging_[staged.temp] = std::string(content);
        return "";
    }
    std::string Commit(hjdprep::StagedFile& staged) override {
        files[staged.target] = staging_.at(staged.temp);
        staging_.erase(staged.temp);
        staged.temp.clear();
        return "";
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
