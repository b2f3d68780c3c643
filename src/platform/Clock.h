// "Now" for the whole program: the system clock in local time, or, when SOURCE_DATE_EPOCH is set,
// that moment (in UTC), so listings, macros and PDF dates can be reproduced.
#pragma once

#include <ctime>

#include "base/Formato.h"

namespace platform {

// Seconds since the epoch.
std::time_t nowSeconds();
// The broken-down date and time of now.
base::DataHora now();
// The broken-down date and time of a moment, in the clock's zone (UTC while SOURCE_DATE_EPOCH is
// set, local time otherwise).
base::DataHora dateTimeOf(std::time_t t);

}  // namespace platform
