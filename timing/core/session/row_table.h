#pragma once
// The six method rows of the main window as data: what each row's method last wrote (its
// unrounded numbers), the texts of its three boxes (which a user may type over), its tick and
// whether the points were edited since it was computed; and what is made of them: the means,
// the numbers files take, the minima-log lines. The main window shows a table and the command
// line fills one, so both combine and log rows by the same code.

#include <array>
#include <string>
#include <vector>

#include "timing/core/data/means.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

struct RowState {
    RowResult written;  // what the method last wrote; NotRun once emptied
    // The boxes' texts: the result's own while nobody typed over them.
    std::string time, error, calibrated;
    bool ticked = false;
    bool stale = false;  // computed before points were deleted or restored
};

class RowTable {
public:
    // Row k (1..6); the caller checks k.
    const RowState& row(int k) const { return rows_[Index(k)]; }

    // A method's result (ok results only; others change nothing): its texts into the boxes,
    // the row ticked and fresh. The calibrated box always follows the result, empty when it
    // has none, so that no older calibrated error stays beside a new time.
    void write(int k, const RowResult& result);
    // Empties the three boxes and forgets the result; the tick stays as it is.
    void empty(int k);
    // A method's Undo: empties the row and unticks it, so that no empty row counts.
    void clear(int k) {
        empty(k);
        setTicked(k, false);
    }
    void setTicked(int k, bool ticked) { rows_[Index(k)].ticked = ticked; }
    // What a user typed into a box: read as typed from now on.
    void setTime(int k, std::string text) { rows_[Index(k)].time = std::move(text); }
    void setError(int k, std::string text) { rows_[Index(k)].error = std::move(text); }
    void setCalibrated(int k, std::string text) { rows_[Index(k)].calibrated = std::move(text); }
    // Points were deleted or restored: every row holding a time is stale until computed again.
    void pointsEdited();

    // "Calc. Means" of the rows as they stand (ticks, texts and the methods' own numbers where
    // the boxes still show them). calcMeans also unticks what the means untick.
    MeansResult means() const;
    MeansResult calcMeans();
    // True when a row counted in `means` is stale.
    bool countsStaleRow(const MeansResult& means) const;
    // "" or a sentence naming the ticked rows computed before the last edit of the points.
    std::string staleTickedRows() const;

    // Row k's time, error and calibrated error for files other programs read: the method's
    // numbers to 7 decimals while the boxes show its texts, a number typed into a box
    // likewise, any other text as it stands.
    std::array<std::string, 3> fileNumbers(int k) const;
    // The minima-table line of row k for light curve `file`, as fileNumbers writes them.
    std::string minimaLine(int k, const std::string& file) const;
    // The minima-log lines: every ticked row holding a time, then the weighted mean when
    // `means` were computed; "" when no ticked row holds a time.
    std::string minimaLogLines(const std::string& file, const MeansResult& means) const;
    // The methods those lines hold (kMethods' names, "weighted_mean").
    std::vector<std::string> loggedMethods(const MeansResult& means) const;

private:
    static std::size_t Index(int k) { return static_cast<std::size_t>(k - 1); }
    MeanRow meanRow(int k) const;
    bool logged(int k) const { return row(k).ticked && !row(k).time.empty(); }

    std::array<RowState, kMethodRows> rows_{};
};

// The weighted mean's line of the minima table.
std::string MeanMinimaLine(const std::string& file, const MeansResult& means);

}  // namespace umbrix
