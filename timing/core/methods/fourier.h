#pragma once
// The Fourier method: a five-term cosine series fitted by Levenberg-Marquardt to a picked
// stretch of the light curve; the time of minimum is one of its parameters.
//
// Model, with theta = W (x - Xo):  y = C + sum_{i=1..5} A_i (cos(i theta) - 1).
// It is symmetric about Xo, where it equals C (the magnitude at minimum light).
//
// Two orders of the same eight parameters are kept:
//   box order (FourierParams, what the window's boxes show): 1 Xo, 2 C, 3 W, 4..8 A1..A5;
//   engine order (FitParams):                                 1..5 A1..A5, 6 C, 7 W, 8 Xo.
// Times are days relative to DayOffset; only the row result adds DayOffset back.
//
// How the window uses this (all state in AppState::fourier):
//   redraw       ParamText = FourierParamTexts(FourierParams, 8), show ParamText;
//                if FourierFitted, draw ModelTime/ModelMag thin.
//   right-click  SetEnds(PickRangeStart or PickRangeEnd of Ends()) with the clicked time and
//                x (the window picks the end from the clicked index against MagMaxIndex).
//   Update       copy the boxes into a FourierBoxTexts, FourierUpdate; on "" redraw and
//                draw ModelTime/ModelMag thick, otherwise show the message.
//   Fit Fourier  copy the boxes into ParamText, FitFourier; Fitted: draw the model thick,
//                write timeText/errorText into the main window's Fourier row, tick it, show
//                ParamText (width 9); Refused: show the message; NotRun (already fitted on
//                this range): nothing.
//   Undo         FourierUndo, empty the row's time and error, redraw.

#include <array>
#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/fit/marquardt.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

inline constexpr int kFourierParamCount = 8;
inline constexpr int kFourierSamples = 100;  // the model curve has kFourierSamples + 1 points

// Messages of the Fourier method, shown exactly like this.
extern const char* const kFourierSelectRangeFirst;  // "Select range first"
extern const char* const kFourierRangeEmpty;        // range indices outside the working set
extern const char* const kFourierErrorUndefined;    // covariance gives no error for Xo
extern const char* const kFourierNotFinite;         // the fit left a parameter that is no number
extern const char* const kFourierStartNotFinite;    // a start value is no number

using FourierBoxTexts = std::array<std::string, kFourierParamCount>;  // boxes 1..8 as 0..7
using ModelCurve = std::array<double, kFourierSamples + 1>;

// Everything the Fourier method remembers between button presses and window openings.
struct FourierState {
    // Parameter stores (index 0 unused).
    FitVector FourierParams{};  // box order; drawn from and fitted from
    FitVector FitParams{};      // engine order
    FitVector StartParams{};    // FitParams as the last fit started; zeros until the first fit
    double FitLambda = -1;      // lambda between fits; negative makes the next fit start afresh
    PointArray PointSigma{};    // sigma of each point, magnitudes
    bool ParamsEdited = false;  // Update was used: the fit re-reads the boxes
    bool FourierFitted = false;  // a fit completed on this range; further fits do nothing

    // Text of the eight boxes. The window copies what the user typed in here before it calls
    // Update or the fit, and shows these texts after any call that rewrites them.
    FourierBoxTexts ParamText{};

    // Range picked on the window (index into Time/Mag; flags reset by every load).
    int FourierStartIndex = 0;
    int FourierEndIndex = 0;
    bool FourierStartSet = false;
    bool FourierEndSet = false;
    bool FourierReady = false;
    double FourierStartTime = 0;  // clicked relative times, to redraw the range lines
    double FourierEndTime = 0;
    float FourierStartX = 0;      // x of the range lines in twips, to erase them
    float FourierEndX = 0;

    // The last sampled model curve (0..kFourierSamples).
    ModelCurve ModelTime{};
    ModelCurve ModelMag{};

    // Fit workspace. LISTA names every parameter as fitted, in engine order.
    PointArray FitX{};
    PointArray FitY{};
    ParamList LISTA{0, 1, 2, 3, 4, 5, 6, 7, 8};
    FitMatrix Alpha{};
    FitMatrix Covariance{};
    MarquardtState Engine{};

    RangeEnds Ends() const {
        return {FourierStartIndex, FourierEndIndex, FourierStartSet, FourierEndSet, FourierReady,
                FourierStartTime,  FourierEndTime,  FourierStartX,   FourierEndX};
    }
    void SetEnds(const RangeEnds& e) {
        FourierStartIndex = e.startIndex;
        FourierEndIndex = e.endIndex;
        FourierStartSet = e.startSet;
        FourierEndSet = e.endSet;
        FourierReady = e.ready;
        FourierStartTime = e.startTime;
        FourierEndTime = e.endTime;
        FourierStartX = e.startX;
        FourierEndX = e.endX;
    }
};

