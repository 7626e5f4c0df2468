// Drawing helpers over Cairo: a canvas that flattens to an RGB image, dial
// geometry in "degrees clockwise from straight up", text in a bold sans.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "artwork.h"

namespace artwork {

constexpr double kPi = 3.14159265358979323846;

struct Point {
    double x, y;
};

// Pixel (x, y)'s centre in Cairo's continuous coordinates.
inline Point pixel(double x, double y) { return {x + 0.5, y + 0.5}; }

// The point at `radius` from `c` in the direction `deg` clockwise from up.
Point polar(Point c, double deg, double radius);

// Direction of pixel `p` seen from pixel `from`, degrees clockwise from up, 0..360.
double direction(double from_x, double from_y, double px, double py);

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void colour(Rgb c, double alpha = 1.0);
    void fill_all(Rgb c);
    void disc(Point c, double r, Rgb fill);
    void ring(Point c, double r_in, double r_out, Rgb fill);
    // A radial bar from r0 to r1 along `deg`, `width` pixels wide.
    void tick(Point c, double deg, double r0, double r1, double width, Rgb fill);
    // A band of the annulus r0..r1 running clockwise from deg0 to deg1.
    void band(Point c, double deg0, double deg1, double r0, double r1, Rgb fill);
    void polygon(const std::vector<Point>& pts, Rgb fill);
    void rect(double x, double y, double w, double h, Rgb fill);
    // Text centred on `at`, turned by `deg` clockwise.
    void text(const std::string& s, Point at, double size, Rgb fill, double deg = 0.0);
    // Text centred at `radius` along `deg` from `c`, upright or turned to read from the centre.
    void dial_label(const std::string& s, Point c, double deg, double radius, double size, Rgb fill,
                    bool turned = false);
    // A disc shaded from `inner` at `focus` to `outer` at its rim.
    void gradient_disc(Point c, double r, Point focus, Rgb inner, Rgb outer);
    // A polygon shaded linearly from `ca` at `a` to `cb` at `b`.
    void gradient_polygon(const std::vector<Point>& pts, Point a, Rgb ca, Point b, Rgb cb);
    // A stroked open path with round ends.
    void stroke(const std::vector<Point>& pts, double width, Rgb c);
    // Fills every pixel whose centre lies within `r` of `c` with exactly `fill`, no smoothing.
    void hard_disc(Point c, double r, Rgb fill);

    // Everything drawn, composited over black. Colours within 3 of black are
    // snapped to `near_black` so smoothing leaves no stray near-black pixels.
    Image flatten(Rgb near_black = kBlack) const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Replaces pixels of `img` inside/outside discs after drawing, for exact windows.
void hard_disc(Image& img, Point c, double r, Rgb fill);

// A uniform pseudo-random stream with a fixed seed, for textures that must repeat.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    double next();  // in [0, 1)
private:
    uint32_t state_;
};

Rgb mix(Rgb a, Rgb b, double t);
Rgb grey(int g);

}  // namespace artwork
