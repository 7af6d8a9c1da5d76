#include "hostlink/EndpointTrust.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace hostlink {

std::string UserNameOf(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && *found->pw_name != '\0')
        return found->pw_name;
    return std::to_string(uid);
}

std::string CurrentUserName() {
    return UserNameOf(::getuid());
}

std::optional<std::string> FolderProblem(const struct stat& st, bool strict) {
    if (S_ISLNK(st.st_mode)) return "the folder is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return "the folder is not a directory";
    if (st.st_uid != ::getuid()) return "the folder belongs to user " + UserNameOf(st.st_uid);
    if (strict && (st.st_mode & 077) != 0) return "the folder is open to other users";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return "other users can write to the folder";
    return std::nullopt;
}

std::optional<std::string> SocketProblem(const struct stat& st) {
    if (S_ISLNK(st.st_mode)) return "the endpoint is a symbolic link";
    if (!S_ISSOCK(st.st_mode)) return "the endpoint is not a socket";
    if (st.st_uid != ::getuid()) return "the endpoint belongs to user " + UserNameOf(st.st_uid);
    return std::nullopt;
}

std::optional<std::string> PeerProblem(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return "the host's user cannot be told";
    if (peer.uid != ::getuid()) return "the host runs as user " + UserNameOf(peer.uid);
    return std::nullopt;
}

std::optional<std::string> EnsurePrivateFolder(const std::string& folder, bool strict) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "the folder cannot be made: " + std::string(std::strerror(errno));
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return "the folder cannot be examined: " + std::string(std::strerror(errno));
    return FolderProblem(st, strict);
}

} // namespace hostlink
