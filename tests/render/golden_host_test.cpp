// The cruise sheet compared with its golden image. After an intended change of
// artwork or drawing, regenerate the golden PNG with
//   KEL_REGENERATE_GOLDEN=1 build/tests/render/render_tests --gtest_filter='GoldenPanel*'
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <string>

#include "gaugehost.h"
#include "render/frames.h"
#include "render/host_panel.h"
#include "render/panel.h"

namespace gaugehost::render {
namespace {

const std::string kGolden = std::string(RENDER_GOLDEN_DIR) + "/cruise_panel.png";
const std::string kActual = std::string(RENDER_OUTPUT_DIR) + "/cruise_panel_actual.png";

struct Difference {
    long differing = 0;  // pixels whose channels differ by more than the tolerance
    double mean = 0.0;   // mean absolute channel difference
};

Difference Compare(cairo_surface_t* a, cairo_surface_t* b, int tolerance) {
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    const int sa = cairo_image_surface_get_stride(a), sb = cairo_image_surface_get_stride(b);
    const unsigned char* da = cairo_image_surface_get_data(a);
    const unsigned char* db = cairo_image_surface_get_data(b);
    Difference d;
    double total = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int worst = 0;
            for (int c = 0; c < 4; ++c) {
                const int diff = std::abs(int(da[y * sa + 4 * x + c]) - int(db[y * sb + 4 * x + c]));
                worst = std::max(worst, diff);
                total += diff;
            }
            d.differing += worst > tolerance;
        }
    d.mean = total / (4.0 * w * h);
    return d;
}

TEST(GoldenPanel, CruiseSheetMatchesItsGoldenImage) {
    Host host(KEL_GAU_PATH);
    HostPanel panel(host);
    // The sheet exactly as `gaugehost panel KEL.gau --scenario scenarios/cruise.json` draws it.
    std::string caption;
    PlayScenario(panel, load_scenario(RENDER_CRUISE_SCENARIO), [&](int number, const ScenarioStep& step) {
        caption = StepCaption(RENDER_CRUISE_SCENARIO, number, step);
    });
    Surface sheet = panel.DrawSheet(caption);

    if (std::getenv("KEL_REGENERATE_GOLDEN")) {
        WritePng(sheet.get(), kGolden);
        GTEST_SKIP() << "golden image regenerated: " << kGolden;
    }
    Surface golden(cairo_image_surface_create_from_png(kGolden.c_str()));
    ASSERT_EQ(cairo_surface_status(golden.get()), CAIRO_STATUS_SUCCESS) << "cannot read " << kGolden;
    ASSERT_EQ(cairo_image_surface_get_width(golden.get()), cairo_image_surface_get_width(sheet.get()));
    ASSERT_EQ(cairo_image_surface_get_height(golden.get()), cairo_image_surface_get_height(sheet.get()));

    // Small differences of font rasterising and rounding are allowed; a moved needle,
    // a missing flag or a wrong text is not.
    const Difference d = Compare(sheet.get(), golden.get(), 40);
    const long pixels = long(cairo_image_surface_get_width(golden.get())) * cairo_image_surface_get_height(golden.get());
    const long allowed = pixels / 20000;  // about 170 pixels of the 2240 x 1490 sheet
    if (d.differing > allowed || d.mean > 0.2) WritePng(sheet.get(), kActual);
    const char* hint = "; if the change is intended, regenerate with KEL_REGENERATE_GOLDEN=1";
    EXPECT_LE(d.differing, allowed) << "see " << kActual << hint;
    EXPECT_LE(d.mean, 0.2) << "see " << kActual << hint;
}

}  // namespace
}  // namespace gaugehost::render
