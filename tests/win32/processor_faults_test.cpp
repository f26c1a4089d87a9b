// Processor faults reach a program as Windows delivers them: the exception
// code, and for access violations whether it was a read, a write or an
// execution, and where. Where 32-bit programs run under qemu's user
// emulation, this rests on the trap numbers that the runner restores.
#include <gtest/gtest.h>

#include "support/quillow_process.h"

namespace {

TEST(ProcessorFaults, ReachTheProgramAsWindowsDeliversThem)
{
    const wchar_t* const kinds[] = {L"read", L"write", L"execute", L"guard", L"divide", L"breakpoint", L"invalid"};
    for (const wchar_t* kind : kinds) {
        SCOPED_TRACE(testing::Message() << "fault " << std::wstring(kind));
        testsupport::TProgram probe(L"fault_probe.exe", kind);
        DWORD exitCode = 0;
        ASSERT_TRUE(probe.WaitForExit(exitCode, 30000));
        EXPECT_EQ(exitCode, 0u) << "2: another exception or other details; 3: no exception";
    }
}

}  // namespace
