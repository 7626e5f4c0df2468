#include "render/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "render/error.h"

namespace gaugehost::render {
namespace {

// Reduces an angle to [0, 360).
double Wrap360(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r < 0.0) r += 360.0;
    if (r >= 360.0) r -= 360.0;  // fmod of a tiny negative can round up to 360
    return r;
}

}  // namespace

double DirectionFromPivot(int32_t px, int32_t py, int32_t x, int32_t y) {
    // atan2(east, north) measures clockwise from up on a screen whose y grows downward.
    const double east = double(x) - double(px);
    const double north = double(py) - double(y);
    return Wrap360(std::atan2(east, north) * 180.0 / std::numbers::pi);
}

double ScaleStep(double from, double to) {
    const double clockwise = Wrap360(to - from);
    return clockwise > kLongestClockwiseStep ? clockwise - 360.0 : clockwise;
}

NeedleScale::NeedleScale(int32_t pivot_x, int32_t pivot_y, std::span<const ScalePoint> points) {
    if (points.size() < 2)
        throw RenderError("calibration table has " + std::to_string(points.size()) +
                          " point(s); a needle table needs at least two");
    values_.reserve(points.size());
    directions_.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const ScalePoint& p = points[i];
        if (!std::isfinite(p.value))
            throw RenderError("calibration point " + std::to_string(i + 1) + " has a value that is not a number");
        if (i > 0 && !(p.value > values_.back()))
            throw RenderError("calibration point " + std::to_string(i + 1) + " value " +
                              std::to_string(p.value) + " does not rise above the previous point's " +
                              std::to_string(values_.back()));
        if (p.x == pivot_x && p.y == pivot_y)
            throw RenderError("calibration point " + std::to_string(i + 1) +
                              " lies on the pivot and gives no direction");
        const double direction = DirectionFromPivot(pivot_x, pivot_y, p.x, p.y);
        values_.push_back(p.value);
        directions_.push_back(i == 0 ? direction : directions_.back() + ScaleStep(directions_.back(), direction));
    }
}

double NeedleScale::DirectionAt(double value) const {
    if (values_.empty()) return 0.0;
    if (std::isnan(value) || value <= values_.front()) return directions_.front();
    if (value >= values_.back()) return directions_.back();
    // First point whose value exceeds `value`; the step runs from the point before it.
    const size_t hi = size_t(std::upper_bound(values_.begin(), values_.end(), value) - values_.begin());
    const size_t lo = hi - 1;
    const double t = (value - values_[lo]) / (values_[hi] - values_[lo]);
    return directions_[lo] + t * (directions_[hi] - directions_[lo]);
}

double ShortestTurn(double from, double to) {
    const double turn = Wrap360(to - from);
    return turn > 180.0 ? turn - 360.0 : turn;
}

double NeedleMotion::Advance(double target, int32_t max_degrees_per_tick) {
    if (!std::isfinite(target)) return shown_;  // nothing sensible to turn toward: hold
    if (!started_ || max_degrees_per_tick <= 0) {
        started_ = true;
        shown_ = target;
        return shown_;
    }
    const double turn = ShortestTurn(shown_, target);
    const double limit = double(max_degrees_per_tick);
    if (std::fabs(turn) <= limit)
        shown_ = target;  // arrived: take the target itself so no rounding drift remains
    else
        shown_ += turn > 0.0 ? limit : -limit;
    return shown_;
}

double AxisOffset(double value, double min, double max, double travel) {
    if (min == max || !std::isfinite(min) || !std::isfinite(max) || std::isnan(value)) return travel / 2.0;
    const double t = std::clamp((value - min) / (max - min), 0.0, 1.0);
    return t * travel;
}

}  // namespace gaugehost::render
