// Linked into every native test program: a case still running after a minute
// (stretched by NIMBRA_TEST_WAIT_SCALE) fails under its own name and the program
// ends there. Without it a wait that never ends (an X reply that never comes, a
// started program that never exits) holds the program until CTest's limit, which
// names no case.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const int CaseLimitSeconds = 60;

// Never destroyed: the watching thread still waits on it while statics go at exit.
struct Watch {
    std::mutex guard;
    std::condition_variable caseChanged;
    std::string runningCase;   // empty between cases
    unsigned long changes = 0;
} &watch = *new Watch;

void WatchCases(std::chrono::seconds limit)
{
    std::unique_lock<std::mutex> lock(watch.guard);
    for (;;) {
        const unsigned long seen = watch.changes;
        if (watch.caseChanged.wait_for(lock, limit, [seen] { return watch.changes != seen; }) ||
            watch.runningCase.empty())
            continue;
        std::printf("\n[  FAILED  ] %s: still running after %lld s; a wait in it never ended\n",
                    watch.runningCase.c_str(), static_cast<long long>(limit.count()));
        std::fflush(stdout);
        _exit(3);   // the programs a case started end with it (PR_SET_PDEATHSIG)
    }
}

void NoteCase(const std::string &name)
{
    std::lock_guard<std::mutex> lock(watch.guard);
    watch.runningCase = name;
    ++watch.changes;
    watch.caseChanged.notify_one();
}

struct CaseWatchdog : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &test) override
    {
        NoteCase(std::string(test.test_suite_name()) + "." + test.name());
    }
    void OnTestEnd(const testing::TestInfo &) override { NoteCase(""); }
};

const bool installed = [] {
    const char *scale = std::getenv("NIMBRA_TEST_WAIT_SCALE");
    const long factor = scale ? std::strtol(scale, nullptr, 10) : 1;
    const std::chrono::seconds limit(CaseLimitSeconds * (factor >= 1 && factor <= 100 ? factor : 1));
    std::thread(WatchCases, limit).detach();
    testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return true;
}();

}  // namespace
