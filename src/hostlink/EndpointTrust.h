#pragma once
// The checks made before anything is handed to a host: the folder holding
// the endpoint, the endpoint itself and the process behind it must all
// belong to the desk's own user. Each returns the reason for refusing, or
// nothing when the check passes.

#include <optional>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

namespace hostlink {

// The name of the real user, from the password database (never from the
// environment); the number when the database has no entry.
std::string UserNameOf(uid_t uid);
std::string CurrentUserName();

// The folder: a real directory owned by the user; writable by nobody else.
// `strict` also refuses any access for group and others (the /tmp fallback,
// which the desk or host creates 0700 itself).
std::optional<std::string> FolderProblem(const struct stat& st, bool strict);

// The endpoint: a socket (not a symbolic link) owned by the user.
std::optional<std::string> SocketProblem(const struct stat& st);

// The process on the other end of a connected Unix socket runs as the user.
std::optional<std::string> PeerProblem(int fd);

// Makes `folder` with mode 0700 when it is missing, then checks it with
// lstat. `strict` as for FolderProblem.
std::optional<std::string> EnsurePrivateFolder(const std::string& folder, bool strict);

} // namespace hostlink
