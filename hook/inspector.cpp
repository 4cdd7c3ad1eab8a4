// RollixHookInspect: the router's decision for a window the editor's picker points at, made by a router of its
// own with the settings the hook reads at its start, over the live window.
#include "rollix_hook_inspect.h"

#include "decision_text.h"
#include "hook_thread.h"
#include "router_settings_file.h"
#include "rule_file.h"

#include <new>

namespace {

constexpr char kProgramWindowClass[] = "obj_Form";
constexpr char kProgramWindowCaption[] = "Rollix Portable";

static_assert(static_cast<int>(RuleSource::Excluded) == kInspectExcluded, "the inspector's sources are RuleSource");
static_assert(kInspectClassSize == kClassNameSize, "the router cuts class names to the same size");
static_assert(kInspectChainLength == kRuleChainLength, "the inspector shows the chain the rules read");

void Copy(char* target, int size, const char* text)
{
    lstrcpynA(target, text, size);
}

// The mandatory integrity level of a process token (its label's last sub-authority), or -1.
long IntegrityOf(HANDLE token)
{
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0 || size > 256) {
        return -1;
    }
    alignas(8) unsigned char buffer[256];
    if (!GetTokenInformation(token, TokenIntegrityLevel, buffer, size, &size)) {
        return -1;
    }
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    return count == 0 ? -1 : static_cast<long>(*GetSidSubAuthority(sid, count - 1));
}

// 1 when the window's program runs at a higher integrity level than this process, 0 when not, -1 when unknown.
int RunsHigher(HWND window)
{
    HANDLE ownToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &ownToken)) {
        return -1;
    }
    const long own = IntegrityOf(ownToken);
    CloseHandle(ownToken);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED ? 1 : -1;
    }
    HANDLE token = nullptr;
    int result = -1;
    if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
        const long other = IntegrityOf(token);
        result = own < 0 || other < 0 ? -1 : (other > own ? 1 : 0);
        CloseHandle(token);
    } else if (GetLastError() == ERROR_ACCESS_DENIED) {
        // A process of a higher level keeps its token closed to a lower one.
        result = 1;
    }
    CloseHandle(process);
    return result;
}

void FillRule(const RuleBook& book, const RuleResolution& resolution, RollixInspection& out,
              char (&because)[kInspectTextSize])
{
    out.m_ruleSource = static_cast<int>(resolution.m_source);
    out.m_reason[0] = '\0';
    because[0] = '\0';
    char section[kRuleSectionSize] = "";
    switch (resolution.m_source) {
    case RuleSource::UserClass:
    case RuleSource::UserProgram: {
        const UserRule rule = book.UserRuleAt(resolution.m_rule);
        RuleTarget target;
        target.m_kind = rule.m_kind;
        lstrcpynA(target.m_name, rule.m_name, kRuleNameSize);
        FormatRuleSection(target, section);
        wsprintfA(out.m_rule, "[%.250s]", section);
        wsprintfA(because, "rule %.250s", out.m_rule);
        break;
    }
    case RuleSource::BuiltInClass:
    case RuleSource::BuiltInProgram:
        wsprintfA(out.m_rule, "built-in: %.240s", BuiltInRuleAt(resolution.m_rule).m_application);
        break;
    case RuleSource::Excluded:
        Copy(out.m_rule, kInspectTextSize, "[router] exclusions");
        Copy(because, kInspectTextSize, "excluded in [router]");
        break;
    case RuleSource::Global:
        Copy(out.m_rule, kInspectTextSize, "global settings");
        break;
    }
    if (resolution.m_builtIn >= 0) {
        const BuiltInRule& entry = BuiltInRuleAt(resolution.m_builtIn);
        wsprintfA(out.m_reason, "%.150s (%.100s)", entry.m_reason, entry.m_source);
        if (because[0] == '\0') {
            wsprintfA(because, "built-in: %.240s", entry.m_reason);
        }
    }
}

} // namespace

extern "C" BOOL WINAPI RollixHookInspect(HWND window, POINT screenPoint, RollixInspection* out)
{
    if (out == nullptr || out->m_size != sizeof(RollixInspection) || window == nullptr || !IsWindow(window)) {
        return FALSE;
    }
    const DWORD size = out->m_size;
    ZeroMemory(out, sizeof(*out));
    out->m_size = size;

    // The hook's own start sequence: [config] as the program passes it, [router] folded in, then the rules.
    char path[MAX_PATH + 16];
    if (!SettingsFilePath(LibraryModule(), path)) {
        return FALSE;
    }
    void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(RouterConfig));
    if (memory == nullptr) {
        return FALSE;
    }
    auto* config = new (memory) RouterConfig();
    config->m_settings = ReadProgramSettings(path);
    ReadRouterSettings(LibraryModule(), config->m_routerSettings);
    config->m_settings.m_reverseAxes = config->m_routerSettings.m_reverseAxes;
    config->m_settings.m_shiftScrollsSideways = config->m_routerSettings.m_shiftScrollsSideways;
    ReadUserRules(path, config->m_rules);
    config->m_programWindow = FindWindowA(kProgramWindowClass, kProgramWindowCaption);

    void* routerMemory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WheelRouter));
    BOOL result = FALSE;
    if (routerMemory != nullptr) {
        auto* router = new (routerMemory) WheelRouter(*config);
        out->m_elevated = RunsHigher(window);
        const WheelRouter::Verdict verdict = router->Explain(window, screenPoint, out->m_elevated == 1);
        out->m_target = verdict.m_target;
        DecisionStory story;
        story.m_vertical = verdict.m_vertical;
        story.m_horizontal = verdict.m_horizontal;
        story.m_sideways = verdict.m_applied.m_sideways;
        story.m_scroll = verdict.m_applied.m_scroll;
        story.m_targetFound = verdict.m_facts.m_found;
        char because[kInspectTextSize] = "";
        if (verdict.m_rule != nullptr) {
            const RuleRecord& rule = *verdict.m_rule;
            Copy(out->m_className, kInspectClassSize, verdict.m_facts.m_className);
            out->m_chainLength = rule.m_chainLength;
            for (int i = 0; i < rule.m_chainLength; ++i) {
                Copy(out->m_classChain[i], kInspectClassSize, rule.m_chain[i]);
            }
            Copy(out->m_program, kInspectTextSize, rule.m_program);
            FillRule(config->m_rules, rule.m_resolution, *out, because);
            story.m_systemClass = IsSystemRoutedClass(verdict.m_facts.m_className) ||
                                  IsSystemRoutedClass(verdict.m_facts.m_topLevelClassName) ||
                                  IsSystemRoutedChain(verdict.m_facts.m_classChain, verdict.m_facts.m_classChainCount);
            story.m_targetClass = verdict.m_facts.m_className;
        } else {
            Copy(out->m_rule, kInspectTextSize, "global settings");
        }
        story.m_because = because;
        char text[kStoryTextSize];
        TellDecision(story, text);
        Copy(out->m_decision, sizeof(out->m_decision), text);
        router->~WheelRouter();
        HeapFree(GetProcessHeap(), 0, routerMemory);
        result = TRUE;
    }
    config->~RouterConfig();
    HeapFree(GetProcessHeap(), 0, memory);
    return result;
}

extern "C" const BuiltInRule* WINAPI RollixHookBuiltInRule(int index)
{
    return index >= 0 && index < BuiltInRuleCount() ? &BuiltInRuleAt(index) : nullptr;
}
