// Needle and image geometry of gaugehost's drawing: where a calibrated needle points,
// how far a needle may turn per update, where a moving bitmap sits in its window.
// Angles are degrees, clockwise, and never reduced unless a function says so.
// Directions are measured clockwise from straight up (12 o'clock), as the
// calibration tables are read; screen y grows downward.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gaugehost::render {

// One calibration point as the module stores it: a dial pixel and its value.
struct ScalePoint {
    int32_t x = 0;
    int32_t y = 0;
    double value = 0.0;
};

// The rule for stepping from one calibration point to the next. Dial scales grow
// clockwise, so each step is taken clockwise, however long (a radar altimeter's
// 300-degree sweep over the top), unless going clockwise would take more than
// this many degrees: then the step is the short counter-clockwise back-step that
// the points describe (the airspeed table turns back 4.4 degrees from 130 to 140).
inline constexpr double kLongestClockwiseStep = 330.0;

// Direction of dial pixel (x, y) seen from pivot pixel (px, py), degrees clockwise
// from straight up, in [0, 360). Both are pixel centres, so the half pixels cancel.
double DirectionFromPivot(int32_t px, int32_t py, int32_t x, int32_t y);

// Signed turn from direction `from` to direction `to` under the stepping rule:
// in (0, kLongestClockwiseStep] clockwise, or in (kLongestClockwiseStep - 360, 0]
// counter-clockwise.
double ScaleStep(double from, double to);

// A needle's calibration: every point's direction, unwrapped along the table so
// that neighbouring points differ by their ScaleStep.
class NeedleScale {
public:
    NeedleScale() = default;
    // Throws Error if fewer than two points or values that do not rise strictly.
    NeedleScale(int32_t pivot_x, int32_t pivot_y, std::span<const ScalePoint> points);

    bool empty() const { return values_.empty(); }
    // Direction for `value`: linear in the value between neighbouring points,
    // held at the end points beyond the table. Unwrapped (may leave 0..360).
    double DirectionAt(double value) const;
    // The unwrapped direction of point i.
    double PointDirection(size_t i) const { return directions_.at(i); }
    size_t size() const { return values_.size(); }

private:
    std::vector<double> values_;
    std::vector<double> directions_;
};

// Smallest signed turn taking direction `from` to `to`, in (-180, 180].
double ShortestTurn(double from, double to);

// What a needle shows across updates when it may turn only so far per update.
class NeedleMotion {
public:
    // One update toward `target` (degrees): with max_degrees_per_tick 0 (no limit)
    // or on the first update it jumps there; otherwise it turns the shorter way
    // round by at most that many degrees. Returns the angle now shown.
    double Advance(double target, int32_t max_degrees_per_tick);
    double shown() const { return shown_; }
    bool started() const { return started_; }
    void Reset() { started_ = false; shown_ = 0.0; }

private:
    bool started_ = false;
    double shown_ = 0.0;
};

// Pixel offset of a moving bitmap along one axis of its window: `value` mapped
// linearly from min..max onto 0..travel (travel = window size - image size),
// held at the ends; a fixed axis (min == max) or a value that is not a number
// stays centred at travel / 2.
double AxisOffset(double value, double min, double max, double travel);

}  // namespace gaugehost::render
