/* An example host for the desk's Unix host link, written from
 * docs/host-protocol.md alone. It listens where the desk looks, answers every
 * sent message, and prints one JSON object per message on standard output:
 *   {"n":1,"msg":74,"wParam":0,"lParam":256,"length":512,"sent":true,"levels":[...]}
 * Usage: vantrelle-example-host [--count N]   (exit after N messages)
 */
#include <errno.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#define HEADER_SIZE 24
#define MAX_PAYLOAD (64 * 1024)
#define MAX_CONNECTIONS 16

struct connection {
    int fd;
    size_t have; /* bytes in buf */
    uint8_t buf[HEADER_SIZE + MAX_PAYLOAD];
};

static volatile sig_atomic_t stopping = 0;
static void on_signal(int sig) {
    (void)sig;
    stopping = 1;
}

static uint32_t get32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
static uint64_t get64(const uint8_t* p) {
    return (uint64_t)get32(p) | (uint64_t)get32(p + 4) << 32;
}

/* The folder: $XDG_RUNTIME_DIR, else /tmp/runtime-<user> from the password
 * database. Returns 1 for the fallback, which must be 0700. */
static int endpoint_folder(char* out, size_t size) {
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime != NULL && *runtime != '\0') {
        snprintf(out, size, "%s", runtime);
        return 0;
    }
    const struct passwd* pw = getpwuid(getuid());
    if (pw != NULL)
        snprintf(out, size, "/tmp/runtime-%s", pw->pw_name);
    else
        snprintf(out, size, "/tmp/runtime-%u", (unsigned)getuid());
    return 1;
}

static int fail(const char* what, const char* path) {
    fprintf(stderr, "vantrelle-example-host: %s: %s\n", path, what);
    return -1;
}

static int check_folder(const char* folder, int fallback) {
    if (mkdir(folder, 0700) != 0 && errno != EEXIST) return fail(strerror(errno), folder);
    struct stat st;
    if (lstat(folder, &st) != 0) return fail(strerror(errno), folder);
    if (!S_ISDIR(st.st_mode)) return fail("not a directory (or a symbolic link)", folder);
    if (st.st_uid != getuid()) return fail("belongs to another user", folder);
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return fail("other users can write to it", folder);
    if (fallback && (st.st_mode & 077)) return fail("must be mode 0700", folder);
    return 0;
}

/* Removes a stale socket; refuses a live one or anything else. */
static int clear_path(const struct sockaddr_un* addr) {
    struct stat st;
    if (lstat(addr->sun_path, &st) != 0) return 0;
    if (!S_ISSOCK(st.st_mode)) return fail("exists and is not a socket", addr->sun_path);
    int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (probe < 0) return fail(strerror(errno), "socket");
    int rc = connect(probe, (const struct sockaddr*)addr, sizeof *addr);
    int err = errno;
    close(probe);
    if (rc == 0 || err == EAGAIN) return fail("another host is listening", addr->sun_path);
    if (err != ECONNREFUSED) return fail(strerror(err), addr->sun_path);
    unlink(addr->sun_path); /* stale */
    return 0;
}

static void print_message(unsigned long long n, const uint8_t* header, const uint8_t* payload) {
    uint32_t msg = get32(header), wparam = get32(header + 4), length = get32(header + 16);
    uint64_t lparam = get64(header + 8);
    int sent = (get32(header + 20) & 1u) != 0;
    printf("{\"n\":%llu,\"msg\":%u,\"wParam\":%u,\"lParam\":%llu,\"length\":%u,\"sent\":%s", n, msg,
           wparam, (unsigned long long)lparam, length, sent ? "true" : "false");
    if (msg == 0x4A && lparam == 256 && length == 512) {
        printf(",\"levels\":[");
        for (uint32_t i = 0; i < 512; ++i)
            printf(i ? ",%u" : "%u", payload[i]);
        printf("]");
    }
    printf("}\n");
    fflush(stdout);
}

