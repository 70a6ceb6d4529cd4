#pragma once
// The converted records of every star, sorted by star and time in memory that does not grow
// with the log: what the per-star light curves are written from.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <queue>
#include <string>
#include <utility>
#include <vector>

namespace hjdprep {

// One converted record as its star's light curve needs it.
struct StarPoint {
    std::uint32_t star;  // index into the run's list of star names
    double hjd;
    double milli;
};

// The records of every star, handed back grouped by star and in time order within each
// (records at the same time in the log's order), with memory that does not grow with the
// log: up to `inMemory` points are sorted in memory; a longer log spills sorted runs of that
// many points to an unnamed scratch file and merges them, holding a small buffer per run.
class PointSorter {
public:
    explicit PointSorter(std::size_t inMemory) : inMemory_(std::max<std::size_t>(inMemory, 1)) {}
    PointSorter(const PointSorter&) = delete;
    PointSorter& operator=(const PointSorter&) = delete;
    ~PointSorter() {
        if (scratch_) std::fclose(scratch_);
    }

    void Add(const StarPoint& point) {
        points_.push_back(point);
        if (points_.size() >= inMemory_) Spill();
    }
    // Call once after the last Add; then Next until it returns false.
    void Finish() {
        if (runs_.empty()) {
            Sort(points_);
            return;
        }
        if (!points_.empty()) Spill();
        std::vector<StarPoint>().swap(points_);
        for (std::size_t r = 0; r < runs_.size(); ++r)
            if (Refill(r)) heap_.push({runs_[r].buffer[0], r});
    }
    bool Next(StarPoint& point) {
        if (runs_.empty()) {
            if (next_ >= points_.size()) return false;
            point = points_[next_++];
            return true;
        }
        if (heap_.empty() || !error_.empty()) return false;
        const auto [top, r] = heap_.top();
        heap_.pop();
        point = top;
        Run& run = runs_[r];
        if (++run.position < run.buffer.size() || Refill(r)) heap_.push({run.buffer[run.position], r});
        return true;
    }
    // Why the scratch file failed; empty when all went well.
    const std::string& error() const { return error_; }

private:
    struct Run {
        std::size_t first = 0, count = 0, read = 0;  // in points, within the scratch file
        std::vector<StarPoint> buffer;
        std::size_t position = 0;
    };
    using Head = std::pair<StarPoint, std::size_t>;  // a run's next point, and the run
    struct Later {
        bool operator()(const Head& a, const Head& b) const {
            if (a.first.star != b.first.star) return a.first.star > b.first.star;
            if (a.first.hjd != b.first.hjd) return a.first.hjd > b.first.hjd;
            return a.second > b.second;  // an earlier run holds earlier lines of the log
        }
    };
    static constexpr std::size_t kRunBuffer = 4096;

    static void Sort(std::vector<StarPoint>& points) {
        std::stable_sort(points.begin(), points.end(), [](const StarPoint& a, const StarPoint& b) {
            return a.star != b.star ? a.star < b.star : a.hjd < b.hjd;
        });
    }
    void Fail(const char* what) {
        if (error_.empty())
            error_ = std::string("cannot ") + what + " the scratch file of the per-star light curves: " +
                     std::strerror(errno);
    }
    void Spill() {
        if (!error_.empty()) {
            points_.clear();
            return;
        }
        if (!scratch_ && !(scratch_ = std::tmpfile())) return Fail("create");
        Sort(points_);
        Run run;
        run.first = written_;
        run.count = points_.size();
        if (std::fwrite(points_.data(), sizeof(StarPoint), points_.size(), scratch_) != points_.size())
            Fail("write");
        written_ += points_.size();
        runs_.push_back(std::move(run));
        points_.clear();
    }
    bool Refill(std::size_t r) {
        Run& run = runs_[r];
        run.position = 0;
        run.buffer.clear();
        if (run.read >= run.count || !error_.empty()) return false;
        const std::size_t n = std::min(kRunBuffer, run.count - run.read);
        run.buffer.resize(n);
        if (std::fseek(scratch_, static_cast<long>((run.first + run.read) * sizeof(StarPoint)), SEEK_SET) != 0 ||
            std::fread(run.buffer.data(), sizeof(StarPoint), n, scratch_) != n) {
            Fail("read");
            return false;
        }
        run.read += n;
        return true;
    }

    std::size_t inMemory_;
    std::vector<StarPoint> points_;
    std::size_t next_ = 0;
    std::FILE* scratch_ = nullptr;
    std::size_t written_ = 0;
    std::vector<Run> runs_;
    std::priority_queue<Head, std::vector<Head>, Later> heap_;
    std::string error_;
};

}  // namespace hjdprep
