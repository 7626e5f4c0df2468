// The panel sheet: every gauge of the module at its place on one dark sheet, each
// labelled with its name, and PNG output of gauges and sheets.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "render/renderer.h"

namespace gaugehost::render {

// Where a gauge stands on the sheet: its top-left corner and its drawing scale.
struct PanelPlacement {
    std::string gauge;
    double x = 0, y = 0;
    double scale = 1.0;
};

// The sheet's arrangement of the seventeen gauges: flight instruments on the
// first row, navigation on the second, engines, clock and knobs on the third.
struct PanelLayout {
    int width = 0, height = 0;
    std::string title;
    std::vector<PanelPlacement> places;
};
PanelLayout DefaultPanelLayout();

// A sheet of the named gauges side by side in the given order; `size_of` gives a
// gauge's pixel size. Gauges smaller than 100 pixels are drawn twice their size.
PanelLayout SelectionLayout(const std::vector<std::string>& names,
                            const std::function<std::pair<int, int>(const std::string&)>& size_of);

// Draws the sheet: background, title, and each placed gauge found in `gauges`
// (by name) with its label below it. Throws RenderError if a placed gauge is
// missing from `gauges`.
void DrawPanel(cairo_t* cr, const PanelLayout& layout, const std::vector<const GaugeRenderer*>& gauges,
               const std::string& caption = "");

// An ARGB32 surface of the given size; throws RenderError if Cairo cannot make it.
Surface MakeCanvas(int width, int height);

// Writes `surface` as a PNG file; throws RenderError naming the path on failure.
void WritePng(cairo_surface_t* surface, const std::string& path);

// Draws one gauge alone at `scale` onto a transparent canvas of its scaled size.
Surface DrawGauge(const GaugeRenderer& gauge, double scale);

}  // namespace gaugehost::render
