// The settings editor run for real under Wine and used as a person would: values shown, changed,
// saved, refused, and the running program told.
#include "editor_driver.h"

#include "activation_context.h"
#include "editor_ids.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A file as a user might keep it: a comment, a key the editor does not know, another section.
const char kUsersIni[] = "; my scrolling setup\r\n"
                         "[config]\r\n"
                         "ConvertToScroll=FALSE\r\n"
                         "LinesToScroll=7\r\n"
                         "ReverseScroll=1\r\n"
                         "FirstTime=0\r\n"
                         "FavouriteColour=blue\r\n"
                         "[elsewhere]\r\n"
                         "Keep=me\r\n";

class EditorDialog : public ::testing::Test
{
  protected:
    void SetUp() override { m_folder.WriteIni(kUsersIni); }

    EditorFolder m_folder;
    FakeProgram m_program;
};

TEST_F(EditorDialog, ShowsTheFileAsTheProgramReadsIt)
{
    m_folder.WriteIni("[CONFIG]\r\nconverttoscroll=TRUE\r\nLinesToScroll=abc\r\nReverseScroll=true\r\n"
                      "ActivateWindows=1\r\nHideTrayIcon=2\r\n");
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());

    EXPECT_TRUE(editor.Checked(IDC_CONVERT_TO_SCROLL));
    EXPECT_EQ(editor.Text(IDC_LINES), "3");
    EXPECT_FALSE(editor.Checked(IDC_REVERSE_SCROLL)) << "only exactly \"1\" is on";
    EXPECT_TRUE(editor.Checked(IDC_ACTIVATE_WINDOWS));
    EXPECT_FALSE(editor.Checked(IDC_HIDE_TRAY_ICON));
    EXPECT_FALSE(editor.Checked(IDC_RUN_AS_ADMIN));
    // Wine reports a Windows from Vista on, so elevation is offered, with its note.
    EXPECT_TRUE(IsWindowVisible(editor.Control(IDC_RUN_AS_ADMIN)));
    // A note is part of its check box's text, which is what screen readers announce for the box.
    EXPECT_THAT(editor.Text(IDC_RUN_AS_ADMIN), HasSubstr("Takes effect the next time"));
    EXPECT_THAT(editor.Text(IDC_HIDE_TRAY_ICON), HasSubstr("start Rollix Portable again to open these settings"));
    EXPECT_FALSE(IsWindowEnabled(editor.Control(IDC_APPLY))) << "nothing to apply yet";
}

TEST_F(EditorDialog, OkWritesEveryChangedSettingAndKeepsTheRestOfTheFile)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_EQ(editor.Text(IDC_LINES), "7");
    EXPECT_TRUE(editor.Checked(IDC_REVERSE_SCROLL));

    for (const int id : {IDC_CONVERT_TO_SCROLL, IDC_REVERSE_SCROLL, IDC_ACTIVATE_WINDOWS, IDC_LEFT_CLICK_TOGGLE,
                         IDC_HIDE_TRAY_ICON, IDC_REHOOK, IDC_RUN_AS_ADMIN}) {
        editor.Click(id);
    }
    editor.Type(IDC_LINES, "12");
    editor.PostClick(IDOK);
    DWORD exitCode = 1;
    ASSERT_TRUE(editor.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);

    EXPECT_EQ(m_folder.Value("ConvertToScroll"), "TRUE");
    EXPECT_EQ(m_folder.Value("LinesToScroll"), "12");
    EXPECT_EQ(m_folder.Value("ReverseScroll"), "0");
    EXPECT_EQ(m_folder.Value("ActivateWindows"), "1");
    EXPECT_EQ(m_folder.Value("LeftClickEnableToggle"), "1");
    EXPECT_EQ(m_folder.Value("HideTrayIcon"), "1");
    EXPECT_EQ(m_folder.Value("Rehook"), "1");
    EXPECT_EQ(m_folder.Value("RunAsAdmin"), "1");
    EXPECT_EQ(m_folder.Value("FirstTime"), "0");
    EXPECT_EQ(m_folder.Value("FavouriteColour"), "blue");
    EXPECT_EQ(m_folder.Value("Keep", "elsewhere"), "me");
    EXPECT_THAT(m_folder.ReadIni(), HasSubstr("; my scrolling setup"));
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u, 2u));
}

