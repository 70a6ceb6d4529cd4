#include "timing/core/session/method_runs.h"

#include <array>
#include <sstream>

#include "timing/core/data/json.h"
#include "timing/core/methods/method_table.h"

namespace umbrix {

namespace {

// Collects JSON members "key": value, comma-separated.
class Details {
public:
    Details& Add(const char* key, double v) { return Raw(key, JsonNumber(v)); }
    Details& Add(const char* key, int v) { return Raw(key, std::to_string(v)); }
    Details& Raw(const char* key, const std::string& json) {
        text_ += (text_.empty() ? "" : ", ") + JsonString(key) + ": " + json;
        return *this;
    }
    std::string str() const { return text_; }

private:
    std::string text_;
};

BatchRow Refused(const std::string& message) {
    BatchRow r;
    r.result.refuse(message);
    return r;
}

// --ranges auto: why a method has no range, or "" when it has one.
std::string AutoRefusal(const AutoRanges& a, const std::string& method) {
    return a.eclipse ? method : a.message;
}

// The chosen range's end times in the file's time scale, into the JSON details (under the
// given keys) and the text line that follows the method's.
void AddRangeTimes(BatchRow& row, const DataSet& ds, std::initializer_list<const char*> keys,
                   std::initializer_list<int> points) {
    Details d;
    auto key = keys.begin();
    for (const int i : points) {
        const double t = ds.DayOffset + ds.Time[i];
        d.Add(*key++, t);
        // append(), not "" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict) there.
        row.ranges.append(row.ranges.empty() ? "" : " ").append(RowText(t));
    }
    row.details += (row.details.empty() ? "" : ", ") + d.str();
}

const char* const kRangeEmpty = "No working point lies in the range.";

// The working points strictly between two times of the file's time scale, as two right-clicks
// pick them; {1, PointCount} without --range; a zero index when a click finds no point.
std::array<int, 2> PickedRange(const AppState& app, const RunChoices& o) {
    const DataSet& ds = app.data;
    if (!o.range) return {1, ds.PointCount};
    return {FirstPointAfter(ds, (*o.range)[0] - ds.DayOffset),
            LastPointBefore(ds, (*o.range)[1] - ds.DayOffset)};
}

BatchRow RunParabola(AppState& app, const RunChoices& o) {
    PrepareGo(app, 1);
    auto [first, last] = PickedRange(app, o);
    const bool chosen = o.chosen && !o.range;
    if (chosen) {
        if (const std::string why = AutoRefusal(*o.chosen, o.chosen->parabolaMessage); !why.empty())
            return Refused(why);
        first = o.chosen->parabolaFirst;
        last = o.chosen->parabolaLast;
    }
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    app.parabola.SetEnds(SetRangeEnds(app.parabola.Ends(), first, last));
    const ParabolaRowResult r = PressFitParabola(app.parabola, app.data);
    if (!r.ok()) return Refused(r.message);
    const ParabolaFit& f = r.fit;
    BatchRow row{r, Details().Add("a0", f.a0).Add("a1", f.a1).Add("a2", f.a2)
                         .Add("sigma_a1", f.sigmaA1).Add("sigma_a2", f.sigmaA2).Add("rms", f.rms)
                         .Add("start", first).Add("end", last).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunTracing(AppState& app, const RunChoices& o) {
    DataSet& ds = app.data;
    PrepareGo(app, 2);
    if (o.fold) ds.GuessMinTime = *o.fold - ds.DayOffset;  // typed into the box, then Update
    if (o.chosen && !o.fold) {
        // Folded where the branches coincide best, as a person moves the fold until they do.
        if (!o.chosen->eclipse) return Refused(o.chosen->message);
        const FoldSymmetry fold = SymmetricFold(ds, o.chosen->centre);
        ds.GuessMinTime = fold.ok ? fold.centre : o.chosen->centre;
    }
    UpdateFoldPlotBounds(app.tracing, ds, ds.GuessMinTime);
    const TracingRowResult r = TraceResult(ds, ds.GuessMinTime);
    return {r, Details().Add("fold", r.fold).str(), ""};
}

BatchRow RunChords(AppState& app, const RunChoices& o) {
    PrepareGo(app, 3);
    const DataSet& ds = app.data;
    std::array<int, 4> idx{};
    const bool chosen = o.chosen && !o.chords;
    if (chosen) {
        const AutoRanges& a = *o.chosen;
        if (const std::string why = AutoRefusal(a, a.chordsMessage); !why.empty()) return Refused(why);
        idx = {a.leftFirst, a.leftLast, a.rightFirst, a.rightLast};
    } else if (o.chords) {
        const auto& c = *o.chords;
        idx = {FirstPointAfter(ds, c[0] - ds.DayOffset), LastPointBefore(ds, c[1] - ds.DayOffset),
               FirstPointAfter(ds, c[2] - ds.DayOffset), LastPointBefore(ds, c[3] - ds.DayOffset)};
    } else {
        const int deepest = ds.MagMaxIndex;
        if (deepest <= 1) return Refused("No working point lies before the deepest point.");
        if (deepest >= ds.PointCount) return Refused("No working point lies after the deepest point.");
        idx = {1, deepest - 1, deepest + 1, ds.PointCount};
    }
    SetChordsRanges(app.chords, idx[0], idx[1], idx[2], idx[3]);
    const ChordsRowResult r = PressBisectChords(app.chords, ds);
    if (r.outcome == MethodOutcome::NotRun) return Refused("The left range holds no working point.");
    if (!r.ok()) return Refused(r.message);
    const ChordsState& s = app.chords;
    BatchRow row{r, Details().Add("n", r.chords.n).Add("left_start", s.BisLeftStart)
                         .Add("left_end", s.BisLeftEnd).Add("right_start", s.BisRightStart)
                         .Add("right_end", s.BisRightEnd).str(), ""};
    if (chosen)
        AddRangeTimes(row, ds, {"range_left_first_time", "range_left_last_time",
                                "range_right_first_time", "range_right_last_time"},
                      {s.BisLeftStart, s.BisLeftEnd, s.BisRightStart, s.BisRightEnd});
    return row;
}

// --ranges auto for Kwee and van Woerden and Fourier: first to last contact.
bool ChooseContactRange(const RunChoices& o, int& first, int& last, std::string& why) {
    if (!o.chosen || o.range) return false;
    why = AutoRefusal(*o.chosen, o.chosen->contactMessage);
    first = o.chosen->contactFirst;
    last = o.chosen->contactLast;
    return true;
}

BatchRow RunKvw(AppState& app, const RunChoices& o) {
    PrepareGo(app, 4);
    auto [first, last] = PickedRange(app, o);
    std::string why;
    const bool chosen = ChooseContactRange(o, first, last, why);
    if (!why.empty()) return Refused(why);
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    app.kvw.SetEnds(SetRangeEnds(app.kvw.Ends(), first, last));
    const KvwRowResult r = PressFitKwee(app.kvw, app.data, o.stepp, o.frac);
    if (!r.ok()) return Refused(r.message);
    const KvwResult& k = r.kvw;
    BatchRow row{r, Details().Add("n", k.n).Add("m", k.m).Add("grid_intervals", k.gridIntervals)
                         .Add("centre", k.centre).Add("s1", k.s1).Add("s2", k.s2).Add("s3", k.s3)
                         .Add("t1", k.t1).Add("t2", k.t2).Add("t3", k.t3).Add("stepp", k.stepp)
                         .Add("frac", k.frac).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunFourier(AppState& app, const RunChoices& o) {
    PrepareGo(app, 5);
    auto [first, last] = PickedRange(app, o);
    std::string why;
    const bool chosen = ChooseContactRange(o, first, last, why);
    if (!why.empty()) return Refused(why);
    if (chosen && !o.fourierStart) {
        // Start on the eclipse read off the curve, not on its faintest (noisiest) point.
        app.fourier.FourierParams[1] = o.chosen->centre;
        app.fourier.FourierParams[2] = o.chosen->level + o.chosen->depth;
    }
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    app.fourier.SetEnds(SetRangeEnds(app.fourier.Ends(), first, last));
    const FourierRowResult r = FitFourier(app.fourier, app.data);
    if (!r.ok()) return Refused(r.message);
    std::string params = "[";
    for (int i = 1; i <= kFourierParamCount; ++i)
        params += (i > 1 ? ", " : "") + JsonNumber(r.params[static_cast<std::size_t>(i)]);
    params += "]";
    BatchRow row{r, Details().Raw("params", params).Add("chi2", r.chiSquare)
                         .Add("iterations", r.iterations).Add("lambda", r.lambda).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunSliding(AppState& app, const RunChoices& o) {
    // It picks its own points about the deepest one, of the eclipse chosen for every method.
    if (o.chosen) {
        if (const std::string why = AutoRefusal(*o.chosen, o.chosen->slidingMessage); !why.empty())
            return Refused(why);
    }
    const SlidingRowResult r =
        o.chosen ? SlidingGo(app.sliding, app.data, {o.chosen->stretchFirst, o.chosen->stretchLast},
                             app.RangeFirst, app.RangeLast)
                 : SlidingGo(app.sliding, app.data, app.RangeFirst, app.RangeLast);
    if (!r.ok()) return Refused(r.message);
    const SlidingResult& s = r.sliding;
    return {r, Details().Add("l", s.l).Add("m", s.m).Add("k", s.k).Add("h", s.h)
                    .Add("best", s.best).Add("range_first", s.rangeFirst)
                    .Add("range_last", s.rangeLast).str(), ""};
}

// In kMethods' order.
constexpr std::array<BatchRow (*)(AppState&, const RunChoices&), kMethodRows> kRunners{
    RunParabola, RunTracing, RunChords, RunKvw, RunFourier, RunSliding};

}  // namespace

BatchRow RunMethodRow(int row, AppState& app, const RunChoices& o) {
    return kRunners[static_cast<std::size_t>(row - 1)](app, o);
}

void ApplyFourierStartList(AppState& app, const std::string& list) {
    std::istringstream parts(list);
    FourierBoxTexts texts;
    for (std::string& text : texts) std::getline(parts, text, ',');
    texts[0] = NumText(LeadingNumber(texts[0]) - app.data.DayOffset);
    ApplyFourierBoxTexts(app.fourier, app.data, texts);
}

}  // namespace umbrix
