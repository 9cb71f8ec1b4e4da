// The system, processor and memory lines of the bug report, read from the running machine.
#pragma once

#include <string>

#include "diag/SystemInfo.h"

// "Windows NT 6.1 Build: 7601 Service Pack 1". Lets a failure through to the report writer.
std::string SystemText();
// "2x Pentium 4, 2793 MHz", or "failed".
std::string ProcessorText();
// "812 of 2047 MB, Allocated 9344 (1021 of 1344) KB", or "err".
std::string MemoryText();

// The processor of this machine, with its speed measured when it has a time-stamp counter.
CpuInfo IdentifyProcessor();
// Times the time-stamp counter against the performance counter at time-critical priority; false
// (and no speed) when there is no performance counter.
bool MeasureCpuSpeed(CpuInfo& info);
