/* A serial cable of a given speed between two ptys, for the rig (wine-run, RIG_LINK_BAUD).
 *   slow-link <baud> <link-a> <link-b>
 * Makes two ptys, links their slave ends at the two paths and passes bytes between them in both
 * directions at baud / 10 bytes a second (start bit, 8 data bits, stop bit). A socat pair moves
 * bytes at once, so a program that closes its port before its queue is on the line never
 * notices there; here the bytes still on their way are lost when the sending side purges its
 * transmit queue or closes its port, as on a real line. Ends on SIGTERM. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

enum { kQueueBytes = 1 << 16, kTickMicroseconds = 1000 };

struct Direction {
    int from, to;  /* pty masters */
    char queue[kQueueBytes];
    size_t head, count;
    double credit;  /* bytes the line may pass now */
};

static volatile sig_atomic_t g_stop;

static void OnTerm(int signal_number)
{
    (void)signal_number;
    g_stop = 1;
}

static int MakePty(const char* link_path)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    const char* slave_path = ptsname(master);
    int slave = open(slave_path, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return -1;
    struct termios raw;
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    close(slave);
    int packet_mode = 1;
    if (ioctl(master, TIOCPKT, &packet_mode) != 0)
        return -1;
    unlink(link_path);
    return symlink(slave_path, link_path) == 0 ? master : -1;
}

/* Takes what the sending side wrote. The masters run in packet mode, so a purge of the sending
 * side's transmit queue (PurgeComm, and closing the port) shows as a status byte: what that side
 * wrote and the line has not passed yet is then gone. A closed side reads as EIO, the same. */
static void Take(struct Direction* d)
{
    char packet[4097];
    for (;;) {
        ssize_t got = read(d->from, packet, sizeof packet);
        if (got < 0 && errno == EIO)
            d->count = 0;
        if (got <= 0)
            return;
        if (packet[0] != TIOCPKT_DATA) {
            if (packet[0] & TIOCPKT_FLUSHWRITE)
                d->count = 0;
            continue;
        }
        for (ssize_t i = 1; i < got && d->count < kQueueBytes; ++i, ++d->count)
            d->queue[(d->head + d->count) % kQueueBytes] = packet[i];
    }
}

static void Pass(struct Direction* d, double seconds, double bytes_per_second)
{
    if (d->count == 0) {
        d->credit = 0;  /* an idle line saves up no bytes for later */
        return;
    }
    d->credit += seconds * bytes_per_second;
    while (d->credit >= 1 && d->count > 0) {
        size_t run = d->count < (size_t)d->credit ? d->count : (size_t)d->credit;
        if (run > kQueueBytes - d->head)
            run = kQueueBytes - d->head;
        ssize_t put = write(d->to, d->queue + d->head, run);
        if (put <= 0)
            return;
        d->head = (d->head + (size_t)put) % kQueueBytes;
        d->count -= (size_t)put;
        d->credit -= (double)put;
    }
}

/* A pty master's termios calls reach its slave's settings. */
static void FollowSpeed(int host, int far_end)
{
    struct termios line, far;
    if (tcgetattr(host, &line) != 0 || tcgetattr(far_end, &far) != 0)
        return;
    speed_t speed = cfgetospeed(&line);
    if (cfgetospeed(&far) == speed)
        return;
    cfsetispeed(&far, speed);
    cfsetospeed(&far, speed);
    tcsetattr(far_end, TCSANOW, &far);
}

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv)
{
    if (argc != 4 || atoi(argv[1]) <= 0) {
        fprintf(stderr, "usage: slow-link <baud> <link-a> <link-b>\n");
        return 2;
    }
    double bytes_per_second = atoi(argv[1]) / 10.0;
    int a = MakePty(argv[2]);
    int b = MakePty(argv[3]);
    if (a < 0 || b < 0) {
        perror("slow-link");
        return 1;
    }
    signal(SIGTERM, OnTerm);
    static struct Direction there, back;
    there.from = back.to = a;
    there.to = back.from = b;
    double last = Now();
    while (!g_stop) {
        usleep(kTickMicroseconds);
        double now = Now();
        FollowSpeed(a, b);  /* before the bytes pass, so that they arrive at the speed they were sent at */
        Take(&there);
        Take(&back);
        Pass(&there, now - last, bytes_per_second);
        Pass(&back, now - last, bytes_per_second);
        last = now;
    }
    unlink(argv[2]);
    unlink(argv[3]);
    return 0;
}
