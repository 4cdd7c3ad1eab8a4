// One line per decision: where the vertical wheel goes, how the sideways one goes, and which rule says so.
#include "decision_text.h"

namespace {

class Line
{
  public:
    explicit Line(char (&text)[kStoryTextSize]) : m_text(text) { m_text[0] = '\0'; }
    Line& operator<<(const char* part)
    {
        for (; *part != '\0' && m_length + 1 < kStoryTextSize; ++part) {
            m_text[m_length++] = *part;
        }
        m_text[m_length] = '\0';
        return *this;
    }

  private:
    char (&m_text)[kStoryTextSize];
    int m_length = 0;
};

const char* PassText(const DecisionStory& story, const WheelDecision& decision)
{
    switch (decision.m_passReason) {
    case PassReason::Excluded:
        return "left alone";
    case PassReason::FullScreenForeground:
        return "left to Windows: a full-screen program is in front";
    case PassReason::Shielded:
    case PassReason::HigherIntegrity:
        return "left to Windows: runs as administrator; run Rollix Portable as administrator to route it";
    case PassReason::DisabledTopLevel:
        return "left to Windows: its program shows a dialog";
    case PassReason::ForeignInjection:
        return "left to Windows: injected by another program";
    case PassReason::Hung:
        return "left to Windows: not responding";
    case PassReason::SystemRouted:
        if (!story.m_targetFound) {
            return "left to Windows: no window here takes the wheel";
        }
        if (story.m_scroll == ScrollMode::System) {
            return "left to Windows";
        }
        if (story.m_systemClass) {
            return "left to Windows: XAML host";
        }
        return "left to Windows: Windows scrolls the window under the pointer itself";
    case PassReason::None:
    case PassReason::OwnInjection:
    case PassReason::NoDelta:
        break;
    }
    return "left to Windows";
}

const char* SidewaysText(const DecisionStory& story)
{
    const WheelDecision& decision = story.m_horizontal;
    switch (decision.m_action) {
    case WheelAction::PostWheel:
        switch (PlanPostedWheel(decision, story.m_sideways, false).m_message) {
        case PostedMessage::MouseWheel:
            return "sideways as WM_MOUSEWHEEL with MK_SHIFT";
        case PostedMessage::HScrollLines:
            return "sideways as WM_HSCROLL";
        case PostedMessage::MouseHWheel:
            break;
        }
        return "sideways as WM_MOUSEHWHEEL";
    case WheelAction::PostScrollLines:
        return "sideways as WM_HSCROLL";
    case WheelAction::Reinject:
        return story.m_sideways == SidewaysMethod::ShiftWheel ? "sideways injected as Shift+wheel"
                                                              : "sideways injected as the horizontal wheel";
    case WheelAction::PassOn:
        break;
    }
    return "sideways left to Windows";
}

} // namespace

void TellDecision(const DecisionStory& story, char (&text)[kStoryTextSize])
{
    Line line(text);
    const WheelDecision& vertical = story.m_vertical;
    switch (vertical.m_action) {
    case WheelAction::PostWheel:
        line << "posted to " << story.m_targetClass << " as WM_MOUSEWHEEL";
        break;
    case WheelAction::PostScrollLines:
        line << "posted to " << story.m_targetClass << " as WM_VSCROLL lines";
        break;
    case WheelAction::Reinject:
        line << "left to Windows, reversed";
        break;
    case WheelAction::PassOn:
        line << PassText(story, vertical);
        break;
    }
    const bool alone = vertical.m_action == WheelAction::PassOn && vertical.m_passReason == PassReason::Excluded;
    if (!alone) {
        line << "; " << SidewaysText(story);
    }
    if (story.m_because[0] != '\0') {
        line << ", " << story.m_because;
    }
}
