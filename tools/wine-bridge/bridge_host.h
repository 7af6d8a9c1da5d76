/* The bridge's Unix side: a host on the desk's socket, keeping the rules
 * every host keeps (a private folder, a 0600 socket, never taking over a
 * live host's socket, removing only its own), and the loop that reads the
 * desk's messages and answers its frames once the window side has handled
 * them. Knows nothing of windows: the window side is reached through
 * `struct bridge_window_side`. */
#ifndef VANTRELLE_BRIDGE_HOST_H
#define VANTRELLE_BRIDGE_HOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What the window side did with a frame, reported through its done pipe. */
enum bridge_outcome {
    BRIDGE_HANDLED = 1,       /* the window handled it: answer the desk */
    BRIDGE_NO_WINDOW = 2,     /* no window of the class: answered and dropped */
    BRIDGE_NOT_ANSWERING = 3, /* the window did not handle it in time: kept for a retry */
};

struct bridge_done {
    uint64_t generation;
    int64_t result;
    uint64_t window; /* the window's handle, for the log */
    int32_t outcome;
    int32_t reserved;
};

/* The pipe the window side reports through. Unix calls live on this side:
 * the window side's C library is wine's, with descriptors of its own. */
int bridge_done_channel(int fds[2]);
void bridge_done_send(int fd, const struct bridge_done* done);

struct bridge_window_side {
    void* ctx;
    /* Keeps the frame as the newest for the window and returns at once with
     * its generation; a bridge_done record follows on done_fd. */
    uint64_t (*offer_frame)(void* ctx, const uint8_t* levels);
    /* Optional: hands the frame to the window at once, waiting a bounded
     * time, when nothing is waiting for the window before it. 1 with *done
     * filled in (handled, or no window), or 0: the frame was not taken, and
     * goes through offer_frame. Spares two thread hand-offs per frame. */
    int (*send_now)(void* ctx, const uint8_t* levels, struct bridge_done* done);
    /* Posts a key to the window without waiting; the window's handle, or 0
     * when there is none. */
    uint64_t (*post_key)(void* ctx, uint32_t msg, uint32_t wparam, uint64_t lparam);
    int done_fd;
};

struct bridge_host {
    int listener;
    char path[108];
    uint64_t device, inode; /* of the socket file we made */
};

/* Resolves the folder, checks it, refuses a live host's socket, removes a
 * stale one, binds and listens. 0, or -1 after printing why to stderr. */
int bridge_host_listen(struct bridge_host* h);
/* Removes the socket file only if it still is ours. */
void bridge_host_close(struct bridge_host* h);

/* Serves the desk until SIGINT, SIGTERM or SIGHUP; returns the exit code. */
int bridge_host_serve(struct bridge_host* h, const struct bridge_window_side* w, int verbose);

#ifdef __cplusplus
}
#endif

#endif
