// Draws one gauge as the host shows it: the chain from the background up, every
// element placed in the root bitmap's pixels, needles turned (through their
// calibration tables where they have one) and limited per update, text in its
// box, icons, and masked moving images and sprites. Compositing, transforms,
// clipping and masking are Cairo's.
#pragma once

#include <cairo.h>

#include <span>
#include <vector>

#include "render/bitmaps.h"
#include "render/geometry.h"
#include "render/scene.h"

namespace gaugehost::render {

// DrawText format bits of a string element that gaugehost honours; others are ignored.
inline constexpr uint32_t kTextCentre = 0x01;
inline constexpr uint32_t kTextRight = 0x02;
inline constexpr uint32_t kTextVerticalCentre = 0x04;
inline constexpr uint32_t kTextBottom = 0x08;

// The host's text is in the ANSI code page; Cairo takes UTF-8. Bytes from 0x80 up
// are taken as Latin-1 and control characters are dropped, so no text can put a
// drawing context into an error state.
std::string AnsiToUtf8(const std::string& text);

// Face used for a Windows face name: the metric-compatible Liberation families
// stand in for Arial, Times New Roman and Courier New; other names pass through.
const char* FontFamilyFor(const std::string& windows_face);

class GaugeRenderer {
public:
    // Checks the layout against the bitmaps it names (root a static image, every
    // resource present, masks of the right kind) and throws RenderError naming the
    // gauge and element otherwise. `cache` must outlive the renderer.
    GaugeRenderer(GaugeLayout layout, SurfaceCache& cache);

    const GaugeLayout& layout() const { return layout_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Takes one update's results, one per element of the chain, and moves every
    // needle toward its new angle within its max_degrees_per_tick.
    void Update(std::span<const ElementResult> results);

    // Draws the gauge as of the last update with the root's top-left pixel at the
    // current origin of `cr`, clipped to the root bitmap.
    void Draw(cairo_t* cr) const;

    // A needle's angle as now shown: degrees clockwise from the bitmap as drawn.
    double NeedleRotation(size_t element) const { return state_.at(element).rotation; }
    // Where a tabled needle's target points, degrees clockwise from straight up
    // (unwrapped); for a needle without a table, its result.
    double NeedleTarget(size_t element) const { return state_.at(element).target; }
    // A moving image's placement within its window, pixels from the window's corner.
    std::pair<double, double> MovingOffset(size_t element) const {
        return {state_.at(element).dx, state_.at(element).dy};
    }
    uint32_t IconImage(size_t element) const { return state_.at(element).image; }

private:
    struct ElementState {
        NeedleScale scale;
        NeedleMotion motion;
        double target = 0.0;    // needle: direction (tabled) or angle
        double rotation = 0.0;  // needle and sprite: degrees clockwise as drawn
        double dx = 0.0, dy = 0.0;  // moving image offset in the window; sprite shift
        uint32_t image = 0;     // icon image index
        std::string text;
    };

    void DrawElement(cairo_t* cr, const ElementLayout& e, const ElementState& s) const;
    void DrawText(cairo_t* cr, const ElementLayout& e, const std::string& text) const;
    void DrawMasked(cairo_t* cr, const ElementLayout& e, const ElementState& s) const;

    GaugeLayout layout_;
    SurfaceCache& cache_;
    int width_ = 0, height_ = 0;
    std::vector<ElementState> state_;
    bool updated_ = false;
};

}  // namespace gaugehost::render
