#include "bridge_host.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include "bridge_core.h"

#define PROGRAM "vantrelle-wine-bridge"
#define CLASS_NAME "THXMainForm"
#define MAX_CONNECTIONS 16

static int fail(const char* path, const char* what) {
    fprintf(stderr, PROGRAM ": %s: %s\n", path, what);
    return -1;
}

/* $XDG_RUNTIME_DIR, else /tmp/runtime-<user> from the password database.
 * Returns 1 for the fallback, which must be closed to everyone else. */
static int socket_folder(char* out, size_t size) {
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

static int check_folder(const char* folder, int fallback) {
    if (mkdir(folder, 0700) != 0 && errno != EEXIST) return fail(folder, strerror(errno));
    struct stat st;
    if (lstat(folder, &st) != 0) return fail(folder, strerror(errno));
    if (!S_ISDIR(st.st_mode)) return fail(folder, "the socket folder is not a directory");
    if (st.st_uid != getuid()) return fail(folder, "the socket folder belongs to another user");
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return fail(folder, "other users can write to the socket folder");
    if (fallback && (st.st_mode & 077)) return fail(folder, "the socket folder must be mode 0700");
    return 0;
}

/* Removes a stale socket; refuses a live one or anything that is not a socket. */
static int clear_path(const struct sockaddr_un* addr) {
    struct stat st;
    if (lstat(addr->sun_path, &st) != 0) return 0;
    if (!S_ISSOCK(st.st_mode)) return fail(addr->sun_path, "exists and is not a socket");
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (probe < 0) return fail("socket", strerror(errno));
    const int rc = connect(probe, (const struct sockaddr*)addr, sizeof *addr);
    const int err = errno;
    close(probe);
    if (rc == 0 || err == EAGAIN) {
        fprintf(stderr, PROGRAM ": another host is listening at %s\n", addr->sun_path);
        return -1;
    }
    if (err != ECONNREFUSED) return fail(addr->sun_path, strerror(err));
    if (unlink(addr->sun_path) != 0 && errno != ENOENT)
        return fail(addr->sun_path, strerror(errno));
    return 0;
}

int bridge_host_listen(struct bridge_host* h) {
    h->listener = -1;
    char folder[200];
    const int fallback = socket_folder(folder, sizeof folder);
    if (check_folder(folder, fallback) != 0) return -1;

    struct sockaddr_un addr;
    memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if ((size_t)snprintf(addr.sun_path, sizeof addr.sun_path, "%s/" CLASS_NAME, folder) >=
        sizeof addr.sun_path)
        return fail(folder, "the socket folder's path is too long");
    if (clear_path(&addr) != 0) return -1;

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return fail("socket", strerror(errno));
    /* The file's mode must not depend on the umask. */
    if (fchmod(fd, 0600) != 0 || bind(fd, (const struct sockaddr*)&addr, sizeof addr) != 0) {
        const int err = errno;
        close(fd);
        return fail(addr.sun_path, strerror(err));
    }
    struct stat mine;
    if (chmod(addr.sun_path, 0600) != 0 || lstat(addr.sun_path, &mine) != 0 ||
        listen(fd, 16) != 0) {
        const int err = errno;
        close(fd);
        unlink(addr.sun_path);
        return fail(addr.sun_path, strerror(err));
    }
    h->listener = fd;
    snprintf(h->path, sizeof h->path, "%s", addr.sun_path);
    h->device = (uint64_t)mine.st_dev;
    h->inode = (uint64_t)mine.st_ino;
    return 0;
}

void bridge_host_close(struct bridge_host* h) {
    if (h->listener < 0) return;
    close(h->listener);
    h->listener = -1;
    struct stat now;
    /* Another host may have taken the name since. */
    if (lstat(h->path, &now) == 0 && (uint64_t)now.st_dev == h->device &&
        (uint64_t)now.st_ino == h->inode)
        unlink(h->path);
}

int bridge_done_channel(int fds[2]) {
    return pipe2(fds, O_CLOEXEC);
}

void bridge_done_send(int fd, const struct bridge_done* done) {
    /* A record is far below PIPE_BUF: written whole or not at all. */
    ssize_t n;
    do
        n = write(fd, done, sizeof *done);
    while (n < 0 && errno == EINTR);
}

static int stop_pipe[2] = {-1, -1};

static void on_signal(int sig) {
    const int saved = errno;
    const unsigned char c = (unsigned char)sig;
    if (write(stop_pipe[1], &c, 1) < 0) { /* the loop is stopping already */
    }
    errno = saved;
}

struct connection {
    int fd;
    int id;
    struct bridge_reader* reader;
};

struct server {
    const struct bridge_window_side* window;
    int verbose;
    struct connection conns[MAX_CONNECTIONS];
    int used;
    int next_id;
    struct bridge_owed owed;
    uint64_t frames;   /* frames from the desk */
    int not_answering; /* the window let a frame wait too long and has not handled one since */
};

static void say(const struct server* s, const char* format, ...) {
    if (!s->verbose) return;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm tm;
    localtime_r(&now.tv_sec, &tm);
    char line[300];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    printf("%02d:%02d:%02d.%03ld %s\n", tm.tm_hour, tm.tm_min, tm.tm_sec, now.tv_nsec / 1000000,
           line);
    fflush(stdout);
}

static struct connection* find_connection(struct server* s, int id) {
    for (int i = 0; i < s->used; ++i)
        if (s->conns[i].id == id) return &s->conns[i];
    return NULL;
}

static void close_connection(struct server* s, int index, const char* why) {
    struct connection* c = &s->conns[index];
    say(s, "desk connection %d closed (%s)", c->id, why);
    bridge_owed_forget(&s->owed, c->id);
    close(c->fd);
    free(c->reader);
    s->conns[index] = s->conns[--s->used];
}

static int answer(int fd, int64_t result) {
    uint8_t reply[BRIDGE_REPLY_SIZE];
    bridge_encode_reply(result, reply);
    const ssize_t n = send(fd, reply, sizeof reply, MSG_NOSIGNAL | MSG_DONTWAIT);
    return n == (ssize_t)sizeof reply ? 0 : -1;
}

static const char* key_name(uint32_t msg) {
    switch (msg) {
    case BRIDGE_WM_KEYDOWN:
        return "WM_KEYDOWN";
    case BRIDGE_WM_KEYUP:
        return "WM_KEYUP";
    case BRIDGE_WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    default:
        return "WM_SYSKEYUP";
    }
}

/* Logs what the window did with the latest frame. */
static void report_outcome(struct server* s, const struct bridge_done* done) {
    if (done->outcome == BRIDGE_HANDLED) {
        if (s->not_answering)
            say(s, "window 0x%llx answers again", (unsigned long long)done->window);
        say(s, "frame handled by window 0x%llx", (unsigned long long)done->window);
    } else {
        say(s, "frame dropped: no " CLASS_NAME " window");
    }
    s->not_answering = 0;
}

/* Handles every whole message the connection has; -1 closes it. */
static int serve_messages(struct server* s, struct connection* c) {
    struct bridge_message m;
    int rc;
    while ((rc = bridge_reader_next(c->reader, &m)) == 1) {
        switch (bridge_classify(&m)) {
        case BRIDGE_FRAME: {
            ++s->frames;
            say(s, "frame %llu from desk connection %d", (unsigned long long)s->frames, c->id);
            struct bridge_done done;
            if (s->window->send_now != NULL &&
                s->window->send_now(s->window->ctx, m.payload, &done)) {
                report_outcome(s, &done);
                if (answer(c->fd, done.result) != 0) return -1;
                break;
            }
            const uint64_t generation = s->window->offer_frame(s->window->ctx, m.payload);
            if (bridge_owed_add(&s->owed, c->id, generation) != 0) return -1;
            break;
        }
        case BRIDGE_KEY: {
            const uint64_t window = s->window->post_key(s->window->ctx, m.msg, m.wparam, m.lparam);
            if (window != 0)
                say(s, "%s wParam 0x%x lParam 0x%llx posted to window 0x%llx", key_name(m.msg),
                    m.wparam, (unsigned long long)m.lparam, (unsigned long long)window);
            else
                say(s, "%s wParam 0x%x lParam 0x%llx dropped: no " CLASS_NAME " window",
                    key_name(m.msg), m.wparam, (unsigned long long)m.lparam);
            break;
        }
        case BRIDGE_SKIPPED:
            say(s, "message 0x%x (%u bytes) skipped", m.msg, m.length);
            if (bridge_is_sent(&m) && answer(c->fd, 0) != 0) return -1;
            break;
        }
    }
    if (rc < 0) say(s, "desk connection %d sent a message over the size limit", c->id);
    return rc < 0 ? -1 : 0;
}

static void read_connection(struct server* s, int index) {
    struct connection* c = &s->conns[index];
    size_t room = 0;
    uint8_t* into = bridge_reader_space(c->reader, &room);
    const ssize_t n = recv(c->fd, into, room, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
        close_connection(s, index, n == 0 ? "by the desk" : strerror(errno));
        return;
    }
    bridge_reader_added(c->reader, (size_t)n);
    if (serve_messages(s, c) != 0) close_connection(s, index, "not the desk's messages");
}

static void accept_connection(struct server* s, int listener) {
    const int fd = accept4(listener, NULL, NULL, SOCK_CLOEXEC);
    if (fd < 0) return;
    struct ucred peer;
    socklen_t size = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid()) {
        say(s, "refused a connection from another user");
        close(fd);
        return;
    }
    struct bridge_reader* reader = malloc(sizeof *reader);
    if (s->used >= MAX_CONNECTIONS || reader == NULL) {
        say(s, "refused a connection: too many open");
        free(reader);
        close(fd);
        return;
    }
    bridge_reader_init(reader);
    struct connection* c = &s->conns[s->used++];
    c->fd = fd;
    c->id = ++s->next_id;
    c->reader = reader;
    say(s, "desk connection %d opened", c->id);
}

