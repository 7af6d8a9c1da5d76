/* vantrelle-wine-bridge: a host on the desk's Unix socket that hands the
 * desk's frames and keys to the Windows window of class THXMainForm running
 * under the same wine prefix, as the window messages they stand for. Built
 * with winegcc: this file is the window side, bridge_host.c the Unix side. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "bridge_core.h"
#include "bridge_host.h"

#define CLASS_NAME "THXMainForm"
/* Longest wait for one WM_COPYDATA. The desk gives up after 250 ms and
 * shows the host as not answering; a slow window still gets to finish a
 * frame it has begun, so that it is not sent twice. */
#define SEND_TIMEOUT_MS 1000
/* Pause before a frame the window did not take is offered again. */
#define RETRY_MS 50

struct window_side {
    CRITICAL_SECTION lock;
    CONDITION_VARIABLE wake;
    struct bridge_frame_slot slot;
    int busy; /* the sender holds a frame it has not reported yet */
    int done_pipe[2];
};

static struct window_side side;

static void report(uint64_t generation, int outcome, int64_t result, HWND window) {
    struct bridge_done done;
    memset(&done, 0, sizeof done);
    done.generation = generation;
    done.outcome = outcome;
    done.result = result;
    done.window = (uint64_t)(ULONG_PTR)window;
    bridge_done_send(side.done_pipe[1], &done);
}

/* The host's window, kept between messages: looking it up asks wine's
 * server, and so would checking a kept handle on every frame. A kept handle
 * is trusted until a message to it fails and it is no longer a window. */
static HWND volatile kept_window;

static HWND host_window(void) {
    HWND window =
        (HWND)InterlockedCompareExchangePointer((PVOID volatile*)&kept_window, NULL, NULL);
    if (window != NULL) return window;
    window = FindWindowA(CLASS_NAME, NULL);
    InterlockedExchangePointer((PVOID volatile*)&kept_window, window);
    return window;
}

/* After a failed message: 1 when the window is gone and the next lookup
 * starts afresh. A window that is there but did not answer is kept. */
static int window_gone(HWND window) {
    if (IsWindow(window)) return 0;
    InterlockedCompareExchangePointer((PVOID volatile*)&kept_window, NULL, window);
    return 1;
}

enum send_outcome { SENT, NO_WINDOW, GONE, NOT_TAKEN };

/* One WM_COPYDATA of the frame to the host's window. GONE: the window went
 * away before it got the frame, which may go to the next one. */
static enum send_outcome send_frame(const uint8_t* levels, DWORD_PTR* result, HWND* to) {
    const HWND window = host_window();
    *to = window;
    if (window == NULL) return NO_WINDOW;
    COPYDATASTRUCT data;
    data.dwData = BRIDGE_FRAME_TAG;
    data.cbData = BRIDGE_FRAME_SIZE;
    data.lpData = (void*)levels;
    /* SMTO_ABORTIFHUNG: a window that stopped reading its messages long
     * ago costs no wait at all. */
    if (SendMessageTimeoutA(window, WM_COPYDATA, 0, (LPARAM)&data, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            SEND_TIMEOUT_MS, result))
        return SENT;
    return window_gone(window) ? GONE : NOT_TAKEN;
}

/* Sends each kept frame to the window, retrying the newest while the window
 * does not answer, and reports what became of it. The socket loop only puts
 * frames in the slot for it, so keys and other connections go on meanwhile. */
static DWORD WINAPI send_frames(void* unused) {
    (void)unused;
    uint8_t levels[BRIDGE_FRAME_SIZE];
    uint64_t generation = 0;
    int stalled = 0;
    for (;;) {
        EnterCriticalSection(&side.lock);
        side.busy = 0;
        while (!bridge_slot_take(&side.slot, levels, &generation))
            SleepConditionVariableCS(&side.wake, &side.lock, INFINITE);
        side.busy = 1;
        LeaveCriticalSection(&side.lock);

        DWORD_PTR result = 0;
        HWND window = NULL;
        const enum send_outcome outcome = send_frame(levels, &result, &window);
        if (outcome == SENT || outcome == NO_WINDOW) {
            stalled = 0;
            report(generation, outcome == SENT ? BRIDGE_HANDLED : BRIDGE_NO_WINDOW, (int64_t)result,
                   window);
            continue;
        }
        EnterCriticalSection(&side.lock);
        bridge_slot_retry(&side.slot, levels, generation);
        LeaveCriticalSection(&side.lock);
        if (outcome == GONE) continue; /* look it up afresh */
        if (!stalled) report(generation, BRIDGE_NOT_ANSWERING, 0, window);
        stalled = 1;
        Sleep(RETRY_MS);
    }
    return 0;
}

