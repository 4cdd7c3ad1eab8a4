// The watchdog's test: has the hook seen no mouse message for more than three seconds?
#pragma once

// Date-times are days since 30 December 1899 with the time of day as the fraction, in local time.
double DateTimeFromParts(int year, int month, int day, int hour, int minute, int second, int millisecond);

// The hook is taken as dropped only when now - last is strictly more than three seconds. Both times have
// millisecond resolution, so the difference is taken to the millisecond before the comparison: exactly three
// seconds never re-installs, whatever the rounding of the two date-times.
bool ShouldReinstall(double now, double lastMouseMessage);
