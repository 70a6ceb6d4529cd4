#pragma once
// A display list in twips: what a plot window has drawn on its surface since the surface was
// last cleared, in drawing order. The plot steps write it, the plot view paints it, and tests
// read it ("a red dot at (X, Y)") without a widget. Standard C++ only.
//
// Coordinates are twips (1/1440 inch) of the drawing surface, x to the right, y downward.
// The list only ever holds finite coordinates: a command with a NaN or an infinite coordinate
// is dropped, and coordinates are clamped to +-kCoordinateLimit so that no painter overflows.

#include <cstdint>
#include <optional>
#include <vector>

namespace umbrix {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kSilver{192, 192, 192};
inline constexpr Rgb kPurple{150, 0, 150};

enum class DrawKind {
    Line,    // (x1, y1)-(x2, y2)
    Circle,  // centre (x1, y1), radius r, outline only
    Point,   // a single point at (x1, y1)
};

struct DrawCommand {
    DrawKind kind = DrawKind::Line;
    Rgb colour;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double r = 0;
    friend bool operator==(const DrawCommand&, const DrawCommand&) = default;
};

inline constexpr double kCoordinateLimit = 1.0e6;

class DisplayList {
public:
    // Erases the surface. With a colour the background becomes that colour; without one the
    // surface shows the window's own colour (the method windows set none).
    void Clear(std::optional<Rgb> background = std::nullopt);

    // The drawing colour of the commands that follow.
    void SetColour(Rgb colour) { colour_ = colour; }
    Rgb Colour() const { return colour_; }

    // A line; the current point moves to its end.
    void Line(double x1, double y1, double x2, double y2);
    // A line from the current point; the current point moves to (x, y).
    void LineTo(double x, double y);
    // An outline circle; the current point moves to its centre.
    void Circle(double x, double y, double radius);
    // A single point; the current point moves there.
    void PointSet(double x, double y);

    // The commands of another list drawn after these; the current point moves to its end.
    void Append(const DisplayList& other);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }

    const std::vector<DrawCommand>& Commands() const { return commands_; }
    std::optional<Rgb> Background() const { return background_; }
    // Commands refused because a coordinate was not finite (always 0 in a correct plot).
    int Dropped() const { return dropped_; }

private:
    void Add(DrawKind kind, double x1, double y1, double x2, double y2, double r);

    std::vector<DrawCommand> commands_;
    std::optional<Rgb> background_;
    Rgb colour_ = kBlack;
    double currentX_ = 0, currentY_ = 0;
    int dropped_ = 0;
};

}  // namespace umbrix
