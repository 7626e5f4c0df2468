// The seventeen gauge headers, in gauge-table order.
#pragma once
#include "host/records.h"

extern GaugeHeader AirspeedGauge;     // slot 1: its root is what the shared routines pass
extern GaugeHeader AltimeterGauge;    // slot 2
extern GaugeHeader KohlsmanGauge;     // slot 3
extern GaugeHeader RadaltGauge;       // slot 4
extern GaugeHeader CompassGauge;      // slot 5
extern GaugeHeader HeadingBugGauge;   // slot 6
extern GaugeHeader VsiGauge;          // slot 7
extern GaugeHeader AdfGauge;          // slot 8
extern GaugeHeader DeviationGauge;    // slot 9
extern GaugeHeader ArtHorizonGauge;   // slot 10
extern GaugeHeader AttitudeGauge;     // slot 11
extern GaugeHeader ObsGauge;          // slot 12
extern GaugeHeader RpmGauge;          // slot 13
extern GaugeHeader TorqueGauge;       // slot 14
extern GaugeHeader FuelFlowGauge;     // slot 15
extern GaugeHeader TitGauge;          // slot 16
extern GaugeHeader ClockGauge;        // slot 17
