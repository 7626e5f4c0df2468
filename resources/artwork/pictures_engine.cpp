// Engine dials (RPM, torque, fuel flow, turbine inlet temperature) and the clock.
#include <cairo.h>

#include <cmath>
#include <string>

#include "canvas.h"
#include "pictures.h"

namespace artwork {

const TablePoint kRpmTable[3] = {{199, 399, 0.0}, {100, 374, 500.0}, {295, 372, 2500.0}};
const TablePoint kTorqueTable[2] = {{0, 200, 0.0}, {385, 150, 1.0}};
const TablePoint kFuelFlowTable[3] = {{37, 318, 0.0}, {3, 224, 110.0}, {361, 318, 260.0}};
const TablePoint kTitTable[3] = {{35, 300, 0.0}, {17, 240, 130.0}, {370, 300, 800.0}};

namespace {

const Rgb kGreen = kRangeGreen;
const Rgb kYellow = kRangeYellow;
const Rgb kRed = kRangeRed;
const Point kCentre = pixel(200, 200);

double dir(const TablePoint& p) { return table_direction(p, 200, 200); }

}  // namespace

Image rpm_face() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    cv.disc(c, 199.5, kDialFace);
    // The printed 5 and 25 sit on the table's 500 and 2500 points.
    const double a5 = dir(kRpmTable[1]), a25 = dir(kRpmTable[2]) + 360.0;
    const double step = (a25 - a5) / 20.0;  // one step per 100 RPM
    for (int k = 0; k <= 20; ++k) {
        if (k % 5 == 0)
            cv.tick(c, a5 + k * step, 166, 198, 7, kWhite);
        else
            cv.tick(c, a5 + k * step, 182, 198, 3.5, kWhite);
    }
    for (int k = 0; k <= 4; ++k) cv.dial_label(std::to_string(5 + 5 * k), c, a5 + 5 * k * step, 136, 42, kWhite);
    cv.text("RPM", {200.5, 262}, 34, kWhite);
    cv.text("x100", {200.5, 300}, 26, kWhite);
    return cv.flatten();
}

Image rpm_overlay() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    cv.band(c, 60, 75, 160, 170, kYellow);
    cv.band(c, 75, 126, 160, 170, kGreen);
    cv.band(c, 126, 142, 160, 170, kYellow);
    for (double a : {76.0, 120.0}) cv.tick(c, a, 156, 174, 3, kWhite);
    cv.tick(c, 60, 155, 198, 5, kRed);
    cv.tick(c, 144, 155, 198, 5, kRed);
    return cv.flatten();
}

Image torque_face() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    cv.disc(c, 199.5, kDialFace);
    auto at = [](double v) { return 240.0 + 60.0 * v; };
    for (int k = 0; k <= 40; ++k) {
        const double v = k / 10.0;
        if (k % 10 == 0)
            cv.tick(c, at(v), 166, 198, 7, kWhite);
        else if (k % 5 == 0)
            cv.tick(c, at(v), 176, 198, 5, kWhite);
        else
            cv.tick(c, at(v), 186, 198, 3, kWhite);
    }
    for (int k = 0; k <= 4; ++k) cv.dial_label(std::to_string(k), c, at(k), 140, 44, kWhite);
    cv.text("TORQUE", {200.5, 255}, 30, kWhite);
    cv.text("LB FT x 1000", {200.5, 292}, 22, kWhite);
    return cv.flatten();
}

Image torque_overlay() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    // Bracket from 35 to 48 degrees: an arc with turned-in ends.
    cv.band(c, 35, 48, 160, 166, kGreen);
    cv.tick(c, 35.5, 150, 166, 3, kGreen);
    cv.tick(c, 47.5, 150, 166, 3, kGreen);
    cv.band(c, 59, 73, 160, 170, kGreen);
    // The red mark carries the table's 1.0 point.
    const double red = dir(kTorqueTable[1]);
    cv.band(c, red - 0.9, red + 0.9, 150, 198, kRed);
    return cv.flatten();
}

