// The editor's functional core: the settings it shows, how their rollix.ini texts read and write,
// which keys a save must write and which control codes then tell the running program.
#pragma once

// The keys the editor shows, in the order of the dialog. FirstTime and showrollix belong to the
// program alone and are never touched here.
enum SettingKey
{
    kConvertToScroll,
    kLinesToScroll,
    kReverseScroll,
    kActivateWindows,
    kLeftClickEnableToggle,
    kHideTrayIcon,
    kRehook,
    kRunAsAdmin,
    kSettingCount
};

// How a key's value is spelled in the file.
enum SettingKind
{
    kTrueFalseSwitch, // "TRUE"/"FALSE"; on only if exactly "TRUE"
    kOneZeroSwitch,   // "1"/"0"; on only if exactly "1"
    kWholeNumber      // LinesToScroll
};

struct SettingInfo
{
    const char* name;
    const char* defaultText; // what the program assumes when the key is missing
    SettingKind kind;
    bool reachesHook; // the program hands it to the hook library when it (re)starts the hook
};

const SettingInfo& InfoOf(SettingKey key);

// The value a missing, zero, negative or unreadable LinesToScroll stands for in the program.
constexpr int kDefaultLinesToScroll = 3;
constexpr int kMinLinesToScroll = 1;
constexpr int kMaxLinesToScroll = 100;

// Control codes of the program's WM_ROLLIX_MSG protocol that the editor sends.
constexpr unsigned kReloadSettingsCode = 1; // LoadSettings, which also applies HideTrayIcon
constexpr unsigned kEnableHookCode = 2;     // restarts the hook with the values just loaded

// One value per key: 0 or 1 for a switch, the line count for LinesToScroll.
struct SettingsForm
{
    int values[kSettingCount];
};

// The value the program takes from a key's file text (exact, case-sensitive comparisons).
int DecodeSetting(SettingKey key, const char* text);

// Longest text EncodeSetting writes, with its terminator.
constexpr int kSettingTextSize = 12;

// The file text for a value: "TRUE"/"FALSE", "1"/"0" or the decimal number.
void EncodeSetting(SettingKey key, int value, char (&text)[kSettingTextSize]);

struct SettingChange
{
    SettingKey key;
    char text[kSettingTextSize];
};

// The keys whose edited value differs from the saved one, in key order, with their new texts.
// Returns how many were put into `changes`.
int FindChanges(const SettingsForm& saved, const SettingsForm& edited, SettingChange (&changes)[kSettingCount]);

struct ControlCodes
{
    unsigned codes[2];
    int count;
};

// What to post to a running program once `written` [config] keys and `routerWritten` [router] keys are in the
// file: a reload when a [config] key was written, and a hook restart when the hook library receives one of them.
// Every [router] key is such a key: the library reads them each time the hook starts.
ControlCodes CodesAfterSave(const SettingChange* written, int writtenCount, int routerWritten);

// Settings shown under the switch they depend on, which count only while it is on.
enum DependentSetting
{
    kLinesPerNotch, // LinesToScroll, under ConvertToScroll
    kReversedWheels // which wheels ReverseScroll turns round
};

// Whether the dependent setting counts (and its controls are enabled) with the switches of `form`.
bool DependentApplies(DependentSetting setting, const SettingsForm& form);
