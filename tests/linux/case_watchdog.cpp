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

// Never destroyed: the watching thread may still wait on it while the program's
// statics go at exit.
struct Watch {
    std::mutex guard;
    std::condition_variable caseChanged;
    std::string runningCase;   // empty between cases
    unsigned long changes = 0;
};
Watch &watch = *new Watch;

int WaitScale()
{
    const char *text = std::getenv("NIMBRA_TEST_WAIT_SCALE");
    const long value = text ? std::strtol(text, nullptr, 10) : 1;
    return value >= 1 && value <= 100 ? static_cast<int>(value) : 1;
}

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
        std::fflush(stderr);
        _exit(3);   // the programs a case started end with it (PR_SET_PDEATHSIG)
    }
}

class CaseWatchdog : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &test) override
    {
        Note(std::string(test.test_suite_name()) + "." + test.name());
    }
    void OnTestEnd(const testing::TestInfo &) override { Note(std::string()); }
    static void Note(const std::string &name)
    {
        {
            std::lock_guard<std::mutex> lock(watch.guard);
            watch.runningCase = name;
            ++watch.changes;
        }
        watch.caseChanged.notify_one();
    }
};

const bool installed = [] {
    std::thread(WatchCases, std::chrono::seconds(CaseLimitSeconds * WaitScale())).detach();
    testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return true;
}();

}  // namespace