Image fuelflow_face() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    cv.disc(c, 199.5, kDialFace);
    const double a0 = dir(kFuelFlowTable[0]), a10 = dir(kFuelFlowTable[2]) + 360.0;
    const double major = (a10 - a0) / 10.0;
    for (int k = 0; k <= 50; ++k) {
        const double a = a0 + k * major / 5.0;
        if (k % 5 == 0)
            cv.tick(c, a, 168, 198, 6, kWhite);
        else
            cv.tick(c, a, 184, 198, 3, kWhite);
    }
    for (int k = 0; k <= 10; ++k) cv.dial_label(std::to_string(k), c, a0 + k * major, 140, 36, kWhite);
    cv.disc(c, 50, rgb(10, 10, 10));
    cv.text("FUEL", {200.5, 188}, 20, kWhite);
    cv.text("FLOW", {200.5, 213}, 20, kWhite);
    cv.text("LB/HR", {200.5, 280}, 24, kWhite);
    cv.text("x100", {200.5, 312}, 24, kWhite);
    return cv.flatten();
}

Image fuelflow_needle() {
    Canvas cv(189, 55);
    const Point p = pixel(25, 27);
    // Starts 51 pixels right of the pivot, clear of the central label disc.
    cv.polygon({{p.x + 51, p.y - 2}, {176, p.y - 2}, {186.5, p.y}, {176, p.y + 2}, {p.x + 51, p.y + 2}}, kWhite);
    return cv.flatten();
}

Image tit_face() {
    Canvas cv(400, 400);
    const Point c = kCentre;
    cv.disc(c, 199.5, kDialFace);
    // 30 degrees per 100, the printed 2 at 300 degrees.
    auto at = [](double v) { return 300.0 + 0.3 * (v - 200.0); };
    cv.band(c, at(400), at(595), 158, 168, kGreen);
    cv.band(c, at(602), at(693), 158, 168, kYellow);
    for (int v = 60; v <= 800; v += 20) {
        const bool major = v % 100 == 0;
        const Rgb col = v == 700 ? kRed : kWhite;
        if (major)
            cv.tick(c, at(v), v % 200 == 0 ? 164 : 170, 198, 6, col);
        else
            cv.tick(c, at(v), 185, 198, 3, col);
    }
    for (int v = 200; v <= 800; v += 200) cv.dial_label(std::to_string(v / 100), c, at(v), 134, 42, kWhite);
    cv.text("TIT", {200.5, 150}, 26, kWhite);
    cv.text("\u00B0C", {200.5, 258}, 34, kWhite);
    cv.text("x100", {200.5, 296}, 26, kWhite);
    return cv.flatten();
}

// --- Clock -------------------------------------------------------------------

Image clock_face() {
    Canvas cv(400, 400);
    const Point c = pixel(194, 202);
    const Point sub = pixel(113, 202);
    // Chrome bezel and the black dial.
    cv.gradient_disc(c, 194, {120, 110}, rgb(210, 210, 215), rgb(45, 45, 50));
    cv.ring(c, 178, 181, rgb(35, 35, 38));
    cv.gradient_disc(c, 178, {194, 150}, rgb(28, 28, 30), rgb(12, 12, 13));
    // Knobs on the bezel: knurled start/stop at upper right, brass reset at lower left.
    const Point start{352, 54};
    cv.disc(start, 38, rgb(40, 40, 42));
    for (int i = 0; i < 48; ++i) cv.band(start, i * 7.5, i * 7.5 + 3.75, 31, 38, rgb(170, 170, 175));
    cv.gradient_disc(start, 31, {340, 42}, rgb(225, 225, 230), rgb(70, 70, 74));
    cv.ring(start, 27, 28.5, rgb(110, 110, 115));
    const Point reset{52, 350};
    cv.disc(reset, 28, rgb(90, 60, 20));
    cv.gradient_disc(reset, 26.5, {43, 340}, rgb(250, 215, 120), rgb(120, 82, 25));
    cv.ring(reset, 18, 19.5, rgb(150, 110, 40));
    for (int m = 0; m < 60; ++m) {
        const double a = m * 6.0;
        if (m % 5 == 0)
            cv.tick(c, a, 148, 174, 6, kWhite);
        else
            cv.tick(c, a, 164, 174, 2, rgb(220, 220, 220));
    }
    cv.dial_label("12", c, 0, 122, 38, kWhite);
    cv.dial_label("3", c, 90, 122, 38, kWhite);
    cv.dial_label("6", c, 180, 122, 38, kWhite);
    // Stopwatch sub-dial: 0 to 15 minutes, a mark per minute.
    cv.ring(sub, 68, 70, rgb(140, 140, 145));
    cv.disc(sub, 68, rgb(20, 20, 22));
    for (int m = 0; m < 15; ++m) {
        const double a = m * 24.0;
        cv.tick(sub, a, m % 5 == 0 ? 52 : 58, 67, m % 5 == 0 ? 4 : 2.5, kWhite);
    }
    cv.dial_label("15", sub, 0, 36, 20, kWhite);
    cv.dial_label("5", sub, 120, 36, 20, kWhite);
    cv.dial_label("10", sub, 240, 36, 20, kWhite);
    cv.gradient_disc(sub, 5, {sub.x - 1.5, sub.y - 1.5}, rgb(230, 230, 230), rgb(110, 110, 110));
    cv.gradient_disc(c, 7, {c.x - 2, c.y - 2}, rgb(235, 235, 235), rgb(110, 110, 110));
    return cv.flatten();
}

