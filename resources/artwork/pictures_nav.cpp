// Warning flags, the deviation indicator, the course selector strip and the
// two attitude indicators.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "canvas.h"
#include "pictures.h"

namespace artwork {
namespace {

const Rgb kFlagRed = kRangeRed;

Image stripes(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = ((x + y) / 7) % 2 ? kWhite : kFlagRed;
    return img;
}

// The curved tube of the inclinometer: flat top at row 1, bottom sagging from
// row 12 at the ends to row 26 in the middle. `x` is a column of the 117-wide mask.
int tube_bottom(int x) {
    const double t = (x - 58.0) / 57.0;
    return int(std::lround(26.0 - 14.0 * t * t));
}

}  // namespace

Image flag_stowed_wide() { return Image(52, 33, kBlack); }
Image flag_stowed_tall() { return Image(33, 52, kBlack); }
Image flag_wide() { return stripes(52, 33); }
Image flag_tall() { return stripes(33, 52); }

Image deviation_face() {
    Canvas cv(243, 243);
    const Point c{121.0, 121.0};
    cv.disc(c, 121.5, kFaintRing);
    for (int k = 1; k <= 4; ++k)
        for (int s : {-1, 1}) {
            cv.disc({c.x + s * 22.0 * k, c.y}, 3.5, kWhite);
            cv.disc({c.x, c.y + s * 22.0 * k}, 3.5, kWhite);
        }
    cv.ring(c, 8, 10.5, kWhite);
    return cv.flatten();
}

Image deviation_bar_wide() {
    static const int shade[10] = {96, 176, 224, 255, 255, 255, 255, 224, 176, 96};
    Image img(243, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 243; ++x) img.at(x, y) = grey(shade[y]);
    return img;
}

Image deviation_bar_tall() {
    const Image wide = deviation_bar_wide();
    Image img(10, 243);
    for (int y = 0; y < 243; ++y)
        for (int x = 0; x < 10; ++x) img.at(x, y) = wide.at(y, x);
    return img;
}

// A window 240 pixels across, centred on the face.
Image deviation_mask() {
    Image img(243, 243, kBlack);
    hard_disc(img, {121.0, 121.0}, 120.0, kWindow);
    return img;
}

Image obs_strip() {
    Canvas cv(200, 50);
    cv.gradient_polygon({{0, 0}, {200, 0}, {200, 50}, {0, 50}}, {0, 0}, rgb(92, 92, 96), {0, 50},
                        rgb(38, 38, 42));
    // Reciprocal button, x 0 to 50.
    cv.gradient_disc({25, 25}, 23, {18, 16}, rgb(120, 120, 125), rgb(30, 30, 34));
    cv.ring({25, 25}, 21.5, 23, rgb(150, 150, 155));
    cv.text("R", {25, 25}, 26, kWhite);
    // Readout window behind the text box at (57, 5), 85 x 39.
    cv.rect(55, 3, 89, 44, rgb(140, 140, 145));
    cv.rect(57, 5, 85, 40, rgb(10, 10, 10));
    cv.rect(84.5, 5, 2, 40, rgb(60, 60, 60));
    cv.rect(112.5, 5, 2, 40, rgb(60, 60, 60));
    // Course knob, x 152 to 200.
    const Point k{176, 25};
    cv.disc(k, 23.5, rgb(60, 60, 64));
    for (int i = 0; i < 24; ++i) cv.band(k, i * 15.0, i * 15.0 + 7.5, 19, 23.5, rgb(160, 160, 165));
    cv.gradient_disc(k, 19, {170, 18}, rgb(210, 210, 215), rgb(70, 70, 75));
    cv.tick(k, 0, 6, 17, 3, kWhite);
    return cv.flatten();
}

// --- Main horizon ---------------------------------------------------------

Image horizon_face() {
    Canvas cv(400, 400);
    const Point c = pixel(199, 199);
    // Bezel ring shaded like brushed metal, then the dark face.
    cv.gradient_disc(c, 199.5, {120, 90}, rgb(150, 150, 155), rgb(30, 30, 34));
    cv.ring(c, 195, 199.5, rgb(70, 70, 75));
    cv.gradient_disc(c, 184, {230, 260}, rgb(40, 40, 44), rgb(22, 22, 24));
    cv.disc(c, 160, kDialFace);
    // Bank scale below the centre: zero at the bottom.
    for (double d : {10.0, 20.0}) {
        cv.tick(c, 180 + d, 163, 172, 3, kWhite);
        cv.tick(c, 180 - d, 163, 172, 3, kWhite);
    }
    for (double d : {30.0, 60.0}) {
        cv.tick(c, 180 + d, 163, 180, 4, kWhite);
        cv.tick(c, 180 - d, 163, 180, 4, kWhite);
    }
    cv.tick(c, 90, 163, 182, 6, kWhite);
    cv.tick(c, 270, 163, 182, 6, kWhite);
    // Zero-bank index, rows 362 to 374, pointing up at the centre.
    cv.polygon({{c.x, 362}, {c.x + 8, 375}, {c.x - 8, 375}}, kWhite);
    return cv.flatten();
}

Image horizon_texture() {
    Image img(256, 512, kBlack);
    auto bar = [&](int y0, int y1, int x0, int x1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) img.at(x, y) = kWhite;
    };
    bar(253, 257, 0, 255);
    const struct {
        int offset, half;
    } marks[] = {{29, 20}, {58, 42}, {88, 20}};
    for (const auto& m : marks)
        for (int s : {-1, 1}) {
            const int y = 255 + s * m.offset;
            bar(y - 1, y + 1, 128 - m.half, 127 + m.half);
        }
    return img;
}

