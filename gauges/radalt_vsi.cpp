// RADALT and VSI: single needles whose callbacks scale and clamp before the table.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement RadaltFace = MakeStaticImage(0x1020, &RadaltGauge, nullptr, kDrawBackground);
ElementHeader* RadaltRoot[] = {&RadaltFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList RadaltMouse = MakeHelpOnlyMouseList(0xAA14);
}  // namespace

KEL_RECORD GaugeHeader RadaltGauge = MakeGaugeHeader("RADALT", RadaltRoot, RadaltMouse.rects);

namespace {
KEL_RECORD StaticImageElement VsiFace = MakeStaticImage(0x1040, &VsiGauge, nullptr, kDrawBackground);
ElementHeader* VsiRoot[] = {&VsiFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList VsiMouse = MakeHelpOnlyMouseList(0xAB76);
}  // namespace

KEL_RECORD GaugeHeader VsiGauge = MakeGaugeHeader("VSI", VsiRoot, VsiMouse.rects);
