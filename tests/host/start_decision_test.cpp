// The start-up decision: every row of the table, before and after Vista, and when RunAsAdmin is asked.
#include "start_decision.h"

#include <gtest/gtest.h>

namespace {

struct Query
{
    bool runAsAdmin = false;
    int asked = 0;
};

bool AskRunAsAdmin(void* context)
{
    auto* query = static_cast<Query*>(context);
    ++query->asked;
    return query->runAsAdmin;
}

struct Row
{
    const char* name;
    const char* parameter;
    bool runningCopy;
    bool vista;
    bool runAsAdmin;
    StartAction expected;
    bool asksRunAsAdmin;
};

void CheckRows(const Row* rows, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const Row& row = rows[i];
        Query query;
        query.runAsAdmin = row.runAsAdmin;
        StartAction action = DecideStart(row.parameter, row.runningCopy, row.vista, &AskRunAsAdmin, &query);
        EXPECT_EQ(action, row.expected) << row.name;
        EXPECT_EQ(query.asked, row.asksRunAsAdmin ? 1 : 0) << row.name;
    }
}

using A = StartAction;

TEST(DecideStart, SwitchesFromTheProgramItself)
{
    const Row rows[] = {
        {"admin, alone, Vista", "/admin", false, true, true, A::GoOnAsAdminSwitchStart, false},
        {"noadmin, alone, Vista", "/noadmin", false, true, true, A::GoOnAsAdminSwitchStart, false},
        {"admin, alone, before Vista", "/admin", false, false, true, A::GoOn, false},
        {"noadmin, alone, before Vista", "/noadmin", false, false, false, A::GoOn, false},
        {"admin, copy runs, Vista", "/admin", true, true, false, A::WriteShowRollixAndEnd, false},
        {"noadmin, copy runs, Vista", "/noadmin", true, true, true, A::WriteShowRollixAndEnd, false},
        {"admin, copy runs, before Vista", "/admin", true, false, true, A::PostOpenEditorAndEnd, false},
        {"noadmin, copy runs, before Vista", "/noadmin", true, false, false, A::PostOpenEditorAndEnd, false},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST(DecideStart, CloseAsksTheRunningCopyOrEndsAtOnce)
{
    const Row rows[] = {
        {"close, copy runs, Vista", "-close", true, true, true, A::PostQuitWaitAndEnd, false},
        {"close, copy runs, before Vista", "-close", true, false, false, A::PostQuitWaitAndEnd, false},
        {"close, alone, Vista, RunAsAdmin on", "-close", false, true, true, A::End, false},
        {"close, alone, before Vista", "-close", false, false, false, A::End, false},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST(DecideStart, OrdinaryStartReadsRunAsAdminOnlyAloneOnVista)
{
    const Row rows[] = {
        {"none, copy runs, Vista", "", true, true, true, A::PostOpenEditorAndEnd, false},
        {"none, copy runs, before Vista", "", true, false, true, A::PostOpenEditorAndEnd, false},
        {"none, alone, before Vista, RunAsAdmin on", "", false, false, true, A::GoOn, false},
        {"none, alone, Vista, RunAsAdmin off", "", false, true, false, A::GoOn, true},
        {"none, alone, Vista, RunAsAdmin on", "", false, true, true, A::RelaunchElevatedAndEnd, true},
        {"null parameter, alone, Vista, RunAsAdmin on", nullptr, false, true, true, A::RelaunchElevatedAndEnd, true},
        {"null parameter, copy runs", nullptr, true, false, false, A::PostOpenEditorAndEnd, false},
        {"other word, alone, Vista, RunAsAdmin on", "hello", false, true, true, A::RelaunchElevatedAndEnd, true},
    };
    CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST(DecideStart, NearMissesOfTheSwitchesAreOrdinaryStarts)
{
    // Compared whole and case-sensitively: these act like no parameter at all.
    for (const char* parameter :
         {"/ADMIN", "/Admin", "admin", "/admin ", "/noadmin2", "-CLOSE", "close", "/close", "\"/admin\"", "/"}) {
        const Row rows[] = {
            {parameter, parameter, false, true, true, A::RelaunchElevatedAndEnd, true},
            {parameter, parameter, false, true, false, A::GoOn, true},
            {parameter, parameter, false, false, true, A::GoOn, false},
            {parameter, parameter, true, true, true, A::PostOpenEditorAndEnd, false},
            {parameter, parameter, true, false, true, A::PostOpenEditorAndEnd, false},
        };
        CheckRows(rows, sizeof rows / sizeof rows[0]);
    }
}

} // namespace
