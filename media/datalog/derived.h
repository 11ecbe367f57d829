#pragma once
// Derived channels over the kept samples: speed, heading, accelerations,
// distance and gear where a role has no column, and the custom channels.
#include <vector>

#include "model/input_records.h"
#include "media/datalog/datalog_record.h"

// Speed (m/s) from positions by central differences.
std::vector<double> DeriveSpeed(const std::vector<double>& t, const std::vector<double>& x,
                                const std::vector<double>& y, bool geographic);
// Heading (degrees) from positions; held while standing still.
std::vector<double> DeriveHeading(const std::vector<double>& x, const std::vector<double>& y,
                                  bool geographic);
// Lateral acceleration (g, positive turning right) from speed (m/s) and
// heading; longitudinal acceleration (g) from speed (m/s).
std::vector<double> DeriveLateralG(const std::vector<double>& t, const std::vector<double>& speedMs,
                                   const std::vector<double>& heading);
std::vector<double> DeriveLongitudinalG(const std::vector<double>& t,
                                        const std::vector<double>& speedMs);
// Cumulative distance (metres) along positions, or by integrating speed.
std::vector<double> DeriveDistance(const std::vector<double>& x, const std::vector<double>& y,
                                   bool geographic);
std::vector<double> IntegrateSpeed(const std::vector<double>& t,
                                   const std::vector<double>& speedMs);
// Gear 1..n from clusters of the engine-speed to speed ratio (highest
// ratio = first gear); 0 while stopped or declutched.
std::vector<double> DeriveGear(const std::vector<double>& speed, const std::vector<double>& rpm);
// Centred moving average over `width` samples (odd).
std::vector<double> Smooth(const std::vector<double>& values, int width);
// One custom channel operation: 0 add, 1 subtract, 2 multiply, 3 divide,
// 4 Celsius to Fahrenheit, 5 Fahrenheit to Celsius.
double CustomOperation(int op, double value, double operand);
