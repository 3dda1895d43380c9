#include "peak_memory.h"

#include <windows.h>

#include <psapi.h>

qint64 peakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return qint64(counters.PeakWorkingSetSize);
}

bool resetPeakMemory()
{
    return false;
}
