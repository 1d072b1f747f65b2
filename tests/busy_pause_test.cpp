// The busy pause really counts: every pass reads PauseCount from the form and
// writes it back, which a compiler may not fold into one store.
#include "test_support.h"

#include "program/form1.h"
#include "program/handler_frame.h"

#include <csignal>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

namespace zelk::tests {
namespace {

// Counts the memory accesses made to one page: the page is kept inaccessible,
// each access faults, is counted, and is let through by opening the page for
// one instruction (the trap flag) and closing it again.
class AccessCounter {
public:
    AccessCounter() {
        size_ = std::size_t(sysconf(_SC_PAGESIZE));
        page_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (page_ == MAP_FAILED) throw std::runtime_error("no page to watch");
        current_ = this;
        struct sigaction fault {
        }, step{};
        fault.sa_flags = step.sa_flags = SA_SIGINFO;
        fault.sa_sigaction = onFault;
        step.sa_sigaction = onStep;
        sigaction(SIGSEGV, &fault, &savedFault_);
        sigaction(SIGTRAP, &step, &savedStep_);
    }
    ~AccessCounter() {
        sigaction(SIGSEGV, &savedFault_, nullptr);
        sigaction(SIGTRAP, &savedStep_, nullptr);
        munmap(page_, size_);
        current_ = nullptr;
    }
    void* page() const { return page_; }

    template <class F>
    long count(F&& f) {
        accesses_ = 0;
        mprotect(page_, size_, PROT_NONE);
        f();
        mprotect(page_, size_, PROT_READ | PROT_WRITE);
        return accesses_;
    }

private:
    static void onFault(int, siginfo_t* info, void* context) {
        AccessCounter* self = current_;
        auto* at = static_cast<char*>(info->si_addr);
        if (!self || at < static_cast<char*>(self->page_) || at >= static_cast<char*>(self->page_) + self->size_) {
            sigaction(SIGSEGV, &self->savedFault_, nullptr);  // a real fault: let it take its course
            return;
        }
        self->accesses_ = self->accesses_ + 1;
        mprotect(self->page_, self->size_, PROT_READ | PROT_WRITE);
        static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EFL] |= kTrapFlag;
    }
    static void onStep(int, siginfo_t*, void* context) {
        mprotect(current_->page_, current_->size_, PROT_NONE);
        static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EFL] &= ~kTrapFlag;
    }

    static constexpr greg_t kTrapFlag = 0x100;
    static inline AccessCounter* current_ = nullptr;
    void* page_;
    std::size_t size_;
    volatile long accesses_ = 0;
    struct sigaction savedFault_ {
    }, savedStep_{};
};

TEST(BusyPause, ReadsAndWritesTheFormsCounterOnEveryPass) {
    AccessCounter counter;
    auto* form = new (counter.page()) program::Form1{};
    for (std::int32_t limit : {1, 10, 1000}) {
        const long accesses = counter.count([&] { program::BusyPause(form, limit); });
        EXPECT_GE(accesses, 2L * limit) << "limit " << limit << ": a read and a write each pass";
        EXPECT_EQ(form->PauseCount, limit + 1);
    }
}

TEST(BusyPause, CountsFromOneToLimitPlusOneWhateverItFinds) {
    program::Form1 form{};
    for (std::int32_t start : {0, 50000001, -5}) {
        form.PauseCount = start;
        program::BusyPause(&form, 20000000);
        EXPECT_EQ(form.PauseCount, 20000001);
    }
    program::BusyPause(&form, 0);
    EXPECT_EQ(form.PauseCount, 1) << "limit 0: no addition";
}

TEST(BusyPause, AnIncrementPastTheLargestValueRaisesOverflow) {
    process();
    program::Form1 form{};
    static int overflows;
    overflows = 0;
    ImportSpy<formats::Import::__vbaErrorOverflow> spy([] {
        ++overflows;
        throw runtime_interface::RaisedError(6, "Overflow");
    });
    EXPECT_THROW(program::BusyPause(&form, std::numeric_limits<std::int32_t>::max()), runtime_interface::RaisedError);
    EXPECT_EQ(overflows, 1);
    EXPECT_EQ(form.PauseCount, std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace zelk::tests
