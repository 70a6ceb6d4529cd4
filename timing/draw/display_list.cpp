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

void DisplayList::Text(double x, double y, std::string text, TextAnchor anchor) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        ++dropped_;
        return;
    }
    DrawCommand& c = commands_.emplace_back();
    c.kind = DrawKind::Text;
    c.colour = colour_;
    c.x1 = c.x2 = Clamp(x);
    c.y1 = c.y2 = Clamp(y);
    c.text = std::move(text);
    c.anchor = anchor;
}

namespace {

// Liang and Barsky: the part of the line from (x1, y1) to (x2, y2) inside rect, as parameters
// t0 <= t1 along it; false when no part lies inside.
bool ClipLine(const ClipRect& rect, double x1, double y1, double x2, double y2, double& t0, double& t1) {
    t0 = 0;
    t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - rect.left, rect.right - x1, y1 - rect.top, rect.bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

DisplayList ClippedTo(const DisplayList& list, const ClipRect& rect) {
    DisplayList out;
    out.Clear(list.Background());
    for (const DrawCommand& c : list.Commands()) {
        out.SetColour(c.colour);
        switch (c.kind) {
        case DrawKind::Line: {
            double t0 = 0, t1 = 1;
            if (!ClipLine(rect, c.x1, c.y1, c.x2, c.y2, t0, t1)) break;
            const double dx = c.x2 - c.x1, dy = c.y2 - c.y1;
            // Ends already inside keep their exact values (no rounding through t); a cut end
            // is held on the edge, which c + t * d can miss by the last bit.
            const auto cutX = [&](double t) { return std::clamp(c.x1 + t * dx, rect.left, rect.right); };
            const auto cutY = [&](double t) { return std::clamp(c.y1 + t * dy, rect.top, rect.bottom); };
            out.Line(t0 == 0 ? c.x1 : cutX(t0), t0 == 0 ? c.y1 : cutY(t0), t1 == 1 ? c.x2 : cutX(t1),
                     t1 == 1 ? c.y2 : cutY(t1));
            break;
        }
        case DrawKind::Circle:
            if (rect.Contains(c.x1, c.y1)) out.Circle(c.x1, c.y1, c.r);
            break;
        case DrawKind::Point:
            if (rect.Contains(c.x1, c.y1)) out.PointSet(c.x1, c.y1);
            break;
        case DrawKind::Text:
            out.Text(c.x1, c.y1, c.text, c.anchor);
            break;
        }
    }
    return out;
}

}  // namespace umbrix