TEST_F(EditorDialog, OnlyTheChangedKeyIsWrittenAndASwitchOutsideTheHookOnlyReloads)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_HIDE_TRAY_ICON);
    editor.Click(IDC_REHOOK);
    editor.Click(IDC_REHOOK); // back to what the file holds
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());

    EXPECT_THAT(LineChanges(kUsersIni, m_folder.ReadIni()), ElementsAre("+HideTrayIcon=1"));
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u));
}

TEST_F(EditorDialog, NothingChangedWritesNothingAndTellsNobody)
{
    // "true" counts as off: shown unchecked and, untouched, left exactly as it is.
    const std::string original = std::string(kUsersIni) + "[config]\r\nActivateWindows=true\r\n";
    m_folder.WriteIni(original);
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_FALSE(editor.Checked(IDC_ACTIVATE_WINDOWS));
    editor.Type(IDC_LINES, "7");
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());

    EXPECT_EQ(m_folder.ReadIni(), original);
    EXPECT_THAT(m_program.Codes(), IsEmpty());
}

TEST_F(EditorDialog, CancelAndEscapeDiscardTheChanges)
{
    for (const bool escape : {false, true}) {
        EditorProcess editor(m_folder);
        ASSERT_TRUE(editor.WaitForDialog());
        editor.Click(IDC_REHOOK);
        editor.Type(IDC_LINES, "20");
        if (escape) {
            editor.PressKey(VK_ESCAPE);
        } else {
            editor.PostClick(IDCANCEL);
        }
        ASSERT_TRUE(editor.WaitForExit()) << (escape ? "Esc" : "Cancel");
        EXPECT_EQ(m_folder.ReadIni(), kUsersIni);
    }
    EXPECT_THAT(m_program.Codes(), IsEmpty());
}

TEST_F(EditorDialog, ApplySavesAndKeepsTheDialogOpen)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_REHOOK);
    ASSERT_TRUE(IsWindowEnabled(editor.Control(IDC_APPLY)));
    editor.PostClick(IDC_APPLY);
    ASSERT_TRUE(WaitFor([&] { return m_folder.Value("Rehook") == "1"; }));
    ASSERT_TRUE(WaitFor([&] { return m_program.Codes().size() == 1; }));
    EXPECT_TRUE(editor.Running());
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(editor.Control(IDC_APPLY)); })) << "all saved";

    // A second Apply writes only what changed since the first, and restarts the hook for it.
    editor.Type(IDC_LINES, "5");
    editor.PostClick(IDC_APPLY);
    ASSERT_TRUE(WaitFor([&] { return m_folder.Value("LinesToScroll") == "5"; }));
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u, 1u, 2u));
    EXPECT_THAT(LineChanges(kUsersIni, m_folder.ReadIni()),
                ElementsAre("+LinesToScroll=5", "+Rehook=1", "-LinesToScroll=7"));
}

TEST_F(EditorDialog, LinesOutsideOneToHundredAreRefusedAtTheField)
{
    // The field counts while the wheel is converted.
    std::string converted = kUsersIni;
    converted.replace(converted.find("ConvertToScroll=FALSE"), 21, "ConvertToScroll=TRUE");
    m_folder.WriteIni(converted);
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_REHOOK);
    for (const char* entry : {"0", "500", "abc", "", "-2"}) {
        editor.Paste(IDC_LINES, entry);
        editor.PostClick(IDOK);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(editor.Control(IDC_LINES_ERROR)); })) << entry;
        EXPECT_THAT(editor.Text(IDC_LINES_ERROR), HasSubstr("1 to 100")) << entry;
        EXPECT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_LINES); })) << entry;
        EXPECT_TRUE(editor.Running()) << entry;
        EXPECT_EQ(editor.Text(IDC_LINES), entry) << "the entry is kept for correcting";
    }
    EXPECT_EQ(m_folder.ReadIni(), converted) << "nothing is written, not even the valid switch";
    EXPECT_THAT(m_program.Codes(), IsEmpty());

    editor.Type(IDC_LINES, "100");
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(editor.Control(IDC_LINES_ERROR)); }))
        << "editing the field clears the message";
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.Value("LinesToScroll"), "100");
    EXPECT_EQ(m_folder.Value("Rehook"), "1");
}

