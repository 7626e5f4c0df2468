// Flight dials: airspeed, altimeter and its knob, radar altimeter, compass,
// vertical speed and ADF.
#include <cmath>
#include <string>

#include "canvas.h"
#include "pictures.h"

namespace artwork {

// Needle tables as the gauge records hold them; the printed marks are laid
// out from these points so that a table value lands on its own graduation.
const TablePoint kAirspeedTable[18] = {
    {199, 399, 0.0},   {170, 396, 10.0},  {138, 389, 15.0},  {101, 373, 20.0},  {15, 268, 30.0},
    {12, 133, 40.0},   {99, 31, 50.0},    {199, 1, 60.0},    {275, 18, 70.0},   {338, 16, 80.0},
    {379, 124, 90.0},  {399, 201, 100.0}, {389, 251, 110.0}, {368, 301, 120.0}, {338, 340, 130.0},
    {397, 371, 140.0}, {250, 340, 392.0}, {235, 395, 600.0}};
const TablePoint kRadaltTable[2] = {{99, 372, 0.0}, {299, 372, 500.0}};
const TablePoint kVsiTable[9] = {{386, 268, -4.0}, {267, 387, -2.0}, {133, 386, -1.0},
                                 {48, 327, -0.5},  {1, 200, 0.0},    {48, 73, 0.5},
                                 {133, 14, 1.0},   {267, 13, 2.0},   {386, 132, 4.0}};

double table_direction(const TablePoint& p, int pivot_x, int pivot_y) {
    return direction(pivot_x, pivot_y, p.x, p.y);
}

namespace {

const Rgb kGreen = kRangeGreen;
const Rgb kYellow = kRangeYellow;
const Rgb kBlue = kLabelBlue;
const Rgb kHub = rgb(62, 62, 62);
const Rgb kHubRim = rgb(110, 110, 110);

// Angle of `v` along a table, linear between the neighbouring points, with
// the points' directions unwrapped so the scale runs clockwise.
double along(const TablePoint* t, int n, int px, int py, double v, double unwrap_below) {
    auto dir = [&](int i) {
        double d = table_direction(t[i], px, py);
        return d < unwrap_below ? d + 360.0 : d;
    };
    for (int i = 0; i + 1 < n; ++i)
        if (v <= t[i + 1].value || i + 2 == n) {
            const double f = (v - t[i].value) / (t[i + 1].value - t[i].value);
            return dir(i) + f * (dir(i + 1) - dir(i));
        }
    return dir(0);
}

void hub(Canvas& cv, Point p, double r) {
    cv.gradient_disc(p, r, {p.x - r / 3, p.y - r / 3}, rgb(95, 95, 95), rgb(45, 45, 45));
    cv.ring(p, r - 2, r, kHubRim);
}

}  // namespace

Image airspeed_face() {
    Canvas cv(400, 400);
    const Point c = pixel(200, 200);
    cv.disc(c, 199.5, kDialFace);
    auto dir = [&](int i) { return table_direction(kAirspeedTable[i], 200, 200); };
    // Green from 40 to 110 knots, yellow from 110 to 130.
    cv.band(c, dir(5), dir(12), 162, 172, kGreen);
    cv.band(c, dir(12), dir(14), 162, 172, kYellow);
    for (int i = 0; i < 16; ++i) {
        const double v = kAirspeedTable[i].value;
        const bool labelled = std::fmod(v, 20.0) == 0.0;
        cv.tick(c, dir(i), 173, 198, labelled ? 5 : 3.5, kWhite);
        // Five-knot marks halfway between ten-knot points.
        if (i + 1 < 16 && kAirspeedTable[i + 1].value - v == 10.0 && i != 14) {
            double a0 = dir(i), a1 = dir(i + 1);
            if (a1 < a0 - 180) a1 += 360;
            cv.tick(c, (a0 + a1) / 2, 185, 198, 2.5, kWhite);
        }
    }
    // The graduations run on toward the table's last two points.
    cv.tick(c, dir(16), 182, 198, 3, kWhite);
    cv.tick(c, dir(17), 182, 198, 3, kWhite);
    // 120 and 140 stand only 10 degrees apart: set them apart inward.
    const struct {
        int index;
        double radius, turn;
    } labels[] = {{0, 142, 0}, {3, 142, 0}, {5, 140, 0}, {7, 142, 0}, {9, 140, 0}, {11, 140, 0},
                  {13, 134, -3}, {15, 110, 7}};
    for (const auto& l : labels)
        cv.dial_label(std::to_string(int(kAirspeedTable[l.index].value)), c, dir(l.index) + l.turn, l.radius, 30,
                      kWhite);
    cv.text("KNOTS", {200.5, 262}, 24, kWhite);
    return cv.flatten();
}

Image airspeed_needle() {
    Canvas cv(300, 35);
    const Point p = pixel(98, 16);
    // Counterweight with its second disc, reaching left to x = 31.
    cv.polygon({{31, p.y - 4}, {p.x, p.y - 6}, {p.x, p.y + 6}, {31, p.y + 4}}, rgb(70, 70, 70));
    cv.gradient_disc({44, p.y}, 12, {41, p.y - 4}, rgb(110, 110, 110), rgb(50, 50, 50));
    // Pointer from the hub to its tip at x = 270.
    cv.polygon({{p.x, p.y - 4.5}, {240, p.y - 4}, {271, p.y}, {240, p.y + 4}, {p.x, p.y + 4.5}}, kWhite);
    hub(cv, p, 15);
    cv.disc(p, 3.5, rgb(150, 150, 150));
    return cv.flatten();
}

Image altimeter_face() {
    Canvas cv(400, 400);
    const Point c = pixel(200, 200);
    cv.disc(c, 199.5, kDialFace);
    for (int i = 0; i < 50; ++i) {
        const double a = i * 7.2;
        if (i % 5 == 0)
            cv.tick(c, a, 170, 198, 5, kWhite);
        else
            cv.tick(c, a, 184, 198, 2.5, kWhite);
    }
    for (int d = 0; d <= 9; ++d) {
        if (d == 5) continue;  // the pressure window takes its place
        const bool green = d == 1 || d == 3 || d == 7 || d == 9;
        cv.dial_label(std::to_string(d), c, d * 36.0, 142, 44, green ? kGreen : kWhite);
    }
    cv.text("ALT", {200.5, 125}, 30, kWhite);
    cv.text("100 FEET", {200.5, 265}, 16, rgb(200, 200, 200));
    // Framed window for the pressure text box at (135, 320), 130 x 42.
    cv.rect(130, 318, 141, 52, rgb(150, 150, 150));
    cv.rect(133, 320, 135, 47, rgb(8, 8, 8));
    return cv.flatten();
}

Image altimeter_long_hand() {
    Canvas cv(37, 208);
    const Point p = pixel(18, 189);
    cv.polygon({{p.x - 4, p.y}, {p.x - 4, 12}, {p.x, 3}, {p.x + 4, 12}, {p.x + 4, p.y}}, kWhite);
    hub(cv, p, 14);
    cv.disc(p, 3, rgb(150, 150, 150));
    return cv.flatten();
}

Image altimeter_middle_hand() {
    Canvas cv(51, 168);
    const Point p = pixel(25, 148);
    const double ring_y = 33;
    cv.rect(p.x - 2.5, 60, 5, p.y - 60, rgb(90, 90, 90));  // dark lower shaft
    cv.rect(p.x - 2.5, ring_y + 15, 5, 45 - ring_y, kWhite);  // white upper shaft, up to the ring
    cv.ring({p.x, ring_y}, 14, 21, kWhite);
    cv.polygon({{p.x - 4, ring_y - 19}, {p.x, 4}, {p.x + 4, ring_y - 19}}, kWhite);
    hub(cv, p, 13);
    cv.disc(p, 3, rgb(150, 150, 150));
    return cv.flatten();
}

Image altimeter_short_hand() {
    Canvas cv(37, 145);
    const Point p = pixel(18, 127);
    cv.rect(p.x - 3, 70, 6, p.y - 70, rgb(90, 90, 90));
    cv.rect(p.x - 3, 30, 6, 40, kWhite);
    cv.polygon({{p.x - 13, 32}, {p.x, 3}, {p.x + 13, 32}}, kWhite);
    hub(cv, p, 13);
    cv.disc(p, 3, rgb(150, 150, 150));
    return cv.flatten();
}

Image knob() {
    Canvas cv(45, 45);
    const Point c{22.5, 22.5};
    cv.disc(c, 22, rgb(70, 70, 70));
    for (int i = 0; i < 30; ++i) cv.band(c, i * 12.0, i * 12.0 + 6.0, 18, 22, rgb(150, 150, 150));
    cv.gradient_disc(c, 18, {16, 15}, rgb(215, 215, 215), rgb(95, 95, 95));
    cv.gradient_disc(c, 11, {25, 26}, rgb(120, 120, 120), rgb(175, 175, 175));
    // The slot, running diagonally across the centre disc.
    cv.tick(c, 45, -10, 10, 3.5, rgb(35, 35, 35));
    return cv.flatten();
}

Image radalt_face() {
    Canvas cv(400, 400);
    const Point c = pixel(200, 200);
    cv.disc(c, 199.5, kDialFace);
    const double a0 = table_direction(kRadaltTable[0], 200, 200);
    const double a1 = table_direction(kRadaltTable[1], 200, 200) + 360.0;
    auto at = [&](double v) { return a0 + (a1 - a0) * v / 500.0; };
    for (int v = 0; v <= 500; v += 10) {
        if (v % 100 == 0)
            cv.tick(c, at(v), 168, 198, 6, kWhite);
        else if (v % 50 == 0)
            cv.tick(c, at(v), 178, 198, 4, kWhite);
        else
            cv.tick(c, at(v), 187, 198, 2.5, kWhite);
    }
    for (int v = 0; v <= 500; v += 100) cv.dial_label(std::to_string(v), c, at(v), 136, 34, kWhite);
    cv.text("FEET", {200.5, 270}, 30, kBlue);
    cv.text("RADAR ALT", {200.5, 132}, 18, rgb(200, 200, 200));
    return cv.flatten();
}

// The needle shared by the radar altimeter, RPM, torque and TIT dials.
Image hub_needle() {
    Canvas cv(189, 55);
    const Point p = pixel(25, 27);
    cv.polygon({{p.x, p.y - 2}, {175, p.y - 1.5}, {186, p.y}, {175, p.y + 1.5}, {p.x, p.y + 2}}, kWhite);
    hub(cv, p, 24.5);
    cv.disc(p, 5, rgb(140, 140, 140));
    return cv.flatten();
}

Image compass_base() {
    Image img(400, 400, kBlack);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            const double d = std::hypot(x - 199.0, y - 199.0);
            if (d >= 198.5 && d < 199.5) img.at(x, y) = kFaintRing;
        }
    return img;
}