Image horizon_mask() {
    Canvas cv(400, 400);
    cv.hard_disc(pixel(199, 199), 159.5, kWindow);
    const Point c = pixel(199, 199);
    // Fixed aircraft: wing bars with a W-shaped middle and a small circle.
    cv.stroke({{c.x - 105, c.y}, {c.x - 36, c.y}, {c.x - 18, c.y + 18}, {c.x, c.y}, {c.x + 18, c.y + 18},
               {c.x + 36, c.y}, {c.x + 105, c.y}},
              6, kWhite);
    cv.ring(c, 4, 7, kWhite);
    return cv.flatten(kWindow);
}

Image horizon_bank_pointer() {
    Image img(13, 161, kBlack);
    // Rows 130 to 160 narrowing to a point under the pivot column 6.
    for (int y = 130; y <= 160; ++y) {
        const double half = 6.0 * (160 - y) / 30.0;
        for (int x = 0; x < 13; ++x)
            if (std::abs(x - 6) <= half + 0.5) img.at(x, y) = kWhite;
    }
    return img;
}

// --- Second attitude indicator -----------------------------------------------

namespace {

const Point kAttCentre{150.0, 150.0};

void screw(Canvas& cv, Point p, double slot_deg) {
    cv.gradient_disc(p, 9, {p.x - 3, p.y - 3}, rgb(200, 200, 205), rgb(60, 60, 64));
    cv.ring(p, 8, 9, rgb(40, 40, 44));
    cv.tick(p, slot_deg, -7, 7, 2, rgb(35, 35, 38));
}

void attitude_knob(Canvas& cv, Point p, double r) {
    cv.disc(p, r + 1.5, rgb(20, 20, 22));
    cv.disc(p, r, rgb(55, 55, 60));
    for (int i = 0; i < 36; ++i) cv.band(p, i * 10.0, i * 10.0 + 5.0, r - 4, r, rgb(120, 120, 126));
    cv.gradient_disc(p, r - 4, {p.x - r / 3, p.y - r / 3}, rgb(140, 140, 146), rgb(28, 28, 32));
    cv.tick(p, 0, 2, r - 6, 3, rgb(230, 230, 230));
}

// The instrument as photographed: plate, bezel, face, tube, screws, knobs.
std::unique_ptr<Canvas> attitude_front() {
    auto cv = std::make_unique<Canvas>(297, 294);
    cv->gradient_polygon({{0, 0}, {297, 0}, {297, 294}, {0, 294}}, {0, 0}, rgb(88, 88, 92), {297, 294},
                         rgb(26, 26, 30));
    // Bevelled plate edge.
    cairo_t* cr = cv->cr();
    cairo_new_path(cr);
    cairo_rectangle(cr, 2.5, 2.5, 292, 289);
    cairo_set_line_width(cr, 3);
    cv->colour(rgb(120, 120, 126), 0.6);
    cairo_stroke(cr);
    // Bezel ring, lit from the upper left.
    cv->gradient_disc(kAttCentre, 140, {110, 100}, rgb(175, 175, 182), rgb(34, 34, 38));
    cv->ring(kAttCentre, 137, 140, rgb(30, 30, 33));
    cv->gradient_disc(kAttCentre, 121, {185, 195}, rgb(95, 95, 100), rgb(20, 20, 24));
    cv->disc(kAttCentre, 117, rgb(30, 30, 32));
    // Inclinometer glass at (90, 237), under the ball's window.
    std::vector<Point> tube;
    for (int i = 0; i <= 58; ++i) {
        const double t = (i - 29) / 29.0;
        tube.push_back({91 + 115.0 * i / 58.0, 237 + 27.0 - 14.0 * t * t});
    }
    tube.push_back({206, 238});
    tube.push_back({91, 238});
    cairo_new_path(cr);
    for (const auto& p : tube) cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
    cairo_pattern_t* glass = cairo_pattern_create_radial(148.5, 236, 4, 148.5, 236, 62);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.91, 0.93, 0.89);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.58, 0.62, 0.58);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    screw(*cv, {22, 22}, 30);
    screw(*cv, {275, 22}, 110);
    attitude_knob(*cv, {32, 262}, 22);
    attitude_knob(*cv, {265, 262}, 22);
    return cv;
}

// Photographic grain over everything but the black-free rule: never reaches 0.
Image with_grain(Image img, uint32_t seed) {
    Noise n(seed);
    for (auto& p : img.pixels) {
        const int d = int(std::lround((n.next() - 0.5) * 10.0));
        auto ch = [d](int v) { return std::clamp(v + d, 6, 255); };
        p = rgb(ch(red_of(p)), ch(green_of(p)), ch(blue_of(p)));
    }
    return img;
}

}  // namespace