TEST_F(EditorDialog, TypingLettersIntoTheLinesFieldIsIgnored)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Type(IDC_LINES, "1x5");
    EXPECT_EQ(editor.Text(IDC_LINES), "15");
}

TEST_F(EditorDialog, FailedWriteNamesTheFileAndKeepsTheChoices)
{
    // A folder in the file's place cannot be written, whoever runs the editor.
    DeleteFileA(m_folder.IniPath().c_str());
    ASSERT_TRUE(CreateDirectoryA(m_folder.IniPath().c_str(), nullptr));
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_ACTIVATE_WINDOWS);
    editor.Type(IDC_LINES, "9");
    editor.PostClick(IDOK);

    const HWND box = editor.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const std::string message = EditorProcess::WindowTexts(box);
    EXPECT_THAT(message, HasSubstr(m_folder.IniPath()));
    EXPECT_THAT(message, HasSubstr("could not be saved"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

    EXPECT_TRUE(editor.Running());
    EXPECT_TRUE(editor.Checked(IDC_ACTIVATE_WINDOWS));
    EXPECT_EQ(editor.Text(IDC_LINES), "9");
    EXPECT_THAT(m_program.Codes(), IsEmpty());

    // Once the file can be written, the same choices are saved.
    ASSERT_TRUE(RemoveDirectoryA(m_folder.IniPath().c_str()));
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.Value("ActivateWindows"), "1");
    EXPECT_EQ(m_folder.Value("LinesToScroll"), "9");
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u, 2u));
}

TEST(EditorAlone, SavesWhenNoProgramRuns)
{
    EditorFolder folder;
    folder.WriteIni(kUsersIni);
    EditorProcess editor(folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Click(IDC_LEFT_CLICK_TOGGLE);
    editor.PostClick(IDOK);
    DWORD exitCode = 1;
    ASSERT_TRUE(editor.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(folder.Value("LeftClickEnableToggle"), "1");
}

TEST_F(EditorDialog, MnemonicsTabAndEnterWorkFromTheKeyboard)
{
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    ASSERT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_CONVERT_TO_SCROLL); }))
        << "the first control has the focus";
    // The lines field does not count while the wheel is not converted, as the file has it: Tab passes it by.
    editor.PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_REVERSE_SCROLL); }));

    const struct
    {
        char letter;
        int id;
    } mnemonics[] = {{'c', IDC_CONVERT_TO_SCROLL}, {'r', IDC_REVERSE_SCROLL}, {'w', IDC_ACTIVATE_WINDOWS},
                     {'k', IDC_LEFT_CLICK_TOGGLE}, {'h', IDC_HIDE_TRAY_ICON}, {'d', IDC_REHOOK},
                     {'m', IDC_RUN_AS_ADMIN}};
    for (const auto& mnemonic : mnemonics) {
        const bool before = editor.Checked(mnemonic.id);
        editor.PressAltKey(mnemonic.letter);
        EXPECT_TRUE(WaitFor([&] { return editor.Checked(mnemonic.id) != before; })) << "Alt+" << mnemonic.letter;
    }
    editor.PressAltKey('l');
    EXPECT_TRUE(WaitFor([&] { return editor.Focus() == editor.Control(IDC_LINES); })) << "Alt+L";
    editor.Type(IDC_LINES, "4");

    editor.PressKey(VK_RETURN); // the default button, OK
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_EQ(m_folder.Value("ConvertToScroll"), "TRUE");
    EXPECT_EQ(m_folder.Value("LinesToScroll"), "4");
    EXPECT_EQ(m_folder.Value("RunAsAdmin"), "1");
}

