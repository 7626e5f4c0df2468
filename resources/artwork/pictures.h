// One drawing routine per distinct picture of the catalogue.
#pragma once

#include "artwork.h"

namespace artwork {

// Calibration point of a needle table, as the gauge records give it.
struct TablePoint {
    int x, y;
    double value;
};

// Direction of a table point seen from the needle's pivot, clockwise from up.
double table_direction(const TablePoint& p, int pivot_x, int pivot_y);

// Airspeed, altimeter, knob, radar altimeter, compass, vertical speed, ADF.
Image airspeed_face();
Image airspeed_needle();
Image altimeter_face();
Image altimeter_long_hand();
Image altimeter_middle_hand();
Image altimeter_short_hand();
Image knob();
Image radalt_face();
Image hub_needle();
Image compass_base();
Image compass_card();
Image heading_bug();
Image compass_overlay();
Image vsi_face();
Image vsi_needle();
Image adf_face();
Image adf_needle();

// Flags, deviation, course selector, attitude indicators.
Image flag_stowed_wide();
Image flag_stowed_tall();
Image flag_wide();
Image flag_tall();
Image deviation_face();
Image deviation_bar_wide();
Image deviation_bar_tall();
Image deviation_mask();
Image obs_strip();
Image horizon_face();
Image horizon_texture();
Image horizon_mask();
Image horizon_bank_pointer();
Image attitude_face();
Image attitude_texture();
Image attitude_mask();
Image attitude_overlay();
Image attitude_bank_pointer();
Image inclinometer_ball();
Image inclinometer_mask();

// Engine dials and the clock.
Image rpm_face();
Image rpm_overlay();
Image torque_face();
Image torque_overlay();
Image fuelflow_face();
Image fuelflow_needle();
Image tit_face();
Image clock_face();
Image clock_counter_hand();
Image clock_hour_hand();
Image clock_minute_hand();
Image clock_seconds_hand();

// Calibration tables the printed scales are laid out from.
extern const TablePoint kAirspeedTable[18];
extern const TablePoint kRadaltTable[2];
extern const TablePoint kVsiTable[9];
extern const TablePoint kRpmTable[3];
extern const TablePoint kTorqueTable[2];
extern const TablePoint kFuelFlowTable[3];
extern const TablePoint kTitTable[3];

}  // namespace artwork