static void read_done(struct server* s) {
    struct bridge_done done;
    const ssize_t n = read(s->window->done_fd, &done, sizeof done);
    if (n != (ssize_t)sizeof done) return;
    if (done.outcome == BRIDGE_NOT_ANSWERING) {
        if (!s->not_answering)
            say(s, "window 0x%llx is not answering; keeping the newest frame for it",
                (unsigned long long)done.window);
        s->not_answering = 1;
        return;
    }
    report_outcome(s, &done);
    int ids[BRIDGE_MAX_OWED];
    const int count = bridge_owed_settle(&s->owed, done.generation, ids);
    for (int i = 0; i < count; ++i) {
        struct connection* c = find_connection(s, ids[i]);
        if (c != NULL && answer(c->fd, done.result) != 0)
            close_connection(s, (int)(c - s->conns), "the answer could not be written");
    }
}

int bridge_host_serve(struct bridge_host* h, const struct bridge_window_side* w, int verbose) {
    if (pipe2(stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        fail("pipe", strerror(errno));
        return 1;
    }
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigaction(SIGINT, &sa, NULL);
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGHUP, &sa, NULL);
    signal(SIGPIPE, SIG_IGN);

    static struct server s;
    memset(&s, 0, sizeof s);
    s.window = w;
    s.verbose = verbose;
    bridge_owed_init(&s.owed);
    say(&s, "listening at %s", h->path);

    for (;;) {
        struct pollfd fds[MAX_CONNECTIONS + 3];
        fds[0] = (struct pollfd){.fd = stop_pipe[0], .events = POLLIN};
        fds[1] = (struct pollfd){.fd = w->done_fd, .events = POLLIN};
        fds[2] = (struct pollfd){.fd = h->listener, .events = POLLIN};
        for (int i = 0; i < s.used; ++i)
            fds[i + 3] = (struct pollfd){.fd = s.conns[i].fd, .events = POLLIN};
        const int polled = s.used;
        if (poll(fds, (nfds_t)polled + 3, -1) < 0) {
            if (errno == EINTR) continue;
            fail("poll", strerror(errno));
            break;
        }
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) read_done(&s);
        /* Backwards: closing swaps the last connection into the closed one's place. */
        for (int i = polled - 1; i >= 0; --i)
            if (fds[i + 3].revents && i < s.used && s.conns[i].fd == fds[i + 3].fd)
                read_connection(&s, i);
        if (fds[2].revents & POLLIN) accept_connection(&s, h->listener);
    }
    say(&s, "stopping");
    while (s.used > 0)
        close_connection(&s, s.used - 1, "the bridge is stopping");
    return 0;
}