TEST_F(EditorDialog, SecondStartBringsTheOpenEditorBackAndEnds)
{
    EditorProcess first(m_folder);
    ASSERT_TRUE(first.WaitForDialog());
    ShowWindow(first.Dialog(), SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(first.Dialog()) != FALSE; }));

    EditorProcess second(m_folder);
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(first.Dialog()); })) << "restored";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == first.Dialog(); }));
    EXPECT_TRUE(first.Running());
}

TEST(EditorFile, CarriesItsVersionAndManifest)
{
    EditorFolder folder;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(folder.ExePath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(folder.ExePath().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(7, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(3, 0));
    char* product = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, "Rollix Portable");

    // The manifest as the system reads it: like the program's.
    const ActivationContextFacts facts = ReadActivationContext(folder.ExePath());
    ASSERT_TRUE(facts.created) << "the system refuses the manifest: error " << facts.error;
    EXPECT_EQ(facts.runLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_THAT(facts.assemblies, ::testing::Contains(HasSubstr("Microsoft.Windows.Common-Controls")));
    EXPECT_EQ(facts.dpiAware, L"true");
    EXPECT_EQ(facts.dpiAwareness, L"PerMonitorV2, System");
}

RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(EditorDialog, LinesToScrollSitsUnderConvertAndCountsOnlyWhileItIsOn)
{
    // The file has ConvertToScroll=FALSE.
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    const RECT convert = RectOf(editor.Control(IDC_CONVERT_TO_SCROLL));
    const RECT label = RectOf(editor.Control(IDC_LINES_LABEL));
    const RECT field = RectOf(editor.Control(IDC_LINES));
    EXPECT_GE(label.top, convert.bottom) << "below the check box";
    EXPECT_GT(label.left, convert.left) << "indented under it";
    EXPECT_LE(field.bottom, RectOf(editor.Control(IDC_REVERSE_SCROLL)).top) << "before the next setting";

    const int lines[] = {IDC_LINES_LABEL, IDC_LINES, IDC_LINES_SPIN};
    for (const bool converted : {false, true, false}) {
        for (const int id : lines) {
            EXPECT_EQ(IsWindowEnabled(editor.Control(id)) != FALSE, converted) << id << " converted: " << converted;
        }
        editor.Click(IDC_CONVERT_TO_SCROLL);
    }
    editor.Click(IDC_CONVERT_TO_SCROLL); // back to off, as the file has it
    EXPECT_FALSE(IsWindowEnabled(editor.Control(IDC_APPLY)));
}

TEST_F(EditorDialog, AnEntryRefusedWhileTheWheelIsNotConvertedDoesNotBlockSaving)
{
    m_folder.WriteIni("[config]\r\nConvertToScroll=TRUE\r\nLinesToScroll=7\r\n");
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    editor.Paste(IDC_LINES, "0");
    editor.Click(IDC_CONVERT_TO_SCROLL);
    editor.Click(IDC_REHOOK);
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit()) << "the disabled field's entry blocked OK";
    EXPECT_EQ(m_folder.Value("ConvertToScroll"), "FALSE");
    EXPECT_EQ(m_folder.Value("LinesToScroll"), "7");
    EXPECT_EQ(m_folder.Value("Rehook"), "1");
}

TEST_F(EditorDialog, ALinesValueAboveHundredInTheFileIsShownAndKeptUnlessEdited)
{
    const std::string original = "[config]\r\nConvertToScroll=TRUE\r\nLinesToScroll=250\r\n";
    m_folder.WriteIni(original);
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    EXPECT_EQ(editor.Text(IDC_LINES), "250");
    EXPECT_FALSE(IsWindowEnabled(editor.Control(IDC_APPLY))) << "opening the editor is no edit";
    editor.Click(IDC_REHOOK);
    editor.PostClick(IDOK);
    ASSERT_TRUE(editor.WaitForExit());
    EXPECT_THAT(LineChanges(original, m_folder.ReadIni()), ElementsAre("+Rehook=1"));
    EXPECT_THAT(m_program.Codes(), ElementsAre(1u));
}

TEST_F(EditorDialog, TheErrorLineTakesRoomOnlyWhileItShows)
{
    m_folder.WriteIni("[config]\r\nConvertToScroll=TRUE\r\n");
    EditorProcess editor(m_folder);
    ASSERT_TRUE(editor.WaitForDialog());
    const HWND error = editor.Control(IDC_LINES_ERROR);
    const RECT before = RectOf(editor.Dialog());
    const int gap = RectOf(editor.Control(IDC_REVERSE_SCROLL)).top - RectOf(editor.Control(IDC_LINES)).bottom;

    const auto height = [](const RECT& rect) { return rect.bottom - rect.top; };
    editor.Paste(IDC_LINES, "0");
    editor.PostClick(IDOK);
    // The editor shows the line, then makes room for it: both are awaited.
    ASSERT_TRUE(WaitFor([&] {
        return IsWindowVisible(error) != FALSE && height(RectOf(editor.Dialog())) > height(before);
    })) << "the dialog did not grow for the error line";
    const RECT shown = RectOf(error);
    const int errorHeight = shown.bottom - shown.top;
    EXPECT_GT(errorHeight, 0);
    EXPECT_LT(gap, errorHeight) << "room was kept for the error line while there was none";
    EXPECT_GE(shown.top, RectOf(editor.Control(IDC_LINES)).bottom);
    EXPECT_LE(shown.bottom, RectOf(editor.Control(IDC_REVERSE_SCROLL)).top) << "it covers the next setting";
    const RECT grown = RectOf(editor.Dialog());
    EXPECT_GE(height(grown), height(before) + errorHeight) << "the dialog makes room";
    EXPECT_EQ(grown.top, before.top) << "and grows downwards";
    EXPECT_GE(RectOf(editor.Control(IDOK)).top, RectOf(editor.Control(IDC_RUN_AS_ADMIN)).bottom);

    editor.Type(IDC_LINES, "5");
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(error) && height(RectOf(editor.Dialog())) == height(before); }))
        << "the room goes with the error line";
}

