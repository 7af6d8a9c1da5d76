#include "output/OutputScheduler.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
// Service work (discovery, polls, reconnects) runs at least this often.
constexpr std::chrono::milliseconds SERVICE_INTERVAL{1000};
} // namespace

TOutputScheduler::TOutputScheduler(std::unique_ptr<TOutput> output, TSchedulerOptions options)
    : output_(std::move(output)), name_(output_->Name()), options_(options) {
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TOutputScheduler::~TOutputScheduler() {
    Stop();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TOutputScheduler::Start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
}

void TOutputScheduler::Stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    Wake();
    thread_.join();
    running_ = false;
}

void TOutputScheduler::Post(TLevelSpan levels) {
    bool wasFresh;
    {
        std::lock_guard lock(mailboxLock_);
        std::memcpy(mailbox_.data(), levels.data(), levels.size());
        wasFresh = fresh_;
        fresh_ = true;
    }
    // One wake per batch: the thread takes whatever is newest when it runs.
    if (!wasFresh) Wake();
}

TOutputState TOutputScheduler::State() const {
    return running_.load() ? output_->State() : TOutputState::Off;
}

void TOutputScheduler::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void TOutputScheduler::Run() {
    using TClock = TSendSchedule::TClock;
    TSendSchedule schedule(TSendSchedule::IntervalForRate(options_.packetsPerSecond),
                           options_.keepAlive, output_->CopiesOfNewLevels());
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> current{};
    output_->Start();
    auto nextService = TClock::now();
    while (!stopping_.load()) {
        auto now = TClock::now();
        {
            std::lock_guard lock(mailboxLock_);
            if (fresh_) {
                current = mailbox_;
                fresh_ = false;
                schedule.Offer(now);
            }
        }
        if (now >= nextService) {
            output_->Service(now);
            nextService = now + SERVICE_INTERVAL;
        }
        if (schedule.Due(now)) {
            if (output_->Send(TLevelSpan(current))) ++sent_;
            schedule.Sent(now);
        }
        const auto wake = std::min(schedule.NextWake(), nextService);
        now = TClock::now();
        const auto waitMs =
            wake <= now ? 0 : std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {output_->WaitFd(), POLLIN, 0}};
        const int count = fds[1].fd >= 0 ? 2 : 1;
        if (::poll(fds, count, static_cast<int>(std::min<long long>(waitMs, 60000))) > 0) {
            std::uint64_t drained = 0;
            if (fds[0].revents & POLLIN) {
                [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &drained, sizeof drained);
            }
            if (count == 2 && (fds[1].revents & POLLIN)) nextService = TClock::now();
        }
    }
    output_->Stop();
}
