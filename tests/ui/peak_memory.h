#pragma once

#include <QtGlobal>

// The process's peak resident memory in bytes, from the system's own account; -1 when the
// system does not tell.
qint64 peakMemory();
