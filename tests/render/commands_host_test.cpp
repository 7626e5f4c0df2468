// The drawing subcommands' work: a gauge or the sheet written as PNG, and their
// failures reported in one line.
#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>
#include <string>

#include "render/commands.h"
#include "render/error.h"
#include "render/panel.h"

namespace gaugehost::render {
namespace {

const std::string kOut = RENDER_OUTPUT_DIR;

struct RenderCase {
    std::string gauge;
    double scale;
    int width, height;
};

TEST(RenderCommand, WritesTheGaugeAtItsScaledSize) {
    const RenderCase cases[] = {{"ADF", 1.0, 400, 399}, {"OBS", 2.0, 400, 100}, {"KOHLSMAN", 3.0, 135, 135}};
    for (const RenderCase& c : cases) {
        SCOPED_TRACE(c.gauge);
        RenderRequest r;
        r.module = KEL_GAU_PATH;
        r.gauge = c.gauge;
        r.scale = c.scale;
        r.output = kOut + "/render_" + c.gauge + ".png";
        RenderGauge(r);
        Surface png(cairo_image_surface_create_from_png(r.output.c_str()));
        ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_width(png.get()), c.width);
        EXPECT_EQ(cairo_image_surface_get_height(png.get()), c.height);
    }
}

TEST(RenderCommand, ReportsWhatWasWrong) {
    RenderRequest unknown;
    unknown.module = KEL_GAU_PATH;
    unknown.gauge = "FLUXCAPACITOR";
    unknown.output = kOut + "/x.png";
    try {
        RenderGauge(unknown);
        FAIL() << "unknown gauge accepted";
    } catch (const RenderError& e) {
        EXPECT_NE(std::string(e.what()).find("AIRSPEED"), std::string::npos) << "lists the gauges: " << e.what();
    }
    RenderRequest bad_scale = unknown;
    bad_scale.gauge = "ADF";
    bad_scale.scale = 0.0;
    EXPECT_THROW(RenderGauge(bad_scale), RenderError);
    RenderRequest unwritable = unknown;
    unwritable.gauge = "ADF";
    unwritable.output = kOut + "/no/such/dir/x.png";
    EXPECT_THROW(RenderGauge(unwritable), RenderError);
    PanelRequest no_output;
    no_output.module = KEL_GAU_PATH;
    EXPECT_THROW(RenderPanel(no_output), RenderError);
}

TEST(PanelCommand, WritesTheWholeSheet) {
    PanelRequest r;
    r.module = KEL_GAU_PATH;
    r.sets = {{61, 120.0}};
    r.output = kOut + "/panel.png";
    RenderPanel(r);
    Surface png(cairo_image_surface_create_from_png(r.output.c_str()));
    ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png.get()), DefaultPanelLayout().width);
    EXPECT_EQ(cairo_image_surface_get_height(png.get()), DefaultPanelLayout().height);
}

}  // namespace
}  // namespace gaugehost::render