Image compass_card() {
    Canvas cv(400, 400);
    const Point c = pixel(199, 199);
    cv.disc(c, 183, rgb(30, 30, 30));
    for (int a = 0; a < 360; a += 5) {
        if (a % 30 == 0)
            cv.tick(c, a, 152, 181, 4, kWhite);
        else if (a % 10 == 0)
            cv.tick(c, a, 163, 181, 3, kWhite);
        else
            cv.tick(c, a, 171, 181, 2, kWhite);
    }
    static const char* names[] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
    for (int i = 0; i < 12; ++i) {
        const bool cardinal = i % 3 == 0;
        cv.dial_label(names[i], c, i * 30.0, 132, cardinal ? 38 : 30, kWhite, true);
    }
    return cv.flatten();
}

Image heading_bug() {
    Canvas cv(391, 49);
    // A chevron at the right end, its point toward the pivot (195, 24).
    const double cy = 24.5;
    cv.gradient_polygon({{361, cy}, {390, cy - 20}, {390, cy - 10}, {375, cy}, {390, cy + 10}, {390, cy + 20}},
                        {361, cy - 20}, rgb(255, 255, 255), {390, cy + 20}, rgb(175, 175, 185));
    return cv.flatten();
}

Image compass_overlay() {
    Canvas cv(400, 400);
    const Point c = pixel(199, 199);
    for (int i = 0; i < 8; ++i) {
        const double a = i * 45.0;
        const bool big = i % 2 == 0;
        const double half = big ? 13 : 8, r_tip = big ? 167 : 178;
        const Point tip = polar(c, a, r_tip);
        const Point b0 = polar(polar(c, a, 199), a - 90, half);
        const Point b1 = polar(polar(c, a, 199), a + 90, half);
        cv.polygon({tip, b0, b1}, kWhite);
    }
    return cv.flatten();
}