/* Sends the frame to the window from the desk's side when nothing waits
 * before it (the sender is idle and no frame is kept), sparing two thread
 * hand-offs. Only the desk's side puts frames, so the sender stays idle
 * meanwhile. Not taken in time, the frame goes the sender's way. */
static int send_now(void* ctx, const uint8_t* levels, struct bridge_done* done) {
    (void)ctx;
    EnterCriticalSection(&side.lock);
    const int idle = !side.busy && side.slot.put == side.slot.taken;
    LeaveCriticalSection(&side.lock);
    if (!idle) return 0;
    memset(done, 0, sizeof *done);
    DWORD_PTR result = 0;
    HWND window = NULL;
    enum send_outcome outcome = send_frame(levels, &result, &window);
    if (outcome == GONE) outcome = send_frame(levels, &result, &window);
    if (outcome == NO_WINDOW) {
        done->outcome = BRIDGE_NO_WINDOW;
        return 1;
    }
    if (outcome != SENT) return 0;
    done->outcome = BRIDGE_HANDLED;
    done->result = (int64_t)result;
    done->window = (uint64_t)(ULONG_PTR)window;
    return 1;
}

static uint64_t offer_frame(void* ctx, const uint8_t* levels) {
    (void)ctx;
    EnterCriticalSection(&side.lock);
    const uint64_t generation = bridge_slot_put(&side.slot, levels);
    LeaveCriticalSection(&side.lock);
    WakeConditionVariable(&side.wake);
    return generation;
}

static uint64_t post_key(void* ctx, uint32_t msg, uint32_t wparam, uint64_t lparam) {
    (void)ctx;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HWND window = host_window();
        if (window == NULL) return 0;
        if (PostMessageA(window, msg, (WPARAM)wparam, (LPARAM)lparam))
            return (uint64_t)(ULONG_PTR)window;
        if (!window_gone(window)) return 0;
    }
    return 0;
}

static int usage(FILE* to) {
    fprintf(to, "usage: vantrelle-wine-bridge [--verbose]\n"
                "Run with WINEPREFIX naming the wine prefix of the host program, and the\n"
                "desk's XDG_RUNTIME_DIR. Hands the desk's frames and keys to the window\n"
                "of class " CLASS_NAME " as WM_COPYDATA and posted key messages.\n");
    return to == stdout ? 0 : 2;
}

int main(int argc, char** argv) {
    int verbose = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--verbose") == 0) {
            verbose = 1;
        } else if (strcmp(argv[i], "--help") == 0) {
            return usage(stdout);
        } else {
            fprintf(stderr, "vantrelle-wine-bridge: unknown option %s\n", argv[i]);
            return usage(stderr);
        }
    }
    fflush(stdout);
    fflush(stderr);

    struct bridge_host host;
    if (bridge_host_listen(&host) != 0) return 1;

    InitializeCriticalSection(&side.lock);
    InitializeConditionVariable(&side.wake);
    bridge_slot_init(&side.slot);
    HANDLE sender = NULL;
    if (bridge_done_channel(side.done_pipe) != 0 ||
        (sender = CreateThread(NULL, 0, send_frames, NULL, 0, NULL)) == NULL) {
        fprintf(stderr, "vantrelle-wine-bridge: cannot start the window side\n");
        bridge_host_close(&host);
        return 1;
    }
    CloseHandle(sender);

    const struct bridge_window_side window = {NULL, offer_frame, send_now, post_key,
                                              side.done_pipe[0]};
    const int code = bridge_host_serve(&host, &window, verbose);
    bridge_host_close(&host);
    return code;
}
