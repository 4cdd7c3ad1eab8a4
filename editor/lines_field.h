// Validation of the "lines per notch" field: what the user typed, turned into a line count or refused.
#pragma once

enum LinesFieldStatus
{
    kLinesAccepted,
    kLinesEmpty,
    kLinesNotWholeNumber,
    kLinesOutOfRange
};

struct LinesFieldResult
{
    LinesFieldStatus status;
    int lines; // meaningful only when accepted
};

// Accepts a whole number from 1 to 100, blanks around it allowed. A number outside that range is
// still accepted when it equals `savedLines`, the value the file already holds: leaving the field
// alone must never block saving the other settings.
LinesFieldResult ParseLinesField(const char* text, int savedLines);

// What a save takes from the field. While the field is disabled (the wheel is not converted, so the count
// does not apply) an entry that would be refused keeps `savedLines`: nobody can correct a field they cannot
// reach, and it must not block saving the other settings.
LinesFieldResult ReadLinesField(const char* text, int savedLines, bool fieldEnabled);
