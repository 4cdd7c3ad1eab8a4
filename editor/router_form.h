// The router's own settings as the editor shows them: the [router] section of rollix.ini, which RollixHook.dll
// reads each time the hook starts. The texts are made sense of by the library's own parser, so that what the
// editor writes the router reads the same way.
#pragma once

#include "router_settings.h"
#include "smooth_settings.h"

// The [router] keys, in the order the editor writes them.
enum RouterKey
{
    kExcludedPrograms,
    kExcludedClasses,
    kShiftScrollsSideways,
    kReverseAxes,
    kSmoothScroll,
    kSmoothDuration,
    kWheelAcceleration,
    kRouterKeyCount
};

const char* RouterKeyName(RouterKey key);

// A list as the editor compares it: the names the router keeps, in order, joined by ';'. Blanks, empty entries,
// folders and how the names were separated fall away; a change of case counts (it is the user's to choose).
constexpr int kCanonicalListSize = kNameListBytes;

// The longest text a list field holds: one name a line takes more than one a ';'.
constexpr int kListFieldMaxChars = 2 * kNameListBytes;

struct RouterForm
{
    char programs[kCanonicalListSize];
    char classes[kCanonicalListSize];
    bool shiftScrollsSideways;
    ReverseAxes reverseAxes;
    SmoothSettings smooth;
    char smoothDurationText[8]; // smooth.m_durationMs as a save writes it
};

// The form for the settings the router read (an absent ExcludedPrograms reads as the default names).
void RouterFormFrom(const RouterSettings& settings, RouterForm& form);
// The smoothing keys into the form; a duration outside its range is held to it.
void SmoothFormFrom(const SmoothSettings& smooth, RouterForm& form);

// The canonical text of a list field's text: names one a line, or several on a line separated by ';'.
void CanonicalNames(const char* fieldText, char (&canonical)[kCanonicalListSize]);

// The list field's text for a canonical list: one name a line. `size` of 2 * kCanonicalListSize always suffices.
void NamesAsLines(const char* canonical, char* lines, int size);

// The list field's text with `name` added on a line of its own, unless the field already names it (in any case)
// or `name` is empty. False when nothing is to be added or it does not fit in `size` bytes.
bool WithNameAdded(const char* fieldText, const char* name, char* out, int size);

struct RouterChange
{
    RouterKey key;
    const char* text; // the new value: into the edited form, or a constant word
};

// The keys whose edited value differs from the saved one, in key order, with their new texts. Returns how many
// were put into `changes`; the texts live as long as `edited`.
int FindRouterChanges(const RouterForm& saved, const RouterForm& edited, RouterChange (&changes)[kRouterKeyCount]);

// Copies the value of one key from `from` to `to`: what a save keeps as saved once that key is written.
void TakeRouterValue(RouterKey key, const RouterForm& from, RouterForm& to);