Image vsi_face() {
    Canvas cv(400, 400);
    const Point c = pixel(199, 199);
    cv.disc(c, 199.5, kDialFace);
    // Unwrap below 100 degrees so the climb side runs on past 360.
    auto at = [&](double v) { return along(kVsiTable, 9, 199, 199, v, 100.0); };
    const double minors[] = {0.1, 0.2, 0.3, 0.4, 0.6, 0.7, 0.8, 0.9, 1.25, 1.75, 2.5, 3.5};
    const double mediums[] = {0.5, 1.5, 3.0};
    const double majors[] = {0.0, 1.0, 2.0, 4.0};
    for (double s : {1.0, -1.0}) {
        for (double v : minors) cv.tick(c, at(s * v), 185, 198, 2.5, kWhite);
        for (double v : mediums) cv.tick(c, at(s * v), 176, 198, 4, kWhite);
        for (double v : majors) cv.tick(c, at(s * v), 166, 198, 6, kWhite);
        for (double v : {1.0, 2.0, 4.0}) cv.dial_label(std::to_string(int(v)), c, at(s * v), 138, 40, kWhite);
    }
    cv.dial_label("0", c, at(0.0), 138, 40, kWhite);
    cv.text("UP", {120, 135}, 18, rgb(200, 200, 200));
    cv.text("DN", {120, 265}, 18, rgb(200, 200, 200));
    return cv.flatten();
}

