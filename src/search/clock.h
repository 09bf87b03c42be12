// The search's clock: a monotonic wall clock in milliseconds, so a busy
// machine cannot make the engine overrun its time the way processor time would.
#pragma once

#include <cstdint>

int64_t nowMs();
