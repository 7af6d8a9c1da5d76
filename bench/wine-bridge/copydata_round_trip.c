/* Wine's own cost of one WM_COPYDATA between two processes, with no desk and
 * no bridge: sends --count frames of 512 bytes to the THXMainForm window, one
 * SendMessageTimeout each to a window found once, and prints the median and
 * the 99th percentile in microseconds:  copydata <median> <p99> <handled>
 * With --each, then every time taken, in the order sent, one per line. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int ascending(const void* a, const void* b) {
    const double x = *(const double*)a;
    const double y = *(const double*)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv) {
    int count = 5000;
    int each = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--count") == 0 && i + 1 < argc)
            count = atoi(argv[++i]);
        else if (strcmp(argv[i], "--each") == 0)
            each = 1;
        else
            count = 0;
    }
    if (count < 1 || count > 1000000) {
        fprintf(stderr, "usage: copydata-round-trip [--count N] [--each]\n");
        return 2;
    }
    const HWND window = FindWindowA("THXMainForm", NULL);
    if (window == NULL) {
        fprintf(stderr, "copydata-round-trip: no THXMainForm window\n");
        return 1;
    }
    double* us = malloc(sizeof *us * (size_t)count);
    double* sorted = malloc(sizeof *sorted * (size_t)count);
    if (us == NULL || sorted == NULL) return 1;
    unsigned char levels[512];
    memset(levels, 0, sizeof levels);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    int handled = 0;
    for (int i = 0; i < count; ++i) {
        levels[i % 512] = (unsigned char)i;
        COPYDATASTRUCT data;
        data.dwData = 256;
        data.cbData = sizeof levels;
        data.lpData = levels;
        DWORD_PTR result = 0;
        QueryPerformanceCounter(&start);
        handled += SendMessageTimeoutA(window, WM_COPYDATA, 0, (LPARAM)&data,
                                       SMTO_NORMAL | SMTO_ABORTIFHUNG, 1000, &result) != 0;
        QueryPerformanceCounter(&end);
        us[i] = (double)(end.QuadPart - start.QuadPart) * 1e6 / (double)frequency.QuadPart;
    }
    memcpy(sorted, us, sizeof *us * (size_t)count);
    qsort(sorted, (size_t)count, sizeof *sorted, ascending);
    printf("copydata %.2f %.2f %d\n", sorted[count / 2], sorted[(size_t)count * 99 / 100], handled);
    for (int i = 0; each && i < count; ++i)
        printf("%.2f\n", us[i]);
    free(sorted);
    free(us);
    return handled == count ? 0 : 1;
}
