// What the renderer needs to know of a gauge: its chain of elements as the
// module's records give them (read once), and what one update produced for
// each element (callback results, variable values, text).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/geometry.h"

namespace gaugehost::render {

// element_type values of the module's records.
enum class ElementKind : uint32_t {
    kStaticImage = 0,
    kNeedle = 1,
    kString = 2,
    kIcon = 4,
    kMovingImage = 5,
    kSprite = 6,
};

// draw_flags bits as gaugehost reads them.
//  bit 0 (1): pure black (0,0,0) in the element's bitmap is transparent.
//  bit 1 (2): the bitmap is resampled smoothly (bilinear) wherever it is turned,
//             moved by a fraction of a pixel or scaled; without it gaugehost takes
//             the nearest pixel, so a fixed background stays pixel-exact.
//  bit 2 (4): ignored. gaugehost redraws every frame from the background up, so it
//             has nothing to erase or refresh separately for such an element.
inline constexpr uint32_t kDrawBlackTransparent = 1u << 0;
inline constexpr uint32_t kDrawSmooth = 1u << 1;

struct ElementLayout {
    ElementKind kind = ElementKind::kStaticImage;
    uint32_t resource_id = 0;
    int32_t position_x = 0, position_y = 0;
    int32_t offset_x = 0, offset_y = 0;
    uint32_t draw_flags = 0;

    // needle
    std::vector<ScalePoint> table;  // empty: the result is an angle in degrees
    int32_t max_degrees_per_tick = 0;

    // string
    int32_t box_width = 0, box_height = 0;
    uint32_t fore_color = 0x00FFFFFF, back_color = 0;  // COLORREF 0x00BBGGRR
    std::string font_name = "Arial";
    int32_t font_weight = 400;
    uint32_t text_format = 0;
    uint32_t max_chars = 0;

    // icon
    uint32_t image_count = 0;

    // moving image: axis ranges
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;

    // sprite: the texture's own scale (the inputs' scales are applied by the update)
    float texture_scale_x = 1.0f, texture_scale_y = 1.0f;
};

// A gauge: its name and its chain, root (background) first.
struct GaugeLayout {
    std::string name;
    std::vector<ElementLayout> chain;
};

// What one update gave an element.
//  needle:       value = callback result, or the variable's value without a callback
//  icon:         value = callback result, the image index
//  moving image: value = x callback result, value_y = y callback result
//  sprite:       value, value_y = the shifts (variable x scale) in texture pixels,
//                value_rotation = the turn (variable x scale) in degrees
//  string:       text = the buffer the callback wrote
struct ElementResult {
    double value = 0.0;
    double value_y = 0.0;
    double value_rotation = 0.0;
    std::string text;
};

}  // namespace gaugehost::render
