#pragma once

// What the system knows of this process, asked differently on Linux and Windows: one source
// file for each under tools/bench/platform/<system>/.

// Seconds since this process was started by the system, or -1 where unknown.
double secondsSinceProcessStart();
// Processor time this process has used so far, all of its threads together, in seconds.
double processorSeconds();
// The most resident memory this process has used so far, in megabytes.
double peakResidentMegabytes();