// After every load: start values from the faintest working point, FitLambda -1, PointSigma
// 0.01 for the working points, the flags cleared. Indices, times, positions and StartParams
// keep their values. The box texts show the new start values (width 8, 5 decimals).
void ResetFourierState(FourierState& s, const DataSet& ds);
// The start values alone, for the magnitudes as they are now (after a load or a change of
// sign): Xo and C from the faintest working point, the shape defaults, FitLambda -1, the box
// texts rewritten; ParamsEdited and FourierFitted cleared. The picked range stays.
void SeedFourierStart(FourierState& s, const DataSet& ds);

// The model function for the engine: a in engine order, p = 8.
void FourierModel(double x, const FitVector& a, int p, double& y, FitVector& dyda);

// Box order <-> engine order.
FitVector BoxToEngineOrder(const FitVector& box);
FitVector EngineToBoxOrder(const FitVector& engine);

// The eight parameters written as the boxes show them: FormatFixed(value, width, 5). A value
// that is not a finite number gives an empty text: a box never shows "NaN" or "Inf".
FourierBoxTexts FourierParamTexts(const FitVector& boxOrder, int width);

// Samples the model for FourierParams over the picked range into ModelTime/ModelMag
// (101 equally spaced times from Time(FourierStartIndex) to Time(FourierEndIndex)).
// Returns false, sampling nothing, when the range indices are outside 1..PointCount.
bool SampleFourierModel(FourierState& s, const DataSet& ds);

// The texts as if typed into the boxes, followed by Update on the parameter side: sets
// ParamsEdited, reads each text's leading number (0 when none) into FourierParams, rewrites
// the box texts (width 8, 5 decimals) and samples the model when the range allows.
void ApplyFourierBoxTexts(FourierState& s, const DataSet& ds, const FourierBoxTexts& texts);

// The Update button: "Select range first" (nothing changed) without a picked range,
// otherwise ApplyFourierBoxTexts. Returns "" or the message.
std::string FourierUpdate(FourierState& s, const DataSet& ds, const FourierBoxTexts& texts);

// The Undo button, parameter side: the parameters the last fit started from come back,
// FitLambda = -1, the range flags and FourierFitted are cleared, the box texts show the
// parameters with width 8. The caller empties the main window's Fourier time and error.
void FourierUndo(FourierState& s);

// What a press of "Fit Fourier" yields for the main window's Fourier row. time: DayOffset +
// Xo; error: the formal error of Xo in days (sigma 0.01 mag per point). NotRun when a fit
// already completed on this range (nothing done, nothing said).
struct FourierRowResult : RowResult {
    FitVector params{};    // fitted parameters in box order (index 0 unused)
    double chiSquare = 0;  // chi-square of the fitted parameters
    int iterations = 0;    // engine steps after the initialising one
    double lambda = 0;     // damping value the engine left (FitLambda)
};

// The error of the time of minimum from the covariance (engine order): the square root of
// the Xo diagonal element. False, error untouched, when that element is negative or not a
// finite number (a singular fit can leave either): the fit then has no result.
bool XoErrorFromCovariance(const FitMatrix& covariance, double& error);

// The "Fit Fourier" button. Without a picked range: Refused with "Select range first" and
// nothing changed; after a completed fit on this range: NotRun and nothing changed.
// Otherwise the fit runs from FourierParams (the box texts re-read first when Update was
// used), iterating until an accepted step lowers chi-square by less than ten per cent (at
// most 501 steps after the first). A start value that is not a finite number refuses the
// fit before anything but the re-read boxes changed. A singular matrix anywhere in the fit, a
// covariance diagonal for Xo that is negative or not finite, or a parameter that is not finite
// refuses the fit: one message, FourierParams and FourierFitted as before and FitLambda -1,
// so the next attempt starts afresh. So does a fit that converged where it times nothing:
// Xo outside the times of the fitted points, or a model with a maximum of light at Xo
// (sum i^2 A_i not positive). On success FourierFitted is set, FourierParams hold the
// fit, the box texts show it with width 9, the model curve is sampled and ParamsEdited cleared.
FourierRowResult FitFourier(FourierState& s, const DataSet& ds);

}  // namespace umbrix
