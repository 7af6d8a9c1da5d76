#pragma once
// Permission tests need a user the system refuses things to. Run as root,
// one of these makes the process act as "nobody" (user and group 65534, no
// supplementary groups) while it lives; run as anyone else, the process
// already is such a user and nothing changes. Root gets its ids back also
// when an assertion ends the test early.

#include <vector>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

class TUnprivileged {
public:
    static constexpr uid_t kUser = 65534;
    static constexpr gid_t kGroup = 65534;

    TUnprivileged() {
        if (::geteuid() != 0) return;
        const int count = ::getgroups(0, nullptr);
        groups_.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        if (count > 0) ::getgroups(count, groups_.data());
        // Groups first: once the user is not root, they cannot be changed.
        dropped_ = ::setgroups(0, nullptr) == 0 && ::setegid(kGroup) == 0 && ::seteuid(kUser) == 0;
    }
    ~TUnprivileged() {
        if (!dropped_) return;
        [[maybe_unused]] const int user = ::seteuid(0);
        [[maybe_unused]] const int group = ::setegid(0);
        [[maybe_unused]] const int groups = ::setgroups(groups_.size(), groups_.data());
    }
    TUnprivileged(const TUnprivileged&) = delete;
    TUnprivileged& operator=(const TUnprivileged&) = delete;

    // Whether the process is now refused what its mode bits refuse.
    bool Active() const { return dropped_ || ::geteuid() != 0; }
    // Only root can act as a second user, to own what the first cannot change.
    static bool CanBeAnotherUser() { return ::geteuid() == 0; }

    // A folder any user may enter and write (a temporary folder is its
    // creator's alone).
    static bool OpenToAll(const QString& folder) {
        return ::chmod(QFile::encodeName(folder).constData(), 0777) == 0;
    }

private:
    bool dropped_ = false;
    std::vector<gid_t> groups_;
};