// Doubles the system's message font for the editors started meanwhile (they read it when they start), and
// puts it back.
class BiggerMessageFont
{
  public:
    BiggerMessageFont()
    {
        m_saved.cbSize = sizeof(m_saved);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m_saved), &m_saved, 0)) {
            NONCLIENTMETRICSW bigger = m_saved;
            bigger.lfMessageFont.lfHeight *= 2;
            m_changed = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(bigger), &bigger, SPIF_UPDATEINIFILE);
        }
    }
    ~BiggerMessageFont()
    {
        if (m_changed) {
            SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(m_saved), &m_saved, SPIF_UPDATEINIFILE);
        }
    }
    BiggerMessageFont(const BiggerMessageFont&) = delete;
    BiggerMessageFont& operator=(const BiggerMessageFont&) = delete;
    bool Changed() const { return m_changed != FALSE; }

  private:
    NONCLIENTMETRICSW m_saved = {};
    BOOL m_changed = FALSE;
};

int EditorWidth(const EditorFolder& folder)
{
    EditorProcess editor(folder);
    if (!editor.WaitForDialog()) {
        return 0;
    }
    const RECT rect = RectOf(editor.Dialog());
    editor.PostClick(IDCANCEL);
    return editor.WaitForExit() ? rect.right - rect.left : 0;
}

TEST(EditorFont, IsTheSystemsDialogFont)
{
    // From Vista on that is the message font (Segoe UI 9 pt on Windows, Tahoma 8 pt under Wine); a much
    // bigger one shows whether the editor takes it at all: its dialog units, and so its size, follow the font.
    EditorFolder folder;
    folder.WriteIni(kUsersIni);
    const int usual = EditorWidth(folder);
    ASSERT_GT(usual, 0);
    int bigger = 0;
    {
        BiggerMessageFont font;
        ASSERT_TRUE(font.Changed());
        bigger = EditorWidth(folder);
    }
    EXPECT_GT(bigger, usual * 3 / 2);
}

} // namespace
