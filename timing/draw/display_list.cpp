#include "timing/draw/display_list.h"

#include <algorithm>
#include <cmath>

namespace umbrix {

namespace {
double Clamp(double v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }
}  // namespace

void DisplayList::Clear(std::optional<Rgb> background) {
    commands_.clear();
    background_ = background;
    currentX_ = currentY_ = 0;
}

void DisplayList::Add(DrawKind kind, double x1, double y1, double x2, double y2, double r) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
        !std::isfinite(r)) {
        ++dropped_;
        return;
    }
    DrawCommand& c = commands_.emplace_back();
    c.kind = kind;
    c.colour = colour_;
    c.x1 = Clamp(x1);
    c.y1 = Clamp(y1);
    c.x2 = Clamp(x2);
    c.y2 = Clamp(y2);
    c.r = std::clamp(r, 0.0, kCoordinateLimit);
}

void DisplayList::Append(const DisplayList& other) {
    commands_.insert(commands_.end(), other.commands_.begin(), other.commands_.end());
    if (!other.commands_.empty()) currentX_ = other.currentX_, currentY_ = other.currentY_;
    dropped_ += other.dropped_;
}

void DisplayList::Line(double x1, double y1, double x2, double y2) {
    Add(DrawKind::Line, x1, y1, x2, y2, 0);
    if (std::isfinite(x2) && std::isfinite(y2)) currentX_ = Clamp(x2), currentY_ = Clamp(y2);
}

void DisplayList::LineTo(double x, double y) { Line(currentX_, currentY_, x, y); }

void DisplayList::Circle(double x, double y, double radius) {
    Add(DrawKind::Circle, x, y, x, y, radius);
    if (std::isfinite(x) && std::isfinite(y)) currentX_ = Clamp(x), currentY_ = Clamp(y);
}

void DisplayList::PointSet(double x, double y) {
    Add(DrawKind::Point, x, y, x, y, 0);
    if (std::isfinite(x) && std::isfinite(y)) currentX_ = Clamp(x), currentY_ = Clamp(y);
}

}  // namespace umbrix
