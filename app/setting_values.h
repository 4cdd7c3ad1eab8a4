// The rules by which the settings file's texts become values, and where the file and its neighbours live.
#pragma once

#include "fixed_text.h"

// A file beside the program: its folder (at most a full path) followed by a short file name, never cut.
constexpr int kSiblingPathCapacity = kPathCapacity + 32;
using SiblingPathText = FixedText<kSiblingPathCapacity>;

inline constexpr char kSettingsFileName[] = "rollix.ini";
inline constexpr char kSettingsSection[] = "config";

// On/off keys are on only for exactly "1"; "true", "01" or " 1" (untrimmed) are off.
bool IsOnValue(const char* text);
// ConvertToScroll is on only for exactly "TRUE".
bool IsTrueWord(const char* text);
// LinesToScroll: the text as an integer; 0 or less falls back to the default 3.
int LinesToScrollValue(const char* text);

// The path up to and including its last '\' or ':'; empty when it has neither.
void FolderOfPath(const char* path, SiblingPathText& folder);
// The settings file beside the module: its folder followed by "rollix.ini".
void SettingsPathFromModulePath(const char* modulePath, SiblingPathText& settingsPath);
