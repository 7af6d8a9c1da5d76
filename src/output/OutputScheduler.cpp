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
    : m_output(std::move(output)), m_name(m_output->Name()), m_options(options) {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TOutputScheduler::~TOutputScheduler() {
    Stop();
    if (m_wakeFd >= 0) ::close(m_wakeFd);
}

void TOutputScheduler::Start() {
    if (m_thread.joinable()) return;
    m_stopping = false;
    m_running = true;
    m_thread = std::thread([this] { Run(); });
}

void TOutputScheduler::Stop() {
    if (!m_thread.joinable()) return;
    m_stopping = true;
    Wake();
    m_thread.join();
    m_running = false;
}

void TOutputScheduler::Post(TLevelSpan levels) {
    bool wasFresh;
    {
        std::lock_guard lock(m_mailboxLock);
        std::memcpy(m_mailbox.data(), levels.data(), levels.size());
        wasFresh = m_fresh;
        m_fresh = true;
    }
    // One wake per batch: the thread takes whatever is newest when it runs.
    if (!wasFresh) Wake();
}

TOutputState TOutputScheduler::State() const {
    return m_running.load() ? m_output->State() : TOutputState::Off;
}

void TOutputScheduler::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

void TOutputScheduler::Run() {
    using TClock = TSendSchedule::TClock;
    TSendSchedule schedule(TSendSchedule::IntervalForRate(m_options.packetsPerSecond),
                           m_options.keepAlive);
    std::array<std::uint8_t, DMX_UNIVERSE_SIZE> current{};
    m_output->Start();
    auto nextService = TClock::now();
    while (!m_stopping.load()) {
        auto now = TClock::now();
        {
            std::lock_guard lock(m_mailboxLock);
            if (m_fresh) {
                current = m_mailbox;
                m_fresh = false;
                schedule.Offer(now);
            }
        }
        if (now >= nextService) {
            m_output->Service(now);
            nextService = now + SERVICE_INTERVAL;
        }
        if (schedule.Due(now)) {
            if (m_output->Send(TLevelSpan(current))) ++m_sent;
            schedule.Sent(now);
        }
        const auto wake = std::min(schedule.NextWake(), nextService);
        now = TClock::now();
        const auto waitMs =
            wake <= now ? 0 : std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_output->WaitFd(), POLLIN, 0}};
        const int count = fds[1].fd >= 0 ? 2 : 1;
        if (::poll(fds, count, static_cast<int>(std::min<long long>(waitMs, 60000))) > 0) {
            std::uint64_t drained = 0;
            if (fds[0].revents & POLLIN) {
                [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &drained, sizeof drained);
            }
            if (count == 2 && (fds[1].revents & POLLIN)) nextService = TClock::now();
        }
    }
    m_output->Stop();
}
