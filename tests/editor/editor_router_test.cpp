// The router's settings, the window picker and "Start with Windows" in the real RollixConfig.exe under Wine: what
// the dialog shows of [router], what a save writes and tells, a real drag onto another program's window, and the
// start-up entry in the registry of the same Wine prefix.
#include "editor_driver.h"
#include "hook_test_driver.h"

#include "editor_ids.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sddl.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Rollix Portable";
constexpr char kMissing[] = "<missing>";
constexpr unsigned kRestartHook = 2;
constexpr int kVerticalOnly = 1;
constexpr int kHorizontalOnly = 2;
// The picked window's program: a copy of the tests' target window under a name of its own.
constexpr char kPickedProgram[] = "PickedProgram.exe";

// The file of a user who reverses the wheel and has never seen the router's section.
const char kReversingIni[] = "[config]\r\nReverseScroll=1\r\nFirstTime=0\r\n";

std::string RunValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return kMissing;
    }
    char data[1024] = "";
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : kMissing;
}

void SetRunValue(const std::string& command)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
}

void DeleteRunValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kRunValue);
        RegCloseKey(key);
    }
}

// Denies everyone the right to set values in the Run key, as a policy might (Wine's registry enforces it as
// Windows' does), until Unlock puts the key's own security back.
class LockedRunKey
{
  public:
    LockedRunKey()
    {
        PSECURITY_DESCRIPTOR denying = nullptr;
        m_locked = RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, READ_CONTROL | WRITE_DAC, &m_key) == ERROR_SUCCESS &&
                   RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved, &m_savedSize) == ERROR_SUCCESS &&
                   ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                        &denying, nullptr) &&
                   RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, denying) == ERROR_SUCCESS;
        LocalFree(denying);
    }
    ~LockedRunKey()
    {
        Unlock();
        RegCloseKey(m_key);
    }
    LockedRunKey(const LockedRunKey&) = delete;
    LockedRunKey& operator=(const LockedRunKey&) = delete;

    bool Locked() const { return m_locked; }
    void Unlock()
    {
        if (m_locked) {
            RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved);
            m_locked = false;
        }
    }

  private:
    HKEY m_key = nullptr;
    alignas(void*) char m_saved[4096] = {};
    DWORD m_savedSize = sizeof(m_saved);
    bool m_locked = false;
};

class EditorRouter : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_folder.WriteIni(kReversingIni);
        DeleteRunValue(); // the prefix is shared by every test: none starts with an entry of ours
    }
    void TearDown() override { DeleteRunValue(); }

    std::string OurCommand() const { return "\"" + m_folder.FilePath("RollixPortable.exe") + "\""; }

    EditorFolder m_folder;
    FakeProgram m_program;
};

TEST_F(EditorRouter, ShowsTheRouterKeysAsTheLibraryReadsThem)
{
    m_folder.WriteIni(
        std::string(kReversingIni) +
        "[router]\r\nExcludedPrograms=  Game.EXE ;;C:\\Paint\\paint.exe\r\nExcludedClasses=UnityWndClass\r\n"
        "ShiftScrollsSideways=1\r\nReverseAxes=HORIZONTAL\r\n");
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_EQ(editor.Text(IDC_PROGRAMS), "Game.EXE\r\npaint.exe");
    EXPECT_EQ(editor.Text(IDC_CLASSES), "UnityWndClass");
    EXPECT_TRUE(editor.Checked(IDC_SHIFT_SIDEWAYS));
    EXPECT_EQ(editor.Selection(IDC_REVERSE_AXES), kHorizontalOnly);
    EXPECT_FALSE(editor.Checked(IDC_START_WITH_WINDOWS));
    EXPECT_FALSE(IsWindowEnabled(editor.Control(IDC_APPLY))) << "the file's odd spelling is no edit";
}

