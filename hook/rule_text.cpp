// A rule's keys described in one line, for the editor's list and the README's table.
#include "wheel_rules.h"

namespace {

class LineWriter
{
  public:
    explicit LineWriter(char (&text)[kDecisionTextSize]) : m_text(text) { m_text[0] = '\0'; }

    void Add(const char* part)
    {
        for (; *part != '\0' && m_length + 1 < kDecisionTextSize; ++part) {
            m_text[m_length++] = *part;
        }
        m_text[m_length] = '\0';
    }
    // Parts after the first are set off by "; ".
    void Item(const char* part)
    {
        if (m_length > 0) {
            Add("; ");
        }
        Add(part);
    }
    void Number(int value)
    {
        char digits[12];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 && count < 11);
        char text[12];
        for (int i = 0; i < count; ++i) {
            text[i] = digits[count - 1 - i];
        }
        text[count] = '\0';
        Add(text);
    }

  private:
    char (&m_text)[kDecisionTextSize];
    int m_length = 0;
};

void Switch(LineWriter& line, RuleSwitch value, const char* on, const char* off)
{
    if (value == RuleSwitch::On) {
        line.Item(on);
    } else if (value == RuleSwitch::Off) {
        line.Item(off);
    }
}

} // namespace

void DescribeRuleSettings(const RuleSettings& settings, char (&text)[kDecisionTextSize])
{
    LineWriter line(text);
    switch (settings.m_scroll) {
    case ScrollMode::Off:
        line.Item("left alone");
        return; // nothing else acts
    case ScrollMode::System:
        line.Item("left to Windows");
        break;
    case ScrollMode::Route:
        line.Item("posted to the window under the pointer");
        break;
    case ScrollMode::Inherit:
        break;
    }
    switch (settings.m_sideways) {
    case SidewaysMethod::HWheel:
        line.Item("sideways as WM_MOUSEHWHEEL");
        break;
    case SidewaysMethod::HScroll:
        line.Item("sideways as WM_HSCROLL");
        break;
    case SidewaysMethod::ShiftWheel:
        line.Item("sideways as Shift+WM_MOUSEWHEEL");
        break;
    case SidewaysMethod::Inherit:
        break;
    }
    Switch(line, settings.m_reverseScroll, "reversed", "not reversed");
    if (settings.m_reverseAxes != RuleAxes::Inherit) {
        line.Item(settings.m_reverseAxes == RuleAxes::Both       ? "reverses both wheels"
                  : settings.m_reverseAxes == RuleAxes::Vertical ? "reverses the vertical wheel"
                                                                 : "reverses the horizontal wheel");
    }
    Switch(line, settings.m_convertToScroll, "converted to line scrolls", "not converted to line scrolls");
    if (settings.m_linesToScroll != 0) {
        line.Item("");
        line.Number(settings.m_linesToScroll);
        line.Add(settings.m_linesToScroll == 1 ? " line a notch" : " lines a notch");
    }
    Switch(line, settings.m_shiftScrollsSideways, "Shift scrolls sideways", "Shift does not scroll sideways");
    Switch(line, settings.m_activateWindows, "activates the window", "does not activate the window");
    Switch(line, settings.m_smoothScroll, "smoothed", "whole notches");
}
