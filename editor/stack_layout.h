// Stacks a dialog's rows from the top down, inside group boxes: a hidden row leaves no gap, and a new
// setting is one more row in the list. Units are whatever the caller measures in (pixels here).
#pragma once

enum StackItemKind
{
    kStackGroup,    // opens a group box around the rows that follow
    kStackGroupEnd, // closes it; every group is closed
    kStackRow       // one row: a check box, a field with its label, a line of text, the buttons
};

struct StackBox
{
    int left;
    int top;
    int width;
    int height;
};

struct StackItem
{
    StackItemKind kind;
    int indent;   // rows: steps of StackMetrics::indent from the left edge they stand in
    int height;   // rows only
    bool shown;   // rows only: a hidden row takes no room
    StackBox box; // set by StackItems; all zero for a hidden row
    bool beside;  // rows only: stands to the right of the shown row before it, the two sharing its width
};

struct StackMetrics
{
    int width;      // the client area's width
    int margin;     // around everything, and between a group box and what follows it
    int groupTop;   // from a group box's top edge to its first row: room for the caption
    int groupInset; // from a group box's sides and bottom to its rows
    int rowGap;     // between two shown rows, and between two rows side by side
    int indent;     // one step of indent
};

// Places the group boxes and the shown rows from the top down and returns the client height they take,
// margins included.
int StackItems(const StackMetrics& metrics, StackItem* items, int count);
