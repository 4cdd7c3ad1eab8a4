// How long the hook callback took for the latest wheel events, for the benchmark. The callback runs on the hook
// thread, which no other hook can time from outside without a cross-thread call of its own.
#pragma once

#include <windows.h>

constexpr int kTimedCallbacks = 256;

// The hook thread's side: the performance counter when the callback began and when it ended.
void RecordWheelCallback(LONGLONG began, LONGLONG ended);

// The latest durations, oldest first, in microseconds; returns how many were written (at most capacity).
int ReadWheelCallbackTimes(double* microseconds, int capacity);
