#pragma once

#include <QtGlobal>

// The process's peak resident memory in bytes, from the system's own account; -1 when the
// system does not tell.
qint64 peakMemory();

// Starts the account of the peak afresh from what the process holds now; false where the system
// cannot.
bool resetPeakMemory();
