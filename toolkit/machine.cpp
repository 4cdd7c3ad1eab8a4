// The real machine: each call goes straight to Windows.
#include "machine.h"

namespace {
Machine g_realMachine;
Machine* g_machine = &g_realMachine;
} // namespace

DWORD Machine::GetVersion()
{
    return ::GetVersion();
}

LPSTR Machine::GetCommandLine()
{
    return ::GetCommandLineA();
}

DWORD Machine::GetModuleFileName(char* buffer, DWORD size)
{
    return ::GetModuleFileNameA(nullptr, buffer, size);
}

BOOL Machine::ShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data)
{
    return ::Shell_NotifyIconA(operation, data);
}

BOOL Machine::PeekMessage(MSG* message, UINT removal)
{
    return ::PeekMessageA(message, nullptr, 0, 0, removal);
}

BOOL Machine::WaitMessage()
{
    return ::WaitMessage();
}

Machine& TheMachine()
{
    return *g_machine;
}

void SetMachine(Machine* machine)
{
    g_machine = machine != nullptr ? machine : &g_realMachine;
}
