#include "render/panel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "render/error.h"

namespace gaugehost::render {
namespace {

// Sheet geometry: cells of 440 x 470 pixels under a 60-pixel title band.
constexpr double kCellWidth = 440, kCellHeight = 470, kMargin = 20, kTitleBand = 60;
constexpr double kLabelGap = 24, kLabelSize = 18, kTitleSize = 26;
constexpr uint32_t kSheetColour = 0x2B2F33, kLabelColour = 0xC8CCD0, kTitleColour = 0xE8ECF0;

void SetRgb(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

// Top-left of a gauge of `w` x `h` centred across cell (col, row), `down` pixels into it.
PanelPlacement InCell(const char* gauge, int col, int row, double w, double h, double down = 10,
                      double scale = 1.0) {
    (void)h;
    // Whole pixels: a gauge's bitmaps then land pixel on pixel and copy straight.
    return {gauge, std::floor(kMargin + col * kCellWidth + (kCellWidth - w * scale) / 2.0),
            std::floor(kTitleBand + row * kCellHeight + down), scale};
}

// `text` is UTF-8.
void DrawLabel(cairo_t* cr, const std::string& text, double centre_x, double baseline, double size,
               uint32_t colour) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    SetRgb(cr, colour);
    cairo_move_to(cr, centre_x - ext.x_advance / 2.0, baseline);
    cairo_show_text(cr, text.c_str());
}

}  // namespace

PanelLayout DefaultPanelLayout() {
    PanelLayout p;
    p.width = int(2 * kMargin + 5 * kCellWidth);
    p.height = int(kTitleBand + 3 * kCellHeight + kMargin);
    p.title = "KEL Gauges";
    p.places = {
        // Flight instruments.
        InCell("AIRSPEED", 0, 0, 400, 400),
        InCell("ARTHORIZON", 1, 0, 400, 400),
        InCell("ALTIMETER", 2, 0, 400, 400),
        InCell("RADALT", 3, 0, 400, 400),
        InCell("ATTITUDE", 4, 0, 297, 294, 50),
        // Navigation: the course selector sits under the deviation indicator.
        InCell("ADF", 0, 1, 400, 399),
        InCell("COMPASS", 1, 1, 400, 400),
        InCell("VSI", 2, 1, 400, 400),
        InCell("DEVIATION", 3, 1, 243, 243, 30),
        InCell("OBS", 3, 1, 200, 50, 330),
        InCell("Clock", 4, 1, 400, 400),
        // Engines, and the two knobs drawn twice their size so their turn shows.
        InCell("RPM", 0, 2, 400, 400),
        InCell("TORQUE", 1, 2, 400, 400),
        InCell("FUELFLOW", 2, 2, 400, 400),
        InCell("TIT", 3, 2, 400, 400),
    };
    PanelPlacement kohlsman = InCell("KOHLSMAN", 4, 2, 45, 45, 90, 2.0);
    PanelPlacement heading_bug = InCell("HEADINGBUG", 4, 2, 45, 45, 250, 2.0);
    p.places.push_back(kohlsman);
    p.places.push_back(heading_bug);
    return p;
}

PanelLayout SelectionLayout(const std::vector<std::string>& names,
                            const std::function<std::pair<int, int>(const std::string&)>& size_of) {
    PanelLayout p;
    p.title = "KEL Gauges";
    double x = kMargin, tallest = 0;
    for (const std::string& name : names) {
        const auto [w, h] = size_of(name);
        const double scale = std::max(w, h) < 100 ? 2.0 : 1.0;
        p.places.push_back({name, x, kTitleBand + 10, scale});
        x += std::max(w * scale, 160.0) + kMargin;
        tallest = std::max(tallest, h * scale);
    }
    p.width = int(std::max(x, 400.0));
    p.height = int(kTitleBand + 10 + tallest + kLabelGap + kMargin);
    return p;
}

Surface MakeCanvas(int width, int height) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        throw RenderError("cannot draw on a canvas of " + std::to_string(width) + " x " + std::to_string(height));
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        throw RenderError("cannot create a " + std::to_string(width) + " x " + std::to_string(height) + " canvas");
    return s;
}

void WritePng(cairo_surface_t* surface, const std::string& path) {
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        throw RenderError("cannot write PNG " + path + ": " + cairo_status_to_string(status));
}

Surface DrawGauge(const GaugeRenderer& gauge, double scale) {
    if (!(scale > 0.0) || scale > 16.0)
        throw RenderError("scale " + std::to_string(scale) + " is outside 0 .. 16");
    Surface canvas = MakeCanvas(int(std::ceil(gauge.width() * scale)), int(std::ceil(gauge.height() * scale)));
    cairo_t* cr = cairo_create(canvas.get());
    cairo_scale(cr, scale, scale);
    gauge.Draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(canvas.get());
    return canvas;
}

void DrawPanel(cairo_t* cr, const PanelLayout& layout, const std::vector<const GaugeRenderer*>& gauges,
               const std::string& caption) {
    cairo_save(cr);
    SetRgb(cr, kSheetColour);
    cairo_paint(cr);
    DrawLabel(cr, caption.empty() ? layout.title : layout.title + "  \u2014  " + caption, layout.width / 2.0,
              kTitleBand - 22, kTitleSize, kTitleColour);
    for (const PanelPlacement& place : layout.places) {
        const GaugeRenderer* gauge = nullptr;
        for (const GaugeRenderer* g : gauges)
            if (g && g->layout().name == place.gauge) gauge = g;
        if (!gauge) throw RenderError("panel places gauge \"" + place.gauge + "\", which is not loaded");
        cairo_save(cr);
        cairo_translate(cr, place.x, place.y);
        cairo_scale(cr, place.scale, place.scale);
        gauge->Draw(cr);
        cairo_restore(cr);
        DrawLabel(cr, AnsiToUtf8(place.gauge), place.x + gauge->width() * place.scale / 2.0,
                  place.y + gauge->height() * place.scale + kLabelGap, kLabelSize, kLabelColour);
    }
    cairo_restore(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        throw RenderError(std::string("drawing the panel sheet failed: ") + cairo_status_to_string(cairo_status(cr)));
}

}  // namespace gaugehost::render
