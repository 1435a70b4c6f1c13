#pragma once
#include <vector>

// The middle value of a sample (the mean of the two middle ones for an even count); 0 when empty.
double median(std::vector<double> values);
// The smallest value that at least `share` (0..1) of the sample does not exceed; 0 when empty.
double percentile(std::vector<double> values, double share);
// Seconds since this process was started by the system (from /proc), or -1 where unknown.
double secondsSinceProcessStart();
// Processor time this process has used so far, all of its threads together, in seconds.
double processorSeconds();
// The most resident memory this process has used so far, in megabytes.
double peakResidentMegabytes();