TEST_F(EditorRouter, EditsWriteOnlyTheChangedRouterKeysAndRestartTheHook)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Type(IDC_CLASSES, "UnityWndClass\r TscShellContainerClass ");
    editor.Click(IDC_SHIFT_SIDEWAYS);
    editor.Choose(IDC_REVERSE_AXES, kVerticalOnly);
    // The programs shown again in another spelling are the same list: the key stays absent.
    editor.Paste(IDC_PROGRAMS, "mstsc.exe;msrdc.exe\r\n\r\nosk.exe\r\n");
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(editor.Control(IDC_APPLY)) != FALSE; }));
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());

    EXPECT_THAT(LineChanges(kReversingIni, m_folder.ReadIni()),
                ElementsAre("+ExcludedClasses=UnityWndClass;TscShellContainerClass", "+ReverseAxes=vertical",
                            "+ShiftScrollsSideways=1", "+[router]"));
    EXPECT_EQ(m_folder.Value("ExcludedPrograms", "router"), kMissing);
    EXPECT_THAT(m_program.Codes(), ElementsAre(kRestartHook)) << "router keys only: a hook restart, no reload";
}

TEST_F(EditorRouter, SmoothingKeysShowAsTheLibraryReadsThemAndOnlyEditsAreWritten)
{
    const std::string ini = std::string(kReversingIni) + "[router]\r\nSmoothScroll=1\r\nSmoothDuration=5000\r\n";
    m_folder.WriteIni(ini);
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_TRUE(editor.Checked(IDC_SMOOTH_SCROLL));
    EXPECT_EQ(editor.Text(IDC_SMOOTH_DURATION), "1000") << "held to the range, as the library reads it";
    EXPECT_FALSE(editor.Checked(IDC_WHEEL_ACCELERATION));
    EXPECT_FALSE(IsWindowEnabled(editor.Control(IDC_APPLY))) << "a value held to its range is no edit";
    editor.Paste(IDC_SMOOTH_DURATION, "300");
    editor.PressAltKey('f');
    ASSERT_TRUE(WaitFor([&] { return editor.Checked(IDC_WHEEL_ACCELERATION); }));
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_THAT(LineChanges(ini, m_folder.ReadIni()), ElementsAre("+SmoothDuration=300", "+WheelAcceleration=1",
                                                                 "-SmoothDuration=5000"));
    EXPECT_THAT(m_program.Codes(), ElementsAre(kRestartHook));
}

TEST_F(EditorRouter, AClearedProgramListIsWrittenEmptyAndTheChoiceSitsUnderReverse)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    RECT reverse = {};
    RECT choice = {};
    GetWindowRect(editor.Control(IDC_REVERSE_SCROLL), &reverse);
    GetWindowRect(editor.Control(IDC_REVERSE_AXES_LABEL), &choice);
    EXPECT_GE(choice.top, reverse.bottom) << "below its check box";
    EXPECT_GT(choice.left, reverse.left) << "indented under it";
    for (const bool reversed : {true, false, true}) {
        EXPECT_EQ(IsWindowEnabled(editor.Control(IDC_REVERSE_AXES)) != FALSE, reversed);
        EXPECT_EQ(IsWindowEnabled(editor.Control(IDC_REVERSE_AXES_LABEL)) != FALSE, reversed);
        editor.Click(IDC_REVERSE_SCROLL);
    }
    editor.Paste(IDC_PROGRAMS, "");
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.Value("ExcludedPrograms", "router"), "") << "an empty value excludes nothing";
    EXPECT_EQ(m_folder.Value("ReverseScroll"), "0");
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u, kRestartHook));
}

