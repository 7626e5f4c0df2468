// What the host binds to: the import table, the linkage record with the gauge table,
// the two module entries and the library entry point.
#include "gauges/gauges.h"

void __stdcall ModuleInit() {}
void __stdcall ModuleDeinit() {}

extern "C" {

KEL_RECORD ImportTableRecord ImportTable = {{
    {0x0000000F, nullptr},  // the host writes its service table here
    {0, nullptr},
}};

KEL_RECORD LinkageRecord Linkage = {
    .module_id = 0x00000013,
    .module_init = ModuleInit,
    .module_deinit = ModuleDeinit,
    .module_flags = 0,
    .module_priority = 0,
    .module_version = 0x00000900,
    .gauge_table = {
        &AirspeedGauge,     //  1
        &AltimeterGauge,    //  2
        &KohlsmanGauge,     //  3
        &RadaltGauge,       //  4
        &CompassGauge,      //  5
        &HeadingBugGauge,   //  6
        &VsiGauge,          //  7
        &AdfGauge,          //  8
        &DeviationGauge,    //  9
        &ArtHorizonGauge,   // 10
        &AttitudeGauge,     // 11
        &ObsGauge,          // 12
        &RpmGauge,          // 13
        &TorqueGauge,       // 14
        &FuelFlowGauge,     // 15
        &TitGauge,          // 16
        &ClockGauge,        // 17
        nullptr,
    },
};

// Succeeds for every reason code and does nothing else.
int __stdcall DllMain(void* /*instance*/, uint32_t /*reason*/, void* /*reserved*/) { return 1; }

}  // extern "C"
