// The router's decision for a window told in one line, as the inspector shows it and the README's table lists it.
#pragma once

#include "rule_book.h"
#include "sideways_delivery.h"

struct DecisionStory
{
    WheelDecision m_vertical;   // for a plain notch of the vertical wheel
    WheelDecision m_horizontal; // for a tilt
    SidewaysMethod m_sideways = SidewaysMethod::HWheel;
    ScrollMode m_scroll = ScrollMode::Route;
    bool m_targetFound = true;
    bool m_systemClass = false;   // a XAML or menu class on the chain that only the system's delivery serves
    const char* m_targetClass = ""; // where posts go
    const char* m_because = "";     // "built-in: ...", "rule [class X]"; "" for the global settings
};

constexpr int kStoryTextSize = 520;

void TellDecision(const DecisionStory& story, char (&text)[kStoryTextSize]);