TEST_F(EditorRouter, TheNewControlsAreReachedByTabAndTheirMnemonics)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.PressAltKey('r'); // Reverse, as the file has it on: the choice under it counts
    ASSERT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_REVERSE_SCROLL); }));
    editor.PressAltKey('r'); // and back on
    ASSERT_TRUE(WaitFor([&] { return editor.Checked(IDC_REVERSE_SCROLL); }));
    // Tab leaves a field of several lines as it leaves any other: it types no tab into the names.
    for (const int id : {IDC_REVERSE_AXES, IDC_SHIFT_SIDEWAYS, IDC_ACTIVATE_WINDOWS, IDC_SMOOTH_SCROLL,
                         IDC_SMOOTH_DURATION, IDC_WHEEL_ACCELERATION, IDC_PROGRAMS, IDC_CLASSES,
                         IDC_LEFT_CLICK_TOGGLE}) {
        editor.PressKey(VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(id); })) << "Tab to " << id;
    }
    EXPECT_EQ(editor.Text(IDC_PROGRAMS), "mstsc.exe\r\nmsrdc.exe\r\nosk.exe");
    EXPECT_EQ(editor.Text(IDC_CLASSES), "");

    const struct
    {
        char letter;
        int id;
    } focusing[] = {{'v', IDC_REVERSE_AXES}, {'p', IDC_PROGRAMS}, {'e', IDC_CLASSES}};
    for (const auto& mnemonic : focusing) {
        editor.PressAltKey(mnemonic.letter);
        EXPECT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(mnemonic.id); }))
            << "Alt+" << mnemonic.letter;
    }
    for (const auto& mnemonic :
         {std::make_pair('s', IDC_SHIFT_SIDEWAYS), std::make_pair('t', IDC_START_WITH_WINDOWS)}) {
        editor.PressAltKey(mnemonic.first);
        EXPECT_TRUE(WaitFor([&] { return editor.Checked(mnemonic.second); })) << "Alt+" << mnemonic.first;
    }
    // Esc cancels even from a field of several lines.
    editor.PressAltKey('p');
    ASSERT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_PROGRAMS); }));
    editor.PressKey(VK_ESCAPE);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.ReadIni(), kReversingIni);
    EXPECT_EQ(RunValue(), kMissing) << "Esc writes nothing, in the registry neither";
}

TEST_F(EditorRouter, ThePickerDraggedOntoAnotherProgramsWindowAddsItsProgramOnce)
{
    WorkFolder work;
    const std::string picked = work.WindowsPath(kPickedProgram);
    ASSERT_TRUE(CopyFileA(ROLLIX_TARGET_EXE, picked.c_str(), FALSE));
    TargetWindowProcess target(work);
    ASSERT_TRUE(target.Start("", picked)) << "the target window's process did not come up";
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    // The target's windows go left of the dialog, so that both the picker and the target can be pointed at.
    RECT dialog = {};
    GetWindowRect(editor.Dialog(), &dialog);
    ASSERT_GT(dialog.left, 100) << "no room left of the dialog";
    SetWindowPos(target.m_top, nullptr, 0, 0, dialog.left - 20, 250, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(target.m_focus, nullptr, 0, 300, dialog.left - 20, 150, SWP_NOZORDER | SWP_NOACTIVATE);

    const auto drag = [&](POINT to) {
        const POINT from = CenterOf(editor.Control(IDC_PICKER));
        return RunXdotool(work, "mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) +
                                    " mousedown 1 mousemove " + std::to_string((from.x + to.x) / 2) + " " +
                                    std::to_string((from.y + to.y) / 2) + " mousemove " + std::to_string(to.x) + " " +
                                    std::to_string(to.y) + " mouseup 1");
    };
    // Dropped on a child window: the program is that of its top-level window.
    ASSERT_TRUE(drag(CenterOf(target.m_child)));
    const std::string added = std::string("mstsc.exe\r\nmsrdc.exe\r\nosk.exe\r\n") + kPickedProgram;
    EXPECT_TRUE(WaitFor([&] { return editor.Text(IDC_PROGRAMS) == added; })) << editor.Text(IDC_PROGRAMS);
    EXPECT_TRUE(IsWindowEnabled(editor.Control(IDC_APPLY)));

    // The same program again, through another of its windows, and the editor's own window: nothing more.
    ASSERT_TRUE(drag(CenterOf(target.m_focus)));
    ASSERT_TRUE(drag(CenterOf(editor.Control(IDC_CLASSES))));
    // Input is handled in order: once this click has checked its box, both drops have been handled.
    const POINT shift = CenterOf(editor.Control(IDC_SHIFT_SIDEWAYS));
    ASSERT_TRUE(RunXdotool(work, MoveAndClick(shift, 1)));
    ASSERT_TRUE(WaitFor([&] { return editor.Checked(IDC_SHIFT_SIDEWAYS); }));
    EXPECT_EQ(editor.Text(IDC_PROGRAMS), added);
    EXPECT_EQ(editor.Text(IDC_CLASSES), "");

    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.Value("ExcludedPrograms", "router"),
              std::string("mstsc.exe;msrdc.exe;osk.exe;") + kPickedProgram);
    EXPECT_EQ(m_folder.Value("ShiftScrollsSideways", "router"), "1");
    EXPECT_THAT(m_program.Codes(), ElementsAre(kRestartHook));
}

