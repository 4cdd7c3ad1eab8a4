// Reads the smoothing keys of [router] in rollix.ini; when the hook starts, never in the hook callback.
#pragma once

#include "smooth_settings.h"

SmoothSettings ReadSmoothSettings(const char* path);
