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
#include <string>
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
    Text,    // text at (x1, y1), placed by its anchor
};

// Which point of a text's box lies at the text's position.
enum class TextAnchor {
    TopLeft,
    TopCentre,    // values under a time grid line
    MiddleRight,  // values left of a magnitude grid line
};

struct DrawCommand {
    DrawKind kind = DrawKind::Line;
    Rgb colour;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double r = 0;
    std::string text;  // Text only
    TextAnchor anchor = TextAnchor::TopLeft;
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
    // A line of text in the current colour; the current point stays where it was.
    void Text(double x, double y, std::string text, TextAnchor anchor = TextAnchor::TopLeft);

    // Every command drawn so far takes this colour (a curve kept as a faint reference).
    void Recolour(Rgb colour) {
        for (DrawCommand& c : commands_) c.colour = colour;
    }

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

// A rectangle in twips, edges included.
struct ClipRect {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(double x, double y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// The list as it shows inside rect: lines cut at its edges, circles and points kept where their
// centre lies inside, texts kept as they are (the axis values stand outside the frame on
// purpose). A zoomed plot, a fitted curve run past the points or a marker of a range scrolled
// away thus never draw over the axis values or the controls.
DisplayList ClippedTo(const DisplayList& list, const ClipRect& rect);

}  // namespace umbrix
