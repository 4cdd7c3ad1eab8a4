// What the system itself makes of a program's manifest: the activation context it builds from it and what
// that context says about elevation, the assemblies it binds and the program's DPI awareness.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ActivationContextFacts
{
    bool created = false;
    DWORD error = 0; // why it was not created
    ACTCTX_REQUESTED_RUN_LEVEL runLevel = ACTCTX_RUN_LEVEL_UNSPECIFIED;
    bool uiAccess = false;
    std::vector<std::string> assemblies; // encoded identities: the program's own, then what it depends on
    std::wstring dpiAware;               // the settings' texts, empty when absent
    std::wstring dpiAwareness;
};

// A setting of the application's windowsSettings element, in its namespace.
inline std::wstring ActivationContextSetting(HANDLE context, const wchar_t* nameSpace, const wchar_t* name)
{
    wchar_t text[128] = L"";
    SIZE_T written = 0;
    if (!::QueryActCtxSettingsW(0, context, nameSpace, name, text, sizeof text / sizeof text[0], &written))
        return std::wstring();
    return text;
}

// The activation context of the manifest resource (number 1) of the program file.
inline ActivationContextFacts ReadActivationContext(const std::string& program)
{
    ActivationContextFacts facts;
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = ::CreateActCtxA(&request);
    if (context == INVALID_HANDLE_VALUE) {
        facts.error = ::GetLastError();
        return facts;
    }
    facts.created = true;

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    SIZE_T size = 0;
    if (::QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level, &size)) {
        facts.runLevel = level.RunLevel;
        facts.uiAccess = level.UiAccess != 0;
    }

    // Both answers carry their strings after the structure.
    std::vector<char> detail(4096);
    if (::QueryActCtxW(0, context, nullptr, ActivationContextDetailedInformation, detail.data(), detail.size(),
                       &size)) {
        DWORD count = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data())->ulAssemblyCount;
        for (DWORD index = 1; index <= count; ++index) {
            std::vector<char> buffer(4096);
            if (!::QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, buffer.data(),
                                buffer.size(), &size))
                continue;
            auto* assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
            if (assembly->lpAssemblyEncodedAssemblyIdentity == nullptr)
                continue;
            char identity[1024] = "";
            ::WideCharToMultiByte(CP_ACP, 0, assembly->lpAssemblyEncodedAssemblyIdentity, -1, identity, sizeof identity,
                                  nullptr, nullptr);
            facts.assemblies.push_back(identity);
        }
    }

    facts.dpiAware =
        ActivationContextSetting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    facts.dpiAwareness =
        ActivationContextSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");
    ::ReleaseActCtx(context);
    return facts;
}
