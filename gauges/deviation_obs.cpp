// DEVIATION: gated course and glide-slope bars with their flags.
// OBS: the three-digit course readout, the course knob and the reciprocal-course button.
#include "gauges/gauges.h"

int32_t __stdcall ReciprocalCourseClick(uint32_t, uint32_t);

namespace {
KEL_RECORD StaticImageElement DeviationFace = MakeStaticImage(0x1060, &DeviationGauge, nullptr, kDrawFlags5);
ElementHeader* DeviationRoot[] = {&DeviationFace.header, nullptr};

// Help areas only, with a wider second parent and a third one over the centre.
KEL_RECORD MouseRect DeviationMouse[] = {
    Parent     ({ 0,  0,   0,  0}, 0xAB73),
    Parent     ({ 0,  0, 100, 80}, 0xAB73),
    EndOfParent(),
    Parent     ({82, 72,  30, 30}, 0xAB73),
    EndOfParent(),
    EndOfParent(),
    EndOfList  (),
};
}  // namespace

KEL_RECORD GaugeHeader DeviationGauge = MakeGaugeHeader("DEVIATION", DeviationRoot, DeviationMouse);

namespace {
KEL_RECORD StaticImageElement ObsFace = MakeStaticImage(0x1069, &ObsGauge, nullptr, kDrawBackground);
ElementHeader* ObsRoot[] = {&ObsFace.header, nullptr};

// Knob halves send the course events; the R button calls the module. x = 175, 176 belong to neither.
KEL_RECORD MouseRect ObsMouse[] = {
    Parent       ({  0, 0,  0,  0}, 0xAB38),
    Parent       ({  0, 0, 38, 18}, 0xAB38),
    EndOfParent  (),
    KeyEventChild({152, 0, 23, 50}, kDownArrow, 0x1007E),
    KeyEventChild({177, 0, 23, 50}, kUpArrow,   0x1007F),
    FunctionChild({  0, 0, 50, 50}, ReciprocalCourseClick),
    EndOfParent  (),
    EndOfList    (),
};
}  // namespace

KEL_RECORD GaugeHeader ObsGauge = MakeGaugeHeader("OBS", ObsRoot, ObsMouse);

int32_t __stdcall ReciprocalCourseClick(uint32_t, uint32_t) { return 1; }