static int write_all(int fd, const uint8_t* p, size_t size) {
    while (size > 0) {
        ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        p += n;
        size -= (size_t)n;
    }
    return 0;
}

/* Handles every whole message in the buffer; -1 closes the connection. */
static int serve(struct connection* c, unsigned long long* received) {
    while (c->have >= HEADER_SIZE) {
        uint32_t length = get32(c->buf + 16);
        if (length > MAX_PAYLOAD) return -1; /* not a peer of ours */
        size_t total = HEADER_SIZE + (size_t)length;
        if (c->have < total) return 0;
        print_message(++*received, c->buf, c->buf + HEADER_SIZE);
        if (get32(c->buf + 20) & 1u) {
            static const uint8_t answer[8] = {0};
            if (write_all(c->fd, answer, sizeof answer) != 0) return -1;
        }
        memmove(c->buf, c->buf + total, c->have - total);
        c->have -= total;
    }
    return 0;
}

int main(int argc, char** argv) {
    unsigned long long count = 0, received = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            count = strtoull(argv[++i], NULL, 10);
        } else {
            fprintf(stderr, "usage: vantrelle-example-host [--count N]\n");
            return 2;
        }
    }
    char folder[200];
    int fallback = endpoint_folder(folder, sizeof folder);
    if (check_folder(folder, fallback) != 0) return 1;

    struct sockaddr_un addr;
    memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if ((size_t)snprintf(addr.sun_path, sizeof addr.sun_path, "%s/THXMainForm", folder) >=
        sizeof addr.sun_path) {
        fail("path too long", folder);
        return 1;
    }
    if (clear_path(&addr) != 0) return 1;

    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        fail(strerror(errno), "socket");
        return 1;
    }
    fchmod(listener, 0600);
    if (bind(listener, (const struct sockaddr*)&addr, sizeof addr) != 0) {
        fail(strerror(errno), addr.sun_path);
        return 1;
    }
    chmod(addr.sun_path, 0600);
    struct stat mine;
    if (lstat(addr.sun_path, &mine) != 0 || listen(listener, 16) != 0) {
        fail(strerror(errno), addr.sun_path);
        return 1;
    }

    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigaction(SIGINT, &sa, NULL);
    sigaction(SIGTERM, &sa, NULL);
    fprintf(stderr, "vantrelle-example-host: listening at %s\n", addr.sun_path);

    static struct connection conns[MAX_CONNECTIONS];
    int used = 0;
    while (!stopping && (count == 0 || received < count)) {
        struct pollfd fds[MAX_CONNECTIONS + 1];
        fds[0].fd = listener;
        fds[0].events = POLLIN;
        for (int i = 0; i < used; ++i) {
            fds[i + 1].fd = conns[i].fd;
            fds[i + 1].events = POLLIN;
        }
        if (poll(fds, (nfds_t)used + 1, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = used - 1; i >= 0; --i) {
            if (fds[i + 1].revents == 0) continue;
            struct connection* c = &conns[i];
            ssize_t n = recv(c->fd, c->buf + c->have, sizeof c->buf - c->have, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 || (c->have += (size_t)n, serve(c, &received) != 0)) {
                close(c->fd);
                conns[i] = conns[--used];
            }
        }
        if ((fds[0].revents & POLLIN) && used < MAX_CONNECTIONS) {
            int fd = accept4(listener, NULL, NULL, SOCK_CLOEXEC);
            struct ucred peer;
            socklen_t size = sizeof peer;
            if (fd >= 0 && (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
                            peer.uid != getuid())) {
                close(fd); /* only our own user's desk */
            } else if (fd >= 0) {
                conns[used].fd = fd;
                conns[used].have = 0;
                ++used;
            }
        }
    }

    close(listener);
    struct stat now;
    if (lstat(addr.sun_path, &now) == 0 && now.st_dev == mine.st_dev && now.st_ino == mine.st_ino)
        unlink(addr.sun_path);
    return 0;
}
