// COMPASS card with heading bug, and the HEADINGBUG knob; they meet through token 855.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement CompassFace = MakeStaticImage(0x1030, &CompassGauge, nullptr, kDrawBackground);
ElementHeader* CompassRoot[] = {&CompassFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList CompassMouse = MakeHelpOnlyMouseList(0xAB34);
}  // namespace

KEL_RECORD GaugeHeader CompassGauge = MakeGaugeHeader("COMPASS", CompassRoot, CompassMouse.rects);

namespace {
KEL_RECORD StaticImageElement HeadingBugBase = MakeStaticImage(0x1034, &HeadingBugGauge, nullptr, kDrawBackground);
ElementHeader* HeadingBugRoot[] = {&HeadingBugBase.header, nullptr};

// The knob halves send the bug events themselves; x = 22 belongs to neither.
KEL_RECORD MouseRect HeadingBugMouse[] = {
    Parent       ({ 0, 0,  0,  0}, 0xAB34),
    Parent       ({ 0, 0, 38, 18}, 0xAB34),
    EndOfParent  (),
    KeyEventChild({ 0, 0, 22, 45}, kDownArrow, 0x10158),
    KeyEventChild({23, 0, 22, 45}, kUpArrow,   0x10157),
    EndOfParent  (),
    EndOfList    (),
};
}  // namespace

KEL_RECORD GaugeHeader HeadingBugGauge = MakeGaugeHeader("HEADINGBUG", HeadingBugRoot, HeadingBugMouse);
