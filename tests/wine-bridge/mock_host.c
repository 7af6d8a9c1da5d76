/* A Windows host for the bridge's tests, run under wine: registers the
 * class THXMainForm, creates its (hidden) window and logs every WM_COPYDATA
 * and key message it handles, one line each, to the file named by --log:
 *   copydata <dwData> <cbData> <bytes as hex>
 *   key <msg> <wParam> <lParam>          (all hexadecimal)
 * With --hang-file F it stops reading its messages while F exists, as a hung
 * program does. Writes "ready" once its window exists. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static FILE* logFile;
static const char* hangFile;

static void logLine(const char* line) {
    fputs(line, logFile);
    fputc('\n', logFile);
    fflush(logFile);
}

static LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    char line[64 + 2 * 65536];
    switch (msg) {
    case WM_COPYDATA: {
        const COPYDATASTRUCT* data = (const COPYDATASTRUCT*)lParam;
        int at = snprintf(line, sizeof line, "copydata %llx %lx ", (unsigned long long)data->dwData,
                          (unsigned long)data->cbData);
        /* By hand, not snprintf per byte: the log must not be what the
         * hand-off benchmark measures. */
        static const char digits[] = "0123456789abcdef";
        const unsigned char* bytes = (const unsigned char*)data->lpData;
        for (DWORD i = 0; i < data->cbData && i < 65536; ++i) {
            line[at++] = digits[bytes[i] >> 4];
            line[at++] = digits[bytes[i] & 15];
        }
        line[at] = '\0';
        logLine(line);
        return TRUE;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        snprintf(line, sizeof line, "key %x %llx %llx", msg, (unsigned long long)wParam,
                 (unsigned long long)(ULONG_PTR)lParam);
        logLine(line);
        return 0; /* nothing of the default handling: F10 would open a menu loop */
    case WM_TIMER:
        if (hangFile != NULL && GetFileAttributesA(hangFile) != INVALID_FILE_ATTRIBUTES) {
            logLine("hang begins");
            while (GetFileAttributesA(hangFile) != INVALID_FILE_ATTRIBUTES)
                Sleep(10);
            logLine("hang ends");
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

int main(int argc, char** argv) {
    const char* logPath = NULL;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--log") == 0) logPath = argv[i + 1];
        if (strcmp(argv[i], "--hang-file") == 0) hangFile = argv[i + 1];
    }
    if (logPath == NULL || (logFile = fopen(logPath, "ab")) == NULL) {
        fprintf(stderr, "usage: mock-host --log FILE [--hang-file FILE]\n");
        return 2;
    }
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "THXMainForm";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowA("THXMainForm", "Mock host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                NULL, NULL, windowClass.hInstance, NULL);
    if (window == NULL) return 1;
    if (hangFile != NULL) SetTimer(window, 1, 20, NULL);
    logLine("ready");
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
