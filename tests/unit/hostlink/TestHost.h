#pragma once
// A host on a private endpoint, serving on its own thread, for tests and
// benchmarks of the host link.

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostlink/HostServer.h"

// Points XDG_RUNTIME_DIR at a fresh folder for the lifetime of the object.
class PrivateRuntimeDir {
public:
    PrivateRuntimeDir() {
        char pattern[] = "/tmp/vantrelle-hostlink-XXXXXX";
        path_ = ::mkdtemp(pattern);
        ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
    }
    ~PrivateRuntimeDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class TestHost {
public:
    // Held: each message is kept from its answer until the test opens the gate.
    enum class Answers { AtOnce, Held };

    explicit TestHost(hostlink::HostServer::Options options = {}, Answers answers = Answers::AtOnce)
        : open_(answers == Answers::AtOnce),
          server_(hostlink::EndpointPath(hostlink::HOST_CLASS_NAME), options,
                  [this](const hostlink::ReceivedMessage& m) {
                      std::unique_lock lock(mutex_);
                      messages_.push_back(m);
                      changed_.notify_all();
                      changed_.wait(lock, [this] { return open_; });
                  }),
          thread_([this] { server_.Run(); }) {}
    ~TestHost() {
        Open();
        server_.Stop();
        thread_.join();
    }

    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    std::vector<hostlink::ReceivedMessage> Messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    bool WaitForCount(std::size_t n, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return messages_.size() >= n; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<hostlink::ReceivedMessage> messages_;
    bool open_;
    hostlink::HostServer server_;
    std::thread thread_;
};
