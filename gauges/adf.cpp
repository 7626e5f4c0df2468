// ADF: bearing needle parked at 90 degrees without signal, and its warning flag.
#include "gauges/gauges.h"

double __stdcall AdfNeedleValue(NeedleElement* needle);
double __stdcall AdfFlagValue(IconElement* flag);

namespace {
extern StaticImageElement AdfFace;
extern NeedleElement AdfNeedle;
extern IconElement AdfFlag;

ElementHeader* AdfRoot[]           = {&AdfFace.header, nullptr};
ElementHeader* AdfFaceChildren[]   = {&AdfNeedle.header, nullptr};
ElementHeader* AdfNeedleChildren[] = {&AdfFlag.header, nullptr};

KEL_RECORD StaticImageElement AdfFace =
    MakeStaticImage(0x1050, &AdfGauge, AdfFaceChildren, kDrawBackground);

// Drawn pointing up; the callback's result is its angle in degrees, at most 6 per update.
KEL_RECORD NeedleElement AdfNeedle = {
    .header = {.element_type = kNeedle, .resource_id = 0x1051, .position = {199, 199},
               .offset = {26, 162}, .gauge_header = &AdfGauge, .next_elements = AdfNeedleChildren,
               .draw_flags = kDrawFlags7},
    .source_var = {.token = 39},
    .nonlinearity_table = nullptr,
    .nonlinearity_count = 0,
    .max_degrees_per_tick = 6,
    .value_callback = AdfNeedleValue,
};

// Image 0 (0x1052) is the stowed flag, image 1 (0x1053) the striped one. Token 0: its own
// variable is never read, the picture follows the needle's gate.
KEL_RECORD IconElement AdfFlag = {
    .header = {.element_type = kIcon, .resource_id = 0x1052, .position = {350, 180},
               .offset = {0, 0}, .gauge_header = &AdfGauge, .next_elements = nullptr,
               .draw_flags = kDrawFlags7},
    .source_var = {.token = 0},
    .image_count = 2,
    .value_callback = AdfFlagValue,
};

// Standalone variables, refreshed by the needle's callback through LookupVar. The heading
// is a record of its own, apart from the compass's record for the same token.
KEL_RECORD ModuleVar AdfGateVar    = {.token = 20};
KEL_RECORD ModuleVar AdfHeadingVar = {.token = 81};

// 1 while the needle is parked; one flag for every ADF instance, never reset while loaded.
int32_t AdfParked = 0;

KEL_RECORD HelpOnlyMouseList AdfMouse = MakeHelpOnlyMouseList(0xA718);
}  // namespace

KEL_RECORD GaugeHeader AdfGauge = MakeGaugeHeader("ADF", AdfRoot, AdfMouse.rects);

// Below 256 on the gate the needle parks at 90 degrees (at the flag) and the heading is not
// looked up; from 256 up it points at heading + relative bearing, never wrapped.
double __stdcall AdfNeedleValue(NeedleElement* needle) {
    Services()->LookupVar(&AdfGateVar);
    if (AdfGateVar.value < 256.0) {
        AdfParked = 1;
        return 90.0;
    }
    AdfParked = 0;
    Services()->LookupVar(&AdfHeadingVar);
    return AdfHeadingVar.value + needle->source_var.value;
}

// The flag shows exactly while the needle's last call parked it.
double __stdcall AdfFlagValue(IconElement*) { return static_cast<double>(AdfParked); }
