// click_to_repaint: clicks into an X window by the test extension, alternately
// at two points, and times each click to the last drawing the window then
// receives (its last damage report before the window stays quiet).
//
// usage: click_to_repaint WINDOW_ID X1 X2 Y CLICKS QUIET_MS
// Prints one line per click (milliseconds) and the median; coordinates are
// the window's own.

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Session {
    xcb_connection_t* c = nullptr;
    std::uint8_t damageEvent = 0;
    ~Session() {
        if (c != nullptr) xcb_disconnect(c);
    }
};

// Reads events until none came for `quiet`; the time of the last damage, or
// `since` when there was none.
Clock::time_point LastDamage(Session& s, Clock::time_point since, std::chrono::milliseconds quiet,
                             int* reports) {
    Clock::time_point last = since;
    pollfd pfd{xcb_get_file_descriptor(s.c), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(s.c)) {
            if ((e->response_type & 0x7F) == s.damageEvent + XCB_DAMAGE_NOTIFY) {
                last = Clock::now();
                ++*reports;
            }
            std::free(e);
        }
        if (xcb_connection_has_error(s.c)) return last;
        if (poll(&pfd, 1, static_cast<int>(quiet.count())) == 0) return last;
    }
}

void Button(Session& s, std::uint8_t type, xcb_window_t root) {
    xcb_test_fake_input(s.c, type, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: click_to_repaint WINDOW_ID X1 X2 Y CLICKS QUIET_MS\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const int x1 = std::atoi(argv[2]), x2 = std::atoi(argv[3]), y = std::atoi(argv[4]);
    const int clicks = std::clamp(std::atoi(argv[5]), 1, 10000);
    const std::chrono::milliseconds quiet(std::clamp(std::atoi(argv[6]), 10, 5000));

    Session s;
    s.c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(s.c)) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(s.c, &xcb_damage_id);
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(s.c, &xcb_test_id);
    if (damage == nullptr || !damage->present || xtest == nullptr || !xtest->present) {
        std::fprintf(stderr, "the display lacks the damage or test extension\n");
        return 1;
    }
    s.damageEvent = damage->first_event;
    std::free(xcb_damage_query_version_reply(s.c, xcb_damage_query_version(s.c, 1, 1), nullptr));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(s.c)).data;
    const xcb_window_t root = screen->root;

    const auto origin = std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)>(
        xcb_translate_coordinates_reply(s.c, xcb_translate_coordinates(s.c, window, root, 0, 0),
                                        nullptr),
        &std::free);
    if (!origin) {
        std::fprintf(stderr, "no such window\n");
        return 1;
    }
    const xcb_damage_damage_t d = xcb_generate_id(s.c);
    xcb_damage_create(s.c, d, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(s.c);

    std::vector<double> times;
    int reports = 0;
    for (int i = 0; i < clicks; ++i) {
        const int x = (i % 2 == 0 ? x2 : x1) + origin->dst_x;
        xcb_test_fake_input(s.c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root,
                            static_cast<std::int16_t>(x),
                            static_cast<std::int16_t>(y + origin->dst_y), 0);
        xcb_flush(s.c);
        int settling = 0;
        LastDamage(s, Clock::now(), quiet, &settling); // hover drawing done
        const Clock::time_point start = Clock::now();
        Button(s, XCB_BUTTON_PRESS, root);
        Button(s, XCB_BUTTON_RELEASE, root);
        xcb_flush(s.c);
        int n = 0;
        const Clock::time_point last = LastDamage(s, start, quiet, &n);
        reports += n;
        const double ms =
            n == 0 ? -1.0 : std::chrono::duration<double, std::milli>(last - start).count();
        times.push_back(ms);
        std::printf("click %d: %.2f ms (%d damage reports)\n", i + 1, ms, n);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("median click to last repaint: %.2f ms over %d clicks\n", sorted[sorted.size() / 2],
                clicks);
    xcb_damage_destroy(s.c, d);
    xcb_flush(s.c);
    return reports > 0 ? 0 : 1;
}
