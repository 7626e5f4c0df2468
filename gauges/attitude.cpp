// ARTHORIZON and ATTITUDE: horizon sprites, bank pointers and the inclinometer ball.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement ArtHorizonFace = MakeStaticImage(0x1070, &ArtHorizonGauge, nullptr, kDrawBackground);
ElementHeader* ArtHorizonRoot[] = {&ArtHorizonFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList ArtHorizonMouse = MakeHelpOnlyMouseList(0xAB0D);
}  // namespace

KEL_RECORD GaugeHeader ArtHorizonGauge = MakeGaugeHeader("ARTHORIZON", ArtHorizonRoot, ArtHorizonMouse.rects);

namespace {
KEL_RECORD StaticImageElement AttitudeFace = MakeStaticImage(0x1080, &AttitudeGauge, nullptr, kDrawBackground);
ElementHeader* AttitudeRoot[] = {&AttitudeFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList AttitudeMouse = MakeHelpOnlyMouseList(0xAB0D);
}  // namespace

KEL_RECORD GaugeHeader AttitudeGauge = MakeGaugeHeader("ATTITUDE", AttitudeRoot, AttitudeMouse.rects);
