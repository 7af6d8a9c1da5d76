/* The part of the wine bridge that knows the desk's wire format and nothing
 * of windows or sockets: reading messages from a byte stream, the newest
 * frame kept for the window, and the desk connections owed an answer.
 * Plain C, so that the Unix side, the window side and native tests share it. */
#ifndef VANTRELLE_BRIDGE_CORE_H
#define VANTRELLE_BRIDGE_CORE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define BRIDGE_HEADER_SIZE 24
#define BRIDGE_REPLY_SIZE 8
#define BRIDGE_MAX_PAYLOAD (64 * 1024)
#define BRIDGE_FRAME_SIZE 512
#define BRIDGE_FRAME_TAG 256 /* dwData of a channel frame */
#define BRIDGE_FLAG_SENT 1u

#define BRIDGE_WM_COPYDATA 0x004Au
#define BRIDGE_WM_KEYDOWN 0x0100u
#define BRIDGE_WM_KEYUP 0x0101u
#define BRIDGE_WM_SYSKEYDOWN 0x0104u
#define BRIDGE_WM_SYSKEYUP 0x0105u

struct bridge_message {
    uint32_t msg;
    uint32_t wparam;
    uint64_t lparam;
    uint32_t length;
    uint32_t flags;
    const uint8_t* payload; /* valid until the reader is fed again */
};

enum bridge_kind {
    BRIDGE_FRAME,   /* a channel frame for the window's WM_COPYDATA */
    BRIDGE_KEY,     /* a forwarded key for PostMessage */
    BRIDGE_SKIPPED, /* anything else: answered when sent, otherwise ignored */
};

enum bridge_kind bridge_classify(const struct bridge_message* m);
int bridge_is_sent(const struct bridge_message* m);

/* Collects bytes from one connection and cuts them into messages. */
struct bridge_reader {
    size_t have;
    size_t consumed; /* bytes of the last message handed out, dropped on the next call */
    uint8_t buf[BRIDGE_HEADER_SIZE + BRIDGE_MAX_PAYLOAD];
};

void bridge_reader_init(struct bridge_reader* r);
/* Where to read into, and how much room there is. Never 0 while the reader
 * has not failed: a whole message always fits. */
uint8_t* bridge_reader_space(struct bridge_reader* r, size_t* room);
void bridge_reader_added(struct bridge_reader* r, size_t n);
/* 1: *out holds the next whole message; 0: more bytes are needed;
 * -1: the stream is not the desk's (a length above the limit). */
int bridge_reader_next(struct bridge_reader* r, struct bridge_message* out);

void bridge_encode_reply(int64_t result, uint8_t out[BRIDGE_REPLY_SIZE]);

/* The newest frame waiting for the window. Every frame put gets the next
 * generation; taking hands out the newest one only, once. */
struct bridge_frame_slot {
    uint64_t put;   /* generation of the newest frame put, 0 for none */
    uint64_t taken; /* generation last taken */
    uint8_t levels[BRIDGE_FRAME_SIZE];
};

void bridge_slot_init(struct bridge_frame_slot* s);
uint64_t bridge_slot_put(struct bridge_frame_slot* s, const uint8_t levels[BRIDGE_FRAME_SIZE]);
/* 1 and the newest frame with its generation when one is waiting, else 0. */
int bridge_slot_take(struct bridge_frame_slot* s, uint8_t levels[BRIDGE_FRAME_SIZE],
                     uint64_t* generation);
/* Puts a frame back after the window did not take it, unless a newer one
 * has been put meanwhile. */
void bridge_slot_retry(struct bridge_frame_slot* s, const uint8_t levels[BRIDGE_FRAME_SIZE],
                       uint64_t generation);

/* Connections owed an answer, each with the generation of its frame. A frame
 * handled by the window settles every answer up to its generation: an older
 * frame replaced by a newer one is answered when the newer one is handled. */
#define BRIDGE_MAX_OWED 64
struct bridge_owed {
    int count;
    int id[BRIDGE_MAX_OWED];
    uint64_t generation[BRIDGE_MAX_OWED];
};

void bridge_owed_init(struct bridge_owed* o);
/* 0, or -1 when full. */
int bridge_owed_add(struct bridge_owed* o, int id, uint64_t generation);
/* Removes the entries settled by `generation`, writing their ids to `ids`
 * (room for BRIDGE_MAX_OWED) in the order they were added; returns how many. */
int bridge_owed_settle(struct bridge_owed* o, uint64_t generation, int* ids);
/* Forgets a connection that closed. */
void bridge_owed_forget(struct bridge_owed* o, int id);

#ifdef __cplusplus
}
#endif

#endif
