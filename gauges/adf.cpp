// ADF: bearing needle parked at 90 degrees without signal, and its warning flag.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement AdfFace = MakeStaticImage(0x1050, &AdfGauge, nullptr, kDrawBackground);
ElementHeader* AdfRoot[] = {&AdfFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList AdfMouse = MakeHelpOnlyMouseList(0xA718);
}  // namespace

KEL_RECORD GaugeHeader AdfGauge = MakeGaugeHeader("ADF", AdfRoot, AdfMouse.rects);
