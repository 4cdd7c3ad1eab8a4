// Drives a real RollixConfig.exe from a test process the way a user would: a fresh folder with its
// own rollix.ini, clicks and keys sent to the dialog's controls, and a stand-in for the running program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Waits, by bounded polling while pumping this thread's messages, until `done` holds.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 15000);

// How `after` differs from `before`, line by line: "-line" for each line gone, "+line" for each new one, sorted.
std::vector<std::string> LineChanges(const std::string& before, const std::string& after);

// A fresh folder holding a copy of the editor and, optionally, a rollix.ini.
class EditorFolder
{
  public:
    EditorFolder();
    ~EditorFolder();
    EditorFolder(const EditorFolder&) = delete;
    EditorFolder& operator=(const EditorFolder&) = delete;

    std::string IniPath() const;
    void WriteIni(const std::string& text) const;
    std::string ReadIni() const;
    std::string Value(const char* key, const char* section = "config") const; // "<missing>" if absent
    std::string ExePath() const;
    std::string FilePath(const char* name) const; // a file in the folder

  private:
    std::string m_path;
};

// One running editor process and its dialog.
class EditorProcess
{
  public:
    explicit EditorProcess(const EditorFolder& folder);
    ~EditorProcess(); // ends the process if a test left it running
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    bool WaitForDialog();
    bool WaitForExit(DWORD* exitCode = nullptr);
    bool Running() const;
    HWND Dialog() const { return m_dialog; }
    HWND Control(int id) const;

    void Click(int id) const;     // a mouse click on a button, handled before this returns
    void PostClick(int id) const; // for buttons whose handling may open a modal message box
    bool Checked(int id) const;
    int Selection(int id) const;          // a drop-down list's selected item
    void Choose(int id, int index) const; // selects an item of a drop-down list, as the user would
    std::string Text(int id) const;
    void Type(int id, const char* text) const;  // select all, then the characters one by one
    void Paste(int id, const char* text) const; // replaces the text, as a paste would
    HWND Focus() const;
    void PressKey(WPARAM key) const;             // to the control that has the focus
    void PressAltKey(char letter) const;         // a mnemonic
    HWND WaitForMessageBox() const;              // a second dialog-class window of this process
    HWND WaitForWindow(const char* title) const; // a shown window of this process with this caption, or null
    void Within(HWND dialog) { m_dialog = dialog; } // the dialog whose controls the calls above reach
    static std::string WindowTexts(HWND window); // the window's and its children's texts

  private:
    PROCESS_INFORMATION m_process = {};
    HWND m_dialog = nullptr;
};

// A hidden window of class "obj_Form" titled "Rollix Portable" that records the control codes it is posted.
class FakeProgram
{
  public:
    FakeProgram();
    ~FakeProgram();
    FakeProgram(const FakeProgram&) = delete;
    FakeProgram& operator=(const FakeProgram&) = delete;

    // Every code posted so far; the editor posts before it exits, so after its exit all are queued.
    std::vector<unsigned> Codes();

  private:
    HWND m_window = nullptr;
};
