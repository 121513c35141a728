/* LD_PRELOAD library for Wine under the rig: gives ptys working modem-status lines.
 *
 * A pty refuses TIOCMGET/TIOCMSET/TIOCMBIS/TIOCMBIC, so under Wine EscapeCommFunction(SETDTR...)
 * and GetCommModemStatus fail and an overlapped WaitCommEvent never goes pending, the way it
 * does on a real adapter. Here those requests succeed on a terminal that refuses them: DTR and
 * RTS keep what was set, CTS, DSR and DCD read as on. Everything else goes to the C library.
 *
 * No system headers, so the 32-bit library builds with the 64-bit toolchain alone:
 *   gcc -m32 -shared -fPIC -nostdlib -ffreestanding modem-lines.c /usr/lib/i386-linux-gnu/libc.so.6
 * 32-bit Debian Wine calls __ioctl_time64 (64-bit time_t), so that name is answered as well. */
#include <stdarg.h>

#define RTLD_NEXT ((void*)-1L)
void* dlsym(void* handle, const char* name);

enum {
    kTcgets = 0x5401,
    kTiocmget = 0x5415,
    kTiocmbis = 0x5416,
    kTiocmbic = 0x5417,
    kTiocmset = 0x5418,
    kDtr = 0x002,
    kRts = 0x004,
    kCts = 0x020,
    kCar = 0x040,
    kDsr = 0x100,
    kFds = 4096,
};

typedef int (*IoctlFn)(int, unsigned long, ...);

static int g_lines[kFds];  /* DTR and RTS as set, per descriptor; starts with both on */
static char g_known[kFds];

static int Forward(const char* name, int fd, unsigned long request, void* arg)
{
    IoctlFn real = (IoctlFn)dlsym(RTLD_NEXT, name);
    return real(fd, request, arg);
}

static int IsModemRequest(unsigned long request)
{
    return request == kTiocmget || request == kTiocmbis || request == kTiocmbic || request == kTiocmset;
}

static int Emulate(const char* name, int fd, unsigned long request, int* bits)
{
    char termios[256];
    if (fd < 0 || fd >= kFds || !bits || Forward(name, fd, kTcgets, termios) != 0)
        return -1;
    if (!g_known[fd]) {
        g_known[fd] = 1;
        g_lines[fd] = kDtr | kRts;
    }
    if (request == kTiocmget)
        *bits = g_lines[fd] | kCts | kDsr | kCar;
    else if (request == kTiocmbis)
        g_lines[fd] |= *bits & (kDtr | kRts);
    else if (request == kTiocmbic)
        g_lines[fd] &= ~*bits;
    else
        g_lines[fd] = *bits & (kDtr | kRts);
    return 0;
}

static int Answer(const char* name, int fd, unsigned long request, void* arg)
{
    int result = Forward(name, fd, request, arg);
    if (result == 0 || !IsModemRequest(request))
        return result;
    return Emulate(name, fd, request, (int*)arg) == 0 ? 0 : result;
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return Answer("ioctl", fd, request, arg);
}

int __ioctl_time64(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    return Answer("__ioctl_time64", fd, request, arg);
}
