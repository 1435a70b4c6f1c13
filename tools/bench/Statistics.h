#pragma once
#include <vector>

// The middle value of a sample (the mean of the two middle ones for an even count); 0 when empty.
double median(std::vector<double> values);
// The smallest value that at least `share` (0..1) of the sample does not exceed; 0 when empty.
double percentile(std::vector<double> values, double share);
