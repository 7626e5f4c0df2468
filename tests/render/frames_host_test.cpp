// Scenarios played for drawing: the cruise scenario's steps reach every gauge, and
// one frame is written per step.
#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>
#include <string>

#include "gaugehost.h"
#include "render/error.h"
#include "render/frames.h"
#include "render/host_panel.h"
#include "scenario.h"

namespace gaugehost::render {
namespace {

TEST(ScenarioDrawing, CruiseStepsReachTheGauges) {
    Host host(KEL_GAU_PATH);
    HostPanel panel(host);
    std::vector<double> stopwatch;
    PlayScenario(panel, load_scenario(RENDER_CRUISE_SCENARIO), [&](int, const ScenarioStep&) {
        stopwatch.push_back(panel.gauge("Clock").NeedleRotation(4));
    });
    // The first step's click starts the stopwatch at 36000 s; it then reads 20 and 47.5 s.
    ASSERT_EQ(stopwatch.size(), 3u);
    EXPECT_DOUBLE_EQ(stopwatch[0], 0.0);
    EXPECT_DOUBLE_EQ(stopwatch[1], 20.0 * 6.0);
    EXPECT_DOUBLE_EQ(stopwatch[2], 47.5 * 6.0);
    // The counter comes before the seconds hand in the chain, so it shows the time the
    // previous update computed: 20 s.
    EXPECT_DOUBLE_EQ(panel.gauge("Clock").NeedleRotation(1), 20.0 / 2.5);
    // A few of the cruise values, as drawn.
    EXPECT_DOUBLE_EQ(panel.gauge("COMPASS").NeedleRotation(1), -90.0);
    EXPECT_DOUBLE_EQ(panel.gauge("ADF").NeedleRotation(1), 125.0);
    EXPECT_EQ(panel.gauge("ADF").IconImage(2), 0u) << "a live ADF hides its flag";
    EXPECT_EQ(panel.gauge("DEVIATION").IconImage(3), 0u);
    EXPECT_EQ(panel.gauge("DEVIATION").IconImage(4), 0u);
    EXPECT_LT(panel.gauge("DEVIATION").MovingOffset(2).first, 116.5) << "course bar left of centre";
    EXPECT_GT(panel.gauge("DEVIATION").MovingOffset(1).second, 116.5) << "glide-slope bar below centre";
}

TEST(ScenarioDrawing, WritesOneFramePerStep) {
    const std::filesystem::path dir = std::filesystem::path(RENDER_OUTPUT_DIR) / "cruise_frames";
    std::filesystem::remove_all(dir);
    EXPECT_EQ(WriteFrames(KEL_GAU_PATH, {}, RENDER_CRUISE_SCENARIO, dir.string()), 3);
    for (const char* name : {"frame_001.png", "frame_002.png", "frame_003.png"}) {
        Surface frame(cairo_image_surface_create_from_png((dir / name).string().c_str()));
        ASSERT_EQ(cairo_surface_status(frame.get()), CAIRO_STATUS_SUCCESS) << name;
        EXPECT_EQ(cairo_image_surface_get_width(frame.get()), DefaultPanelLayout().width);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "frame_004.png"));
}

TEST(ScenarioDrawing, AFrameDirectoryThatCannotBeMadeIsReported) {
    const std::filesystem::path file = std::filesystem::path(RENDER_OUTPUT_DIR) / "not_a_directory";
    { std::FILE* f = std::fopen(file.string().c_str(), "w"); if (f) std::fclose(f); }
    EXPECT_THROW(WriteFrames(KEL_GAU_PATH, {}, RENDER_CRUISE_SCENARIO, (file / "frames").string()), RenderError);
}

}  // namespace
}  // namespace gaugehost::render
