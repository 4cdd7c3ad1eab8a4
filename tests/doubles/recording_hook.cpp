// A stand-in for RollixHook.dll: records every call as a line of hooklog.txt beside the library and reports
// a last-mouse-message time that a test sets in hooktime.txt ("age <seconds>" or an absolute date).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HMODULE g_library = nullptr;

constexpr char kLogName[] = "hooklog.txt";
constexpr char kTimeName[] = "hooktime.txt";
constexpr char kAgePrefix[] = "age ";
constexpr double kSecondsPerDay = 86400.0;
constexpr double kFileTimeUnitsPerDay = 864000000000.0;
// Days from 1 January 1601 (the file-time origin) to 30 December 1899 (the date origin).
constexpr double kDateOriginInFileTimeDays = 109205.0;

// The library's folder with name appended; false when the path does not fit.
bool BesideLibrary(const char* name, char* path, size_t size)
{
    char module[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(g_library, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        return false;
    char* cut = std::strrchr(module, '\\');
    if (cut == nullptr)
        return false;
    cut[1] = '\0';
    return std::snprintf(path, size, "%s%s", module, name) < static_cast<int>(size);
}

// Appends one line and closes the file again, so a test reading it meanwhile sees every call so far.
void Log(const char* line)
{
    char path[MAX_PATH];
    if (!BesideLibrary(kLogName, path, sizeof path))
        return;
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[128];
    int length = std::snprintf(text, sizeof text, "%s\r\n", line);
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    ::FlushFileBuffers(file);
    ::CloseHandle(file);
}

// The local time as days since 30 December 1899, to the millisecond, as the program reads its own clock.
double LocalNow()
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FILETIME stamp;
    ::SystemTimeToFileTime(&now, &stamp);
    ULARGE_INTEGER units;
    units.LowPart = stamp.dwLowDateTime;
    units.HighPart = stamp.dwHighDateTime;
    return static_cast<double>(units.QuadPart) / kFileTimeUnitsPerDay - kDateOriginInFileTimeDays;
}

// What hooktime.txt asks for; now when it is missing or unreadable.
double ReportedTime()
{
    char path[MAX_PATH];
    if (!BesideLibrary(kTimeName, path, sizeof path))
        return LocalNow();
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return LocalNow();
    char text[64] = {};
    size_t read = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[read] = '\0';

    bool isAge = std::strncmp(text, kAgePrefix, sizeof kAgePrefix - 1) == 0;
    const char* number = isAge ? text + sizeof kAgePrefix - 1 : text;
    char* end = nullptr;
    double value = std::strtod(number, &end);
    if (end == number)
        return LocalNow();
    return isAge ? LocalNow() - value / kSecondsPerDay : value;
}

} // namespace

// Exported under plain names through RollixHook.def (no dllexport, which would add decorated names).
extern "C" {

void WINAPI RollixHookStart(int convertToScroll, int linesToScroll, int flags)
{
    char line[96];
    std::snprintf(line, sizeof line, "RollixHookStart %d %d %d", convertToScroll, linesToScroll, flags);
    Log(line);
}

void WINAPI RollixHookStop()
{
    Log("RollixHookStop");
}

double WINAPI GetLastMouseMessageTime()
{
    Log("GetLastMouseMessageTime");
    return ReportedTime();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_library = instance;
    return TRUE;
}

} // extern "C"