TEST_F(EditorRouter, StartWithWindowsWritesTheEntryAndUncheckingRemovesIt)
{
    {
        EditorProcess editor(m_folder);
        ASSERT_TRUE(editor.WaitForDialog());
        EXPECT_FALSE(editor.Checked(IDC_START_WITH_WINDOWS));
        editor.Click(IDC_START_WITH_WINDOWS);
        editor.PostClick(IDOK);
        ASSERT_TRUE(editor.WaitForExit());
    }
    EXPECT_EQ(RunValue(), OurCommand());
    EXPECT_EQ(m_folder.ReadIni(), kReversingIni) << "the entry is no setting of the file";
    EXPECT_THAT(m_program.Codes(), IsEmpty()) << "and nothing for the program to reload";

    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_TRUE(editor.Checked(IDC_START_WITH_WINDOWS));
    editor.Click(IDC_START_WITH_WINDOWS);
    editor.PostClick(IDC_APPLY);
    EXPECT_TRUE(WaitFor([&] { return RunValue() == kMissing; }));
    EXPECT_TRUE(editor.Running());
}

TEST_F(EditorRouter, AnotherCopysEntryShowsUncheckedStaysUntouchedAndCheckingReplacesIt)
{
    const std::string other = "\"D:\\Elsewhere\\RollixPortable.exe\" /noadmin";
    SetRunValue(other);
    {
        EditorProcess editor(m_folder);
        ASSERT_TRUE(editor.WaitForDialog());
        EXPECT_FALSE(editor.Checked(IDC_START_WITH_WINDOWS));
        editor.Click(IDC_REHOOK);
        editor.PostClick(IDOK);
        ASSERT_TRUE(editor.WaitForExit());
    }
    EXPECT_EQ(RunValue(), other);

    SetRunValue(other);
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_START_WITH_WINDOWS);
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(RunValue(), OurCommand());
}

TEST_F(EditorRouter, AFailedStartUpEntrySaysWhyAndKeepsTheChoiceWhileTheFileIsSaved)
{
    LockedRunKey lock;
    ASSERT_TRUE(lock.Locked());
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_START_WITH_WINDOWS);
    editor.Click(IDC_REHOOK);
    editor.PostClick(IDOK);

    const HWND box = editor.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const std::string message = EditorProcess::WindowTexts(box);
    EXPECT_THAT(message, HasSubstr("Start with Windows could not be changed"));
    EXPECT_THAT(message, HasSubstr(kRunKey));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_TRUE(editor.Running());
    EXPECT_TRUE(editor.Checked(IDC_START_WITH_WINDOWS));
    EXPECT_EQ(m_folder.Value("Rehook"), "1") << "the file's part is saved all the same";
    EXPECT_EQ(RunValue(), kMissing);

    lock.Unlock();
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(RunValue(), OurCommand());
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u)) << "Rehook once; the retry had no key left to write";
}

} // namespace
