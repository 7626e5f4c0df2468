// The module as the host sees it, read from emulated memory by the records' byte
// offsets alone: Linkage → gauge headers → element chains, tables and mouse lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "machine.h"

namespace gaugehost {

// Record layouts: offsets the host reads.
namespace layout {
constexpr uint32_t kLinkageGaugeTable = 0x18, kGaugeSlots = 17;
constexpr uint32_t kLinkageInit = 0x04, kLinkageDeinit = 0x08;
constexpr uint32_t kImportServices = 0x04, kServicesId = 0x0F;
constexpr uint32_t kHeaderName = 0x04, kHeaderElements = 0x08, kHeaderRoutines = 0x0C, kHeaderSizeMm = 0x2C,
                   kHeaderMouse = 0x50;
constexpr uint32_t kElemType = 0x00, kElemResource = 0x04, kElemPosition = 0x08, kElemOffset = 0x18,
                   kElemGauge = 0x20, kElemNext = 0x28, kElemDrawFlags = 0x30;
constexpr uint32_t kVarValue = 0x0C;
constexpr uint32_t kNeedleVar = 0x3C, kNeedleTable = 0x70, kNeedleCount = 0x74, kNeedleMaxDeg = 0x78,
                   kNeedleCallback = 0xE0;
constexpr uint32_t kStringVars[3] = {0x3C, 0x58, 0x74};
constexpr uint32_t kStringBuffer = 0xB8, kStringBox = 0xC0, kStringFore = 0xD0, kStringBack = 0xD4,
                   kStringHighlight = 0xD8, kStringFont = 0xF8, kStringWeight = 0x118, kStringCharset = 0x11C,
                   kStringFormat = 0x120, kStringMaxChars = 0x124, kStringCallback = 0x138;
constexpr uint32_t kIconVar = 0x3C, kIconCount = 0x70, kIconCallback = 0x84;
constexpr uint32_t kMovingXVar = 0x3C, kMovingXMin = 0x5C, kMovingXMax = 0x64, kMovingYVar = 0x70, kMovingYMin = 0x90,
                   kMovingYMax = 0x98, kMovingXCallback = 0xF4, kMovingYCallback = 0xF8;
constexpr uint32_t kSpriteXVar = 0x3C, kSpriteXScale = 0x5C, kSpriteYVar = 0x64, kSpriteYScale = 0x84,
                   kSpriteRotVar = 0x8C, kSpriteRotScale = 0xAC, kSpriteTexX = 0xB4, kSpriteTexY = 0xB8;
constexpr uint32_t kPointSize = 24, kMouseRectSize = 44;
}  // namespace layout

enum class ElementKind : uint32_t { Static = 0, Needle = 1, String = 2, Icon = 4, MovingImage = 5, Sprite = 6 };
const char* kind_name(ElementKind kind);

struct ModuleVarModel {
    std::string field;  // "source_var", "x_var", ...
    uint32_t address = 0;
    uint32_t token = 0;
};

struct NonlinearityPointModel {
    int32_t x = 0, y = 0;
    double value = 0.0;
};

struct ElementModel {
    uint32_t address = 0;
    ElementKind kind = ElementKind::Static;
    int parent = -1;  // index in GaugeModel::elements, -1 for a root
    int depth = 0;
    uint32_t resource_id = 0;
    std::array<int32_t, 2> position{}, offset{};
    uint32_t gauge_header = 0;
    uint32_t next_elements = 0;
    uint32_t draw_flags = 0;
    std::vector<ModuleVarModel> vars;  // embedded, in record order
    // needle
    uint32_t nonlinearity_table = 0, nonlinearity_count = 0;
    std::vector<NonlinearityPointModel> points;
    int32_t max_degrees_per_tick = 0;
    uint32_t value_callback = 0;  // needle, string, icon
    // string
    std::array<int32_t, 2> box_size{};
    uint32_t fore_color = 0, back_color = 0, highlight_color = 0;
    std::string font_name;
    int32_t font_weight = 0;
    uint32_t font_charset = 0, text_format = 0, max_chars = 0;
    // icon
    uint32_t image_count = 0;
    // moving image
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    uint32_t x_callback = 0, y_callback = 0;
    // sprite
    double x_scale = 0, y_scale = 0, rotation_scale = 0;
    float texture_scale_x = 0, texture_scale_y = 0;
};

struct MouseRectModel {
    uint32_t address = 0;
    uint32_t rect_type = 0;  // 0 end of list, 1 parent, 2 child, 3 end of parent
    std::array<int32_t, 4> box{};
    int32_t cursor = 0;
    uint32_t help_id = 0, mouse_flags = 0, event_id = 0, mouse_function = 0;
    int depth = 0;  // groups open around this entry
};

struct GaugeModel {
    int slot = 0;  // 1-based slot in the gauge table
    uint32_t header = 0;
    uint32_t header_version = 0;
    std::string name;
    uint32_t element_list = 0;
    std::array<uint32_t, 7> routines{};
    uint32_t size_x_mm = 0;
    uint32_t mouse_rects = 0;
    std::vector<ElementModel> elements;  // depth-first from the root, each after its parent
    std::vector<MouseRectModel> mouse;   // the whole list, end entry included
};

struct ModuleModel {
    uint32_t linkage = 0, import_table = 0;
    uint32_t module_id = 0, module_init = 0, module_deinit = 0, module_version = 0;
    uint32_t services_id = 0;
    std::vector<GaugeModel> gauges;
    const GaugeModel* find(const std::string& name) const;
    std::string gauge_names() const;  // "AIRSPEED, ALTIMETER, ..."
};

// Reads the whole model from memory. Throws Error naming gauge and address for any
// unknown element_type, broken pointer or mouse list that breaks the list grammar.
ModuleModel read_model(const Machine& m, uint32_t linkage, uint32_t import_table);

}  // namespace gaugehost
