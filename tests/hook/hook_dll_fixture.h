// The fixture of the tests that drive the real RollixHook.dll from a process that stands in for the program.
#pragma once

#include "hook_test_driver.h"

#include <gtest/gtest.h>

class HookDll : public testing::Test
{
  protected:
    void Launch(const std::string& options)
    {
        ASSERT_TRUE(m_program.Create());
        ASSERT_TRUE(m_target.Start(options)) << "the target window's process did not come up";
        ASSERT_TRUE(m_hook.Load()) << ROLLIX_HOOK_DLL << " or one of its three exports is missing";
    }

    void Click(HWND over, int button)
    {
        ASSERT_TRUE(RunXdotool(m_folder, MoveAndClick(CenterOf(over), button))) << "xdotool failed";
    }

    void Fence() { ASSERT_TRUE(WheelFence(m_folder, m_target)) << "the fence wheel never reached the focus"; }

    std::vector<LoggedMessage> Of(const std::string& window, const std::string& message) const
    {
        return m_target.Of(window, message);
    }
    std::vector<int> Deltas(const std::string& window, const std::string& message) const
    {
        return m_target.Deltas(window, message);
    }
    std::vector<int> Codes(const std::string& window, const std::string& message) const
    {
        return m_target.Codes(window, message);
    }

    WorkFolder m_folder;
    FakeProgramWindow m_program;
    TargetWindowProcess m_target{m_folder};
    HookLibrary m_hook;
};
