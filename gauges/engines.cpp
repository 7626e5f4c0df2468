// RPM, TORQUE, FUELFLOW and TIT: one needle each, placed by calibration tables.
#include "gauges/gauges.h"

double __stdcall RpmNeedleValue(NeedleElement* needle);
double __stdcall TorqueNeedleValue(NeedleElement* needle);
double __stdcall FuelFlowNeedleValue(NeedleElement* needle);
double __stdcall TitNeedleValue(NeedleElement* needle);

namespace {
// Every engine needle: pivot (200, 200) on the dial, (25, 27) in its bitmap, no turn limit.
constexpr NeedleElement MakeEngineNeedle(uint32_t bitmap, uint32_t token, NonlinearityPoint* table,
                                         uint32_t count, NeedleCallback callback,
                                         GaugeHeader* gauge, ElementHeader** next) {
    return NeedleElement{
        .header = {.element_type = kNeedle, .resource_id = bitmap, .position = {200, 200},
                   .host_10 = {}, .offset = {25, 27}, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = kDrawFlags7,
                   .reserved_34 = 0, .reserved_38 = 0},
        .source_var = {.token = token},
        .host_58 = {},
        .nonlinearity_table = table,
        .nonlinearity_count = count,
        .max_degrees_per_tick = 0,
        .host_7c = {},
        .value_callback = callback,
        .host_e4 = {},
    };
}

extern StaticImageElement RpmFace;
extern NeedleElement RpmNeedle;
extern StaticImageElement RpmOverlay;

ElementHeader* RpmRoot[]           = {&RpmFace.header, nullptr};
ElementHeader* RpmFaceChildren[]   = {&RpmNeedle.header, nullptr};
ElementHeader* RpmNeedleChildren[] = {&RpmOverlay.header, nullptr};

// The 0 point lies straight down, before the printed scale; 500 is the printed 5, 2500 the 25.
KEL_RECORD NonlinearityPoint RpmTable[3] = {
    //  x    y    value
    {199, 399,    0.0, {}},
    {100, 374,  500.0, {}},
    {295, 372, 2500.0, {}},
};

KEL_RECORD StaticImageElement RpmFace =
    MakeStaticImage(0x1090, &RpmGauge, RpmFaceChildren, kDrawBackground);
KEL_RECORD NeedleElement RpmNeedle =
    MakeEngineNeedle(0x1091, 390, RpmTable, 3, RpmNeedleValue, &RpmGauge, RpmNeedleChildren);
// Range arcs, drawn over the needle.
KEL_RECORD StaticImageElement RpmOverlay =
    MakeStaticImage(0x1092, &RpmGauge, nullptr, kDrawFlags3);

KEL_RECORD HelpOnlyMouseList RpmMouse = MakeHelpOnlyMouseList(0xAB58);
}  // namespace

KEL_RECORD GaugeHeader RpmGauge = MakeGaugeHeader("RPM", RpmRoot, RpmMouse.rects);

namespace {
extern StaticImageElement TorqueFace;
extern NeedleElement TorqueNeedle;
extern StaticImageElement TorqueOverlay;

ElementHeader* TorqueRoot[]           = {&TorqueFace.header, nullptr};
ElementHeader* TorqueFaceChildren[]   = {&TorqueNeedle.header, nullptr};
ElementHeader* TorqueNeedleChildren[] = {&TorqueOverlay.header, nullptr};

// 0.0 sits at 9 o'clock (the printed 0.5), 1.0 on the overlay's red mark.
KEL_RECORD NonlinearityPoint TorqueTable[2] = {
    //  x    y   value
    {  0, 200,   0.0, {}},
    {385, 150,   1.0, {}},
};

KEL_RECORD StaticImageElement TorqueFace =
    MakeStaticImage(0x1095, &TorqueGauge, TorqueFaceChildren, kDrawBackground);
KEL_RECORD NeedleElement TorqueNeedle =
    MakeEngineNeedle(0x1096, 558, TorqueTable, 2, TorqueNeedleValue, &TorqueGauge, TorqueNeedleChildren);
KEL_RECORD StaticImageElement TorqueOverlay =
    MakeStaticImage(0x1097, &TorqueGauge, nullptr, kDrawFlags3);

KEL_RECORD HelpOnlyMouseList TorqueMouse = MakeHelpOnlyMouseList(0xAB70);
}  // namespace

KEL_RECORD GaugeHeader TorqueGauge = MakeGaugeHeader("TORQUE", TorqueRoot, TorqueMouse.rects);

namespace {
extern StaticImageElement FuelFlowFace;
extern NeedleElement FuelFlowNeedle;

ElementHeader* FuelFlowRoot[]         = {&FuelFlowFace.header, nullptr};
ElementHeader* FuelFlowFaceChildren[] = {&FuelFlowNeedle.header, nullptr};

KEL_RECORD NonlinearityPoint FuelFlowTable[3] = {
    //  x    y   value
    { 37, 318,   0.0, {}},
    {  3, 224, 110.0, {}},
    {361, 318, 260.0, {}},
};

KEL_RECORD StaticImageElement FuelFlowFace =
    MakeStaticImage(0x109A, &FuelFlowGauge, FuelFlowFaceChildren, kDrawBackground);
// A needle without a hub, so the label disc in the middle stays uncovered.
KEL_RECORD NeedleElement FuelFlowNeedle =
    MakeEngineNeedle(0x109B, 421, FuelFlowTable, 3, FuelFlowNeedleValue, &FuelFlowGauge, nullptr);

KEL_RECORD HelpOnlyMouseList FuelFlowMouse = MakeHelpOnlyMouseList(0xAA26);
}  // namespace

KEL_RECORD GaugeHeader FuelFlowGauge = MakeGaugeHeader("FUELFLOW", FuelFlowRoot, FuelFlowMouse.rects);

namespace {
extern StaticImageElement TitFace;
extern NeedleElement TitNeedle;

ElementHeader* TitRoot[]         = {&TitFace.header, nullptr};
ElementHeader* TitFaceChildren[] = {&TitNeedle.header, nullptr};

// 0 lies below the first printed mark, 130 on it, 800 on the printed 8.
KEL_RECORD NonlinearityPoint TitTable[3] = {
    //  x    y   value
    { 35, 300,   0.0, {}},
    { 17, 240, 130.0, {}},
    {370, 300, 800.0, {}},
};

KEL_RECORD StaticImageElement TitFace =
    MakeStaticImage(0x109C, &TitGauge, TitFaceChildren, kDrawBackground);
KEL_RECORD NeedleElement TitNeedle =
    MakeEngineNeedle(0x109D, 567, TitTable, 3, TitNeedleValue, &TitGauge, nullptr);

KEL_RECORD HelpOnlyMouseList TitMouse = MakeHelpOnlyMouseList(0xAB6F);
}  // namespace

KEL_RECORD GaugeHeader TitGauge = MakeGaugeHeader("TIT", TitRoot, TitMouse.rects);

// Token 390 to the table's scale of 0..2500.
double __stdcall RpmNeedleValue(NeedleElement* needle) { return needle->source_var.value * 5.5; }

// The other three tables take their token's value as it is.
double __stdcall TorqueNeedleValue(NeedleElement* needle) { return needle->source_var.value; }
double __stdcall FuelFlowNeedleValue(NeedleElement* needle) { return needle->source_var.value; }
double __stdcall TitNeedleValue(NeedleElement* needle) { return needle->source_var.value; }