Image vsi_needle() {
    Canvas cv(210, 39);
    const Point p = pixel(19, 19);
    cv.rect(p.x, p.y - 4, 95 - p.x, 8, rgb(80, 80, 80));
    cv.polygon({{95, p.y - 4}, {196, p.y - 4}, {206, p.y}, {196, p.y + 4}, {95, p.y + 4}}, kWhite);
    hub(cv, p, 17);
    cv.disc(p, 4, rgb(140, 140, 140));
    return cv.flatten();
}

Image adf_face() {
    Canvas cv(400, 399);
    const Point c = pixel(199, 199);
    cv.disc(c, 199, kDialFace);
    for (int a = 0; a < 360; a += 5) {
        if (a % 10 == 0)
            cv.tick(c, a, 172, 197, 3.5, kWhite);
        else
            cv.tick(c, a, 184, 197, 2.5, kWhite);
    }
    for (int i = 0; i < 12; ++i) cv.dial_label(std::to_string(i * 3), c, i * 30.0, 146, 34, kWhite, true);
    cv.text("ADF", {199.5, 268}, 30, kBlue);
    // A small fixed aircraft at the centre.
    cv.rect(179.5, 196, 40, 6, rgb(200, 200, 200));
    cv.rect(196.5, 182, 6, 36, rgb(200, 200, 200));
    return cv.flatten();
}

Image adf_needle() {
    Canvas cv(54, 189);
    const Point p = pixel(26, 162);
    cv.rect(p.x - 1.5, 20, 3, p.y - 20, kWhite);
    cv.polygon({{p.x - 7, 24}, {p.x, 2}, {p.x + 7, 24}}, kWhite);
    cv.rect(p.x - 1.5, p.y, 3, 24, kWhite);  // tail
    hub(cv, p, 18);
    cv.disc(p, 4, rgb(140, 140, 140));
    return cv.flatten();
}

}  // namespace artwork