Image attitude_face() {
    auto cv = attitude_front();
    cv->gradient_disc(kAttCentre, 95, {150, 110}, rgb(60, 62, 66), rgb(28, 28, 30));
    return with_grain(cv->flatten(), 0x1080);
}

Image attitude_mask() {
    auto cv = attitude_front();
    cv->gradient_disc(kAttCentre, 95, {150, 110}, rgb(60, 62, 66), rgb(28, 28, 30));
    Image img = with_grain(cv->flatten(), 0x1080);
    // The window: pixels 67 to 233 across and down.
    hard_disc(img, {150.5, 150.5}, 83.4, kWindow);
    return img;
}

Image attitude_texture() {
    Canvas cv(256, 512);
    cv.gradient_polygon({{0, 0}, {256, 0}, {256, 256}, {0, 256}}, {0, 0}, rgb(120, 140, 165), {0, 256},
                        rgb(205, 212, 222));
    cv.gradient_polygon({{0, 256}, {256, 256}, {256, 512}, {0, 512}}, {0, 256}, rgb(84, 62, 40), {0, 512},
                        rgb(38, 28, 18));
    cv.rect(0, 254.5, 256, 3, kWhite);
    // Rungs every 5 degrees, about 11.5 pixels; long ones every 10.
    for (int k = 1; k <= 8; ++k)
        for (int s : {-1, 1}) {
            const double y = 256 + s * 11.5 * k;
            const double half = (k % 2 == 0) ? 30 : 14;
            cv.rect(128 - half, y - 1, 2 * half, 2, kWhite);
            if (k == 6) {
                cv.text("3 0", {128 - half - 16, y}, 11, kWhite);
                cv.text("3 0", {128 + half + 16, y}, 11, kWhite);
            }
        }
    return cv.flatten();
}

Image attitude_overlay() {
    Canvas cv(297, 294);
    const Point c = pixel(149, 149);
    // Bank scale at the bottom, read against the pointer.
    for (double d : {10.0, 20.0}) {
        cv.tick(c, 180 + d, 78, 86, 2.5, kWhite);
        cv.tick(c, 180 - d, 78, 86, 2.5, kWhite);
    }
    for (double d : {30.0, 60.0, 90.0}) {
        cv.tick(c, 180 + d, 76, 90, 3.5, kWhite);
        cv.tick(c, 180 - d, 76, 90, 3.5, kWhite);
    }
    // Index triangle, rows 224 to 238, pointing up.
    cv.gradient_polygon({{c.x, 224}, {c.x + 7, 238.5}, {c.x - 7, 238.5}}, {0, 224}, kWhite, {0, 239},
                        rgb(200, 200, 200));
    // W-shaped aircraft symbol with side marks.
    const Rgb hi = rgb(255, 250, 235), lo = rgb(190, 182, 160);
    auto bar = [&](std::vector<Point> pts) { cv.gradient_polygon(pts, {0, c.y - 3}, hi, {0, c.y + 14}, lo); };
    bar({{c.x - 58, c.y - 2}, {c.x - 24, c.y - 2}, {c.x - 12, c.y + 10}, {c.x, c.y - 2}, {c.x + 12, c.y + 10},
         {c.x + 24, c.y - 2}, {c.x + 58, c.y - 2}, {c.x + 58, c.y + 2}, {c.x + 26, c.y + 2},
         {c.x + 12, c.y + 16}, {c.x, c.y + 4}, {c.x - 12, c.y + 16}, {c.x - 26, c.y + 2}, {c.x - 58, c.y + 2}});
    cv.disc(c, 3, hi);
    bar({{c.x - 82, c.y - 1.5}, {c.x - 68, c.y - 1.5}, {c.x - 68, c.y + 1.5}, {c.x - 82, c.y + 1.5}});
    bar({{c.x + 68, c.y - 1.5}, {c.x + 82, c.y - 1.5}, {c.x + 82, c.y + 1.5}, {c.x + 68, c.y + 1.5}});
    return cv.flatten();
}

Image attitude_bank_pointer() {
    Canvas cv(9, 153);
    cv.gradient_polygon({{0, 135}, {9, 135}, {4.5, 152}}, {0, 135}, rgb(255, 250, 230), {0, 152},
                        rgb(180, 170, 140));
    return cv.flatten();
}

Image inclinometer_ball() {
    Canvas cv(15, 22);
    const Point c{7.5, 14.5};
    cv.gradient_disc(c, 7.3, {5.5, 12}, rgb(120, 120, 128), rgb(12, 12, 14));
    return cv.flatten();
}

Image inclinometer_mask() {
    Image img(117, 28, kBlack);
    for (int x = 1; x <= 115; ++x)
        for (int y = 1; y <= tube_bottom(x); ++y)
            img.at(x, y) = (x >= 46 && x <= 48) || (x >= 66 && x <= 68) ? kCentreLine : kWindow;
    return img;
}

}  // namespace artwork
