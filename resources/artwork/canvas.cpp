#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace artwork {
namespace {

// Bold sans from fonts-liberation, read by path so no font lookup can vary.
constexpr const char* kFontPath = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";

cairo_font_face_t* bold_sans() {
    static cairo_font_face_t* face = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("cannot start FreeType");
        FT_Face ft = nullptr;
        if (FT_New_Face(lib, kFontPath, 0, &ft) != 0)
            throw std::runtime_error(std::string("cannot open font ") + kFontPath);
        return cairo_ft_font_face_create_for_ft_face(ft, 0);
    }();
    return face;
}

double rad(double deg_from_up) { return (deg_from_up - 90.0) * kPi / 180.0; }

}  // namespace

Point polar(Point c, double deg, double radius) {
    const double a = deg * kPi / 180.0;
    return {c.x + radius * std::sin(a), c.y - radius * std::cos(a)};
}

double direction(double from_x, double from_y, double px, double py) {
    double d = std::atan2(px - from_x, from_y - py) * 180.0 / kPi;
    if (d < 0) d += 360.0;
    return d;
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr_ = cairo_create(surface_);
    cairo_set_font_face(cr_, bold_sans());
    cairo_font_options_t* opt = cairo_font_options_create();
    cairo_font_options_set_antialias(opt, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr_, opt);
    cairo_font_options_destroy(opt);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::colour(Rgb c, double alpha) {
    cairo_set_source_rgba(cr_, red_of(c) / 255.0, green_of(c) / 255.0, blue_of(c) / 255.0, alpha);
}

void Canvas::fill_all(Rgb c) {
    colour(c);
    cairo_paint(cr_);
}

void Canvas::disc(Point c, double r, Rgb fill) {
    cairo_new_path(cr_);
    cairo_arc(cr_, c.x, c.y, r, 0, 2 * kPi);
    colour(fill);
    cairo_fill(cr_);
}

void Canvas::ring(Point c, double r_in, double r_out, Rgb fill) {
    cairo_new_path(cr_);
    cairo_arc(cr_, c.x, c.y, r_out, 0, 2 * kPi);
    cairo_new_sub_path(cr_);
    cairo_arc_negative(cr_, c.x, c.y, r_in, 2 * kPi, 0);
    colour(fill);
    cairo_fill(cr_);
}

void Canvas::tick(Point c, double deg, double r0, double r1, double width, Rgb fill) {
    const double a = deg * kPi / 180.0;
    const double ux = std::sin(a), uy = -std::cos(a);  // outward
    const double vx = -uy * width / 2, vy = ux * width / 2;
    polygon({{c.x + ux * r0 + vx, c.y + uy * r0 + vy},
             {c.x + ux * r1 + vx, c.y + uy * r1 + vy},
             {c.x + ux * r1 - vx, c.y + uy * r1 - vy},
             {c.x + ux * r0 - vx, c.y + uy * r0 - vy}},
            fill);
}

void Canvas::band(Point c, double deg0, double deg1, double r0, double r1, Rgb fill) {
    while (deg1 < deg0) deg1 += 360.0;
    cairo_new_path(cr_);
    cairo_arc(cr_, c.x, c.y, r1, rad(deg0), rad(deg1));
    cairo_arc_negative(cr_, c.x, c.y, r0, rad(deg1), rad(deg0));
    cairo_close_path(cr_);
    colour(fill);
    cairo_fill(cr_);
}

void Canvas::polygon(const std::vector<Point>& pts, Rgb fill) {
    cairo_new_path(cr_);
    for (const auto& p : pts) cairo_line_to(cr_, p.x, p.y);
    cairo_close_path(cr_);
    colour(fill);
    cairo_fill(cr_);
}

void Canvas::gradient_disc(Point c, double r, Point focus, Rgb inner, Rgb outer) {
    cairo_pattern_t* p = cairo_pattern_create_radial(focus.x, focus.y, 0, c.x, c.y, r);
    cairo_pattern_add_color_stop_rgb(p, 0, red_of(inner) / 255.0, green_of(inner) / 255.0, blue_of(inner) / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, red_of(outer) / 255.0, green_of(outer) / 255.0, blue_of(outer) / 255.0);
    cairo_new_path(cr_);
    cairo_arc(cr_, c.x, c.y, r, 0, 2 * kPi);
    cairo_set_source(cr_, p);
    cairo_fill(cr_);
    cairo_pattern_destroy(p);
}

void Canvas::gradient_polygon(const std::vector<Point>& pts, Point a, Rgb ca, Point b, Rgb cb) {
    cairo_pattern_t* p = cairo_pattern_create_linear(a.x, a.y, b.x, b.y);
    cairo_pattern_add_color_stop_rgb(p, 0, red_of(ca) / 255.0, green_of(ca) / 255.0, blue_of(ca) / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, red_of(cb) / 255.0, green_of(cb) / 255.0, blue_of(cb) / 255.0);
    cairo_new_path(cr_);
    for (const auto& q : pts) cairo_line_to(cr_, q.x, q.y);
    cairo_close_path(cr_);
    cairo_set_source(cr_, p);
    cairo_fill(cr_);
    cairo_pattern_destroy(p);
}

void Canvas::stroke(const std::vector<Point>& pts, double width, Rgb c) {
    cairo_new_path(cr_);
    for (const auto& q : pts) cairo_line_to(cr_, q.x, q.y);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    colour(c);
    cairo_stroke(cr_);
}

void Canvas::rect(double x, double y, double w, double h, Rgb fill) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, w, h);
    colour(fill);
    cairo_fill(cr_);
}

void Canvas::text(const std::string& s, Point at, double size, Rgb fill, double deg) {
    cairo_save(cr_);
    cairo_set_font_size(cr_, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr_, s.c_str(), &ext);
    cairo_translate(cr_, at.x, at.y);
    cairo_rotate(cr_, deg * kPi / 180.0);
    cairo_new_path(cr_);
    cairo_move_to(cr_, -ext.x_bearing - ext.width / 2, -ext.y_bearing - ext.height / 2);
    cairo_text_path(cr_, s.c_str());
    colour(fill);
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void Canvas::dial_label(const std::string& s, Point c, double deg, double radius, double size, Rgb fill,
                        bool turned) {
    text(s, polar(c, deg, radius), size, fill, turned ? deg : 0.0);
}

void Canvas::hard_disc(Point c, double r, Rgb fill) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const double dx = x + 0.5 - c.x, dy = y + 0.5 - c.y;
            if (dx * dx + dy * dy <= r * r)
                *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = 0xFF000000u | fill;
        }
    cairo_surface_mark_dirty(surface_);
}

Image Canvas::flatten(Rgb near_black) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    Image img(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            // Premultiplied ARGB: the colour channels already are "over black".
            const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
            Rgb c = p & 0xFFFFFF;
            if (std::max({red_of(c), green_of(c), blue_of(c)}) <= 3) c = (c == kBlack) ? kBlack : near_black;
            img.at(x, y) = c;
        }
    return img;
}

void hard_disc(Image& img, Point c, double r, Rgb fill) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const double dx = x + 0.5 - c.x, dy = y + 0.5 - c.y;
            if (dx * dx + dy * dy <= r * r) img.at(x, y) = fill;
        }
}

double Noise::next() {
    // xorshift32: fixed seed, same stream on every run and machine.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ & 0xFFFFFF) / double(0x1000000);
}

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return rgb(m(red_of(a), red_of(b)), m(green_of(a), green_of(b)), m(blue_of(a), blue_of(b)));
}

Rgb grey(int g) { return rgb(g, g, g); }

}  // namespace artwork
