// A stand-in for the settings editor: appends its command line and current folder as one line of
// editor-launches.txt in its own folder, then ends with code 0.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
constexpr char kLaunchLogName[] = "editor-launches.txt";
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    char* cut = length > 0 && length < sizeof path ? std::strrchr(path, '\\') : nullptr;
    if (cut == nullptr)
        return 0;
    std::snprintf(cut + 1, sizeof path - static_cast<size_t>(cut + 1 - path), "%s", kLaunchLogName);

    char directory[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof directory, directory);

    // One write of the whole line: two launches at once must not interleave.
    char line[2 * MAX_PATH + 64];
    int size = std::snprintf(line, sizeof line, "dir=%s\tcmd=%s\r\n", directory, ::GetCommandLineA());
    if (size < 0)
        return 0;
    if (size >= static_cast<int>(sizeof line)) {
        // Cut, but still one whole line.
        size = static_cast<int>(sizeof line) - 1;
        line[size - 2] = '\r';
        line[size - 1] = '\n';
    }
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
