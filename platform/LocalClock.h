#pragma once
// "Now" in local time, replaceable so that a test can stand on any date.

#include <ctime>
#include <functional>

namespace platform {

// The current local time; false when the clock's value cannot be converted.
bool GetCurrentLocalTime(std::tm& out);

// Replaces the clock; an empty function restores the system clock.
void SetLocalTimeSource(std::function<bool(std::tm&)> source);

}  // namespace platform