Image clock_counter_hand() {
    Canvas cv(13, 75);
    const Point p = pixel(6, 68);
    cv.polygon({{p.x - 1.5, p.y}, {p.x - 1, 8}, {p.x, 1}, {p.x + 1, 8}, {p.x + 1.5, p.y}}, kWhite);
    cv.gradient_disc(p, 5, {p.x - 1.5, p.y - 1.5}, rgb(240, 240, 240), rgb(120, 120, 120));
    return cv.flatten();
}

Image clock_hour_hand() {
    Canvas cv(54, 131);
    const Point p = pixel(27, 123);
    const double ring_y = 46;
    const Rgb hi = rgb(255, 255, 255), lo = rgb(200, 200, 195);
    cv.gradient_polygon({{p.x - 3, p.y}, {p.x - 3, ring_y + 22}, {p.x + 3, ring_y + 22}, {p.x + 3, p.y}},
                        {p.x - 3, 0}, hi, {p.x + 3, 0}, lo);
    cairo_t* cr = cv.cr();
    cairo_new_path(cr);
    cairo_arc(cr, p.x, ring_y, 24, 0, 2 * kPi);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, p.x, ring_y, 18, 2 * kPi, 0);
    cairo_pattern_t* g = cairo_pattern_create_linear(p.x - 24, 0, p.x + 24, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.75, 0.75, 0.73);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cv.gradient_polygon({{p.x - 5, ring_y - 22}, {p.x, 2}, {p.x + 5, ring_y - 22}}, {p.x - 5, 0}, hi, {p.x + 5, 0},
                        lo);
    cv.gradient_disc(p, 7, {p.x - 2, p.y - 2}, rgb(240, 240, 240), rgb(110, 110, 110));
    return cv.flatten();
}

Image clock_minute_hand() {
    Canvas cv(10, 154);
    const Point p = pixel(4, 148);
    cv.gradient_polygon({{p.x - 2, p.y}, {p.x - 1.2, 10}, {p.x, 1}, {p.x + 1.2, 10}, {p.x + 2, p.y}}, {p.x - 2, 0},
                        rgb(255, 255, 255), {p.x + 2, 0}, rgb(190, 190, 190));
    cv.gradient_disc(p, 4.5, {p.x - 1.5, p.y - 1.5}, rgb(240, 240, 240), rgb(110, 110, 110));
    return cv.flatten();
}

Image clock_seconds_hand() {
    Canvas cv(13, 188);
    const Point p = pixel(6, 148);
    cv.polygon({{p.x - 1.2, p.y}, {p.x - 0.8, 6}, {p.x, 1}, {p.x + 0.8, 6}, {p.x + 1.2, p.y}}, kWhite);
    // Dark tail 40 pixels past the pivot.
    cv.rect(p.x - 2, p.y, 4, 30, rgb(90, 30, 30));
    cv.disc({p.x, 181}, 5.5, rgb(90, 30, 30));
    cv.gradient_disc(p, 6, {p.x - 2, p.y - 2}, rgb(245, 245, 245), rgb(120, 120, 120));
    return cv.flatten();
}

}  // namespace artwork
