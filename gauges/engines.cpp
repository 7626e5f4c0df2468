// RPM, TORQUE, FUELFLOW and TIT: one needle each, placed by calibration tables.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement RpmFace = MakeStaticImage(0x1090, &RpmGauge, nullptr, kDrawBackground);
ElementHeader* RpmRoot[] = {&RpmFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList RpmMouse = MakeHelpOnlyMouseList(0xAB58);
}  // namespace

KEL_RECORD GaugeHeader RpmGauge = MakeGaugeHeader("RPM", RpmRoot, RpmMouse.rects);

namespace {
KEL_RECORD StaticImageElement TorqueFace = MakeStaticImage(0x1095, &TorqueGauge, nullptr, kDrawBackground);
ElementHeader* TorqueRoot[] = {&TorqueFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList TorqueMouse = MakeHelpOnlyMouseList(0xAB70);
}  // namespace

KEL_RECORD GaugeHeader TorqueGauge = MakeGaugeHeader("TORQUE", TorqueRoot, TorqueMouse.rects);

namespace {
KEL_RECORD StaticImageElement FuelFlowFace = MakeStaticImage(0x109A, &FuelFlowGauge, nullptr, kDrawBackground);
ElementHeader* FuelFlowRoot[] = {&FuelFlowFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList FuelFlowMouse = MakeHelpOnlyMouseList(0xAA26);
}  // namespace

KEL_RECORD GaugeHeader FuelFlowGauge = MakeGaugeHeader("FUELFLOW", FuelFlowRoot, FuelFlowMouse.rects);

namespace {
KEL_RECORD StaticImageElement TitFace = MakeStaticImage(0x109C, &TitGauge, nullptr, kDrawBackground);
ElementHeader* TitRoot[] = {&TitFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList TitMouse = MakeHelpOnlyMouseList(0xAB6F);
}  // namespace

KEL_RECORD GaugeHeader TitGauge = MakeGaugeHeader("TIT", TitRoot, TitMouse.rects);
