#pragma once
// Window geometry is kept in twips (1/1440 inch); Qt lays out in logical pixels, 15 twips each
// (Qt scales logical pixels on high-DPI screens).

namespace umbrix {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace umbrix
