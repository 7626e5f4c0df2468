// Every calibration table of the module as its gauges print them: the dial
// points, their values, and the direction of each point from the pivot
// (clockwise from straight up) as the catalogue gives it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "render/geometry.h"

namespace gaugehost::render {

struct PrintedPoint {
    int32_t x, y;
    double value;
    double direction;
};

struct PrintedScale {
    std::string gauge;
    int32_t pivot_x, pivot_y;
    std::vector<PrintedPoint> points;

    std::vector<ScalePoint> Points() const {
        std::vector<ScalePoint> out;
        for (const PrintedPoint& p : points) out.push_back({p.x, p.y, p.value});
        return out;
    }
    NeedleScale Scale() const { return NeedleScale(pivot_x, pivot_y, Points()); }
};

inline const std::vector<PrintedScale> kPrintedScales = {
    {"AIRSPEED", 200, 200, {
        //  x    y  value  direction
        {199, 399,   0.0, 180.3},
        {170, 396,  10.0, 188.7},
        {138, 389,  15.0, 198.2},
        {101, 373,  20.0, 209.8},
        { 15, 268,  30.0, 249.8},
        { 12, 133,  40.0, 289.6},
        { 99,  31,  50.0, 329.1},
        {199,   1,  60.0, 359.7},
        {275,  18,  70.0,  22.4},
        {338,  16,  80.0,  36.9},
        {379, 124,  90.0,  67.0},
        {399, 201, 100.0,  90.3},
        {389, 251, 110.0, 105.1},
        {368, 301, 120.0, 121.0},
        {338, 340, 130.0, 135.4},
        {397, 371, 140.0, 131.0},
        {250, 340, 392.0, 160.3},
        {235, 395, 600.0, 169.8},
    }},
    {"RADALT", 200, 200, {
        { 99, 372,   0.0, 210.4},
        {299, 372, 500.0, 150.1},
    }},
    {"VSI", 199, 199, {
        {386, 268, -4.0, 110.3},
        {267, 387, -2.0, 160.1},
        {133, 386, -1.0, 199.4},
        { 48, 327, -0.5, 229.7},
        {  1, 200,  0.0, 269.7},
        { 48,  73,  0.5, 309.8},
        {133,  14,  1.0, 340.4},
        {267,  13,  2.0,  20.1},
        {386, 132,  4.0,  70.3},
    }},
    {"RPM", 200, 200, {
        {199, 399,    0.0, 180.3},
        {100, 374,  500.0, 209.9},
        {295, 372, 2500.0, 151.1},
    }},
    {"TORQUE", 200, 200, {
        {  0, 200, 0.0, 270.0},
        {385, 150, 1.0,  74.9},
    }},
    {"FUELFLOW", 200, 200, {
        { 37, 318,   0.0, 234.1},
        {  3, 224, 110.0, 263.1},
        {361, 318, 260.0, 126.2},
    }},
    {"TIT", 200, 200, {
        { 35, 300,   0.0, 238.8},
        { 17, 240, 130.0, 257.7},
        {370, 300, 800.0, 120.5},
    }},
};

inline const PrintedScale& FindPrintedScale(const std::string& gauge) {
    for (const PrintedScale& s : kPrintedScales)
        if (s.gauge == gauge) return s;
    throw std::out_of_range("no printed scale for " + gauge);
}

}  // namespace gaugehost::render
