// AIRSPEED: a dial in knots with one needle placed entirely by its calibration table.
#include "gauges/gauges.h"

double __stdcall AirspeedNeedleValue(NeedleElement* needle);

namespace {
extern StaticImageElement AirspeedDial;
extern NeedleElement AirspeedNeedle;

ElementHeader* AirspeedRoot[]        = {&AirspeedDial.header, nullptr};
ElementHeader* AirspeedDialChildren[] = {&AirspeedNeedle.header, nullptr};

// Dial points as seen from the pivot (200, 200); the 140 point lies anticlockwise of 130.
KEL_RECORD NonlinearityPoint AirspeedTable[18] = {
    //  x    y   value
    {199, 399,   0.0, {}},
    {170, 396,  10.0, {}},
    {138, 389,  15.0, {}},
    {101, 373,  20.0, {}},
    { 15, 268,  30.0, {}},
    { 12, 133,  40.0, {}},
    { 99,  31,  50.0, {}},
    {199,   1,  60.0, {}},
    {275,  18,  70.0, {}},
    {338,  16,  80.0, {}},
    {379, 124,  90.0, {}},
    {399, 201, 100.0, {}},
    {389, 251, 110.0, {}},
    {368, 301, 120.0, {}},
    {338, 340, 130.0, {}},
    {397, 371, 140.0, {}},
    {250, 340, 392.0, {}},
    {235, 395, 600.0, {}},
};

KEL_RECORD StaticImageElement AirspeedDial =
    MakeStaticImage(0x1000, &AirspeedGauge, AirspeedDialChildren, kDrawBackground);

KEL_RECORD NeedleElement AirspeedNeedle = {
    .header = {.element_type = kNeedle, .resource_id = 0x1001, .position = {200, 200},
               .offset = {98, 16}, .gauge_header = &AirspeedGauge, .next_elements = nullptr,
               .draw_flags = kDrawFlags7},
    .source_var = {.token = 61},
    .nonlinearity_table = AirspeedTable,
    .nonlinearity_count = 18,
    .max_degrees_per_tick = 0,
    .value_callback = AirspeedNeedleValue,
};

KEL_RECORD HelpOnlyMouseList AirspeedMouse = MakeHelpOnlyMouseList(0xAB02);
}  // namespace

KEL_RECORD GaugeHeader AirspeedGauge = MakeGaugeHeader("AIRSPEED", AirspeedRoot, AirspeedMouse.rects);

// The table does all the placing: the speed goes through untouched.
double __stdcall AirspeedNeedleValue(NeedleElement* needle) { return needle->source_var.value; }
