#include "bridge_core.h"

#include <string.h>

static uint32_t get32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

enum bridge_kind bridge_classify(const struct bridge_message* m) {
    if (m->msg == BRIDGE_WM_COPYDATA && m->wparam == 0 && m->lparam == BRIDGE_FRAME_TAG &&
        m->length == BRIDGE_FRAME_SIZE && bridge_is_sent(m))
        return BRIDGE_FRAME;
    switch (m->msg) {
    case BRIDGE_WM_KEYDOWN:
    case BRIDGE_WM_KEYUP:
    case BRIDGE_WM_SYSKEYDOWN:
    case BRIDGE_WM_SYSKEYUP:
        /* Key messages carry nothing, and the desk only posts them. */
        if (m->length == 0 && !bridge_is_sent(m)) return BRIDGE_KEY;
        break;
    default:
        break;
    }
    return BRIDGE_SKIPPED;
}

int bridge_is_sent(const struct bridge_message* m) {
    return (m->flags & BRIDGE_FLAG_SENT) != 0;
}

void bridge_reader_init(struct bridge_reader* r) {
    r->have = 0;
    r->consumed = 0;
}

static void drop_consumed(struct bridge_reader* r) {
    if (r->consumed == 0) return;
    memmove(r->buf, r->buf + r->consumed, r->have - r->consumed);
    r->have -= r->consumed;
    r->consumed = 0;
}

uint8_t* bridge_reader_space(struct bridge_reader* r, size_t* room) {
    drop_consumed(r);
    *room = sizeof r->buf - r->have;
    return r->buf + r->have;
}

void bridge_reader_added(struct bridge_reader* r, size_t n) {
    r->have += n;
}

int bridge_reader_next(struct bridge_reader* r, struct bridge_message* out) {
    drop_consumed(r);
    if (r->have < BRIDGE_HEADER_SIZE) return 0;
    const uint32_t length = get32(r->buf + 16);
    if (length > BRIDGE_MAX_PAYLOAD) return -1;
    const size_t total = BRIDGE_HEADER_SIZE + (size_t)length;
    if (r->have < total) return 0;
    out->msg = get32(r->buf);
    out->wparam = get32(r->buf + 4);
    out->lparam = (uint64_t)get32(r->buf + 8) | (uint64_t)get32(r->buf + 12) << 32;
    out->length = length;
    out->flags = get32(r->buf + 20);
    out->payload = r->buf + BRIDGE_HEADER_SIZE;
    r->consumed = total;
    return 1;
}

void bridge_encode_reply(int64_t result, uint8_t out[BRIDGE_REPLY_SIZE]) {
    const uint64_t v = (uint64_t)result;
    for (int i = 0; i < BRIDGE_REPLY_SIZE; ++i)
        out[i] = (uint8_t)(v >> (8 * i));
}

void bridge_slot_init(struct bridge_frame_slot* s) {
    s->put = 0;
    s->taken = 0;
    memset(s->levels, 0, sizeof s->levels);
}

uint64_t bridge_slot_put(struct bridge_frame_slot* s, const uint8_t levels[BRIDGE_FRAME_SIZE]) {
    memcpy(s->levels, levels, BRIDGE_FRAME_SIZE);
    return ++s->put;
}

int bridge_slot_take(struct bridge_frame_slot* s, uint8_t levels[BRIDGE_FRAME_SIZE],
                     uint64_t* generation) {
    if (s->put == s->taken) return 0;
    memcpy(levels, s->levels, BRIDGE_FRAME_SIZE);
    s->taken = s->put;
    *generation = s->put;
    return 1;
}

void bridge_slot_retry(struct bridge_frame_slot* s, const uint8_t levels[BRIDGE_FRAME_SIZE],
                       uint64_t generation) {
    if (generation != s->put || s->taken != generation) return; /* a newer frame waits */
    memcpy(s->levels, levels, BRIDGE_FRAME_SIZE);
    s->taken = generation - 1;
}

void bridge_owed_init(struct bridge_owed* o) {
    o->count = 0;
}

int bridge_owed_add(struct bridge_owed* o, int id, uint64_t generation) {
    if (o->count >= BRIDGE_MAX_OWED) return -1;
    o->id[o->count] = id;
    o->generation[o->count] = generation;
    ++o->count;
    return 0;
}

int bridge_owed_settle(struct bridge_owed* o, uint64_t generation, int* ids) {
    int settled = 0, kept = 0;
    for (int i = 0; i < o->count; ++i) {
        if (o->generation[i] <= generation) {
            ids[settled++] = o->id[i];
        } else {
            o->id[kept] = o->id[i];
            o->generation[kept] = o->generation[i];
            ++kept;
        }
    }
    o->count = kept;
    return settled;
}

void bridge_owed_forget(struct bridge_owed* o, int id) {
    int kept = 0;
    for (int i = 0; i < o->count; ++i) {
        if (o->id[i] == id) continue;
        o->id[kept] = o->id[i];
        o->generation[kept] = o->generation[i];
        ++kept;
    }
    o->count = kept;
}
