#pragma once
// Ranges chosen from the light curve itself, as a careful observer picks them by eye: the
// night's eclipses found (eclipses.h), the deepest with both branches chosen, its depth and
// contacts read off the smoothed curve, then for each method the stretch it times best from.
// Every range lies within the chosen eclipse's stretch, so all methods time the same one.

#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/eclipses.h"

namespace umbrix {

// The shares of the depth that bound the ranges (tuned on the accuracy benchmark,
// docs/accuracy.md).
inline constexpr double kAutoParabolaShare = 0.5;  // parabola: points deeper than this,
inline constexpr int kAutoParabolaPoints = 6;      // at least this many of them
// Narrower bottoms tried in turn while the misfit widens the vertex's error from the noise by
// more than this factor (twice: very low noise, where the eclipse's shape outweighs the noise).
inline constexpr double kAutoParabolaNarrower[] = {0.6, 0.7, 0.8, 0.9};
inline constexpr double kAutoParabolaMisfit = 2.0;
inline constexpr double kAutoChordsLow = 0.2;      // chords: the branches between these
inline constexpr double kAutoChordsHigh = 0.8;
// Sliding integrations: refused when straight lines between the bottom's points miss the
// eclipse's bend by more than this share of the noise.
inline constexpr double kAutoSlidingBend = 1.0 / 3;

struct AutoRanges {
    // The night's eclipses, and the one timed (an index into night.dips; -1 when none).
    NightDips night;
    int chosen = -1;
    int stretchFirst = 0, stretchLast = 0;  // its stretch of working points
    // The eclipse as read off the curve. eclipse false: message says why (no eclipse, too few
    // points, no eclipse with both branches) and no range is chosen.
    bool eclipse = false;
    std::string message;
    double level = 0;   // out-of-eclipse magnitude
    double noise = 0;   // scatter of one point
    double depth = 0;   // faintest smoothed magnitude less the level
    double centre = 0;  // relative time halfway between the branches at half depth
    // Parabola: the points around the minimum deeper than kAutoParabolaShare of the depth, as
    // many on each side of the centre as the data allow; refused below kAutoParabolaPoints.
    int parabolaFirst = 0, parabolaLast = 0;
    double parabolaShare = kAutoParabolaShare;  // the share of the depth the range is deeper than
    std::string parabolaMessage;  // non-empty: no range
    // Chords: the two branches between kAutoChordsLow and kAutoChordsHigh of the depth.
    int leftFirst = 0, leftLast = 0, rightFirst = 0, rightLast = 0;
    std::string chordsMessage;
    // Kwee and van Woerden and Fourier: first to last contact, symmetric about the centre
    // where the data allow.
    int contactFirst = 0, contactLast = 0;
    std::string contactMessage;
    // Sliding integrations keep their own points; non-empty: the night is too sparse for them.
    std::string slidingMessage;
};

// Ranges for the working points of ds.
AutoRanges ChooseRanges(const DataSet& ds);

}  // namespace umbrix
