/* Click-to-screen latency: sends clicks through the XTest extension and
 * watches the screen for their effect. For each click: the pointer is moved
 * to the click's place, a random wait of up to two game ticks puts the click
 * at a random phase of the tick, the watched area is read, then the button is
 * pressed, held HOLD_MS and released. The clock starts when the server has
 * taken the release (XSync returned) and stops at the first reading of the
 * area that differs from the one before the press; the area is read back to
 * back, and the time between readings is the poll period.
 *   click_latency HOLD_MS COUNT SEED TARGET...
 * A TARGET is NAME:X,Y,W,H:PX,PY[:PX,PY...]: the watched area in screen
 * pixels and the places clicked in turn. Targets take turns, click by click.
 * Prints per click "click NAME HOLD_MS LATENCY_MS GAP_MS" (LATENCY_MS -1
 * when no effect came within a second; GAP_MS the time between the last two
 * readings, the uncertainty of that click) and per target "poll NAME MEDIAN_US MAX_US"
 * and "held NAME MEDIAN_MS". */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { maxTargets = 4, maxPlaces = 8, maxSamples = 1 << 20 };

typedef struct {
    char name[32];
    int x, y, w, h;
    int places[maxPlaces][2];
    int placeCount;
    int clicks;
    double* gaps;   /* microseconds between readings */
    int gapCount;
    double* holds;  /* milliseconds from press to release */
} Target;

static double Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static void SleepMs(double ms) {
    struct timespec wait = {(time_t)(ms / 1e3), (long)((ms - (double)(time_t)(ms / 1e3) * 1e3) * 1e6)};
    nanosleep(&wait, NULL);
}

static int Compare(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static double Median(double* values, int count) {
    if (count == 0) {
        return 0.0;
    }
    qsort(values, (size_t)count, sizeof *values, Compare);
    return values[count / 2];
}

static int Parse(const char* text, Target* target) {
    const char* colon = strchr(text, ':');
    if (colon == NULL || colon - text >= (long)sizeof target->name) {
        return 0;
    }
    memcpy(target->name, text, (size_t)(colon - text));
    target->name[colon - text] = '\0';
    if (sscanf(colon + 1, "%d,%d,%d,%d", &target->x, &target->y, &target->w, &target->h) != 4) {
        return 0;
    }
    for (colon = strchr(colon + 1, ':'); colon != NULL && target->placeCount < maxPlaces;
         colon = strchr(colon + 1, ':')) {
        int* place = target->places[target->placeCount];
        if (sscanf(colon + 1, "%d,%d", &place[0], &place[1]) != 2) {
            return 0;
        }
        ++target->placeCount;
    }
    return target->placeCount > 0 && target->w > 0 && target->h > 0;
}

static XImage* Read(Display* display, const Target* target) {
    return XGetImage(display, DefaultRootWindow(display), target->x, target->y,
                     (unsigned)target->w, (unsigned)target->h, AllPlanes, ZPixmap);
}

static int Same(const XImage* a, const XImage* b) {
    return memcmp(a->data, b->data, (size_t)a->bytes_per_line * (size_t)a->height) == 0;
}

/* One click; returns its latency in milliseconds, or -1, and the time
 * between the last two readings, within which the effect came. */
static double Click(Display* display, Target* target, double holdMs, double* lastGap) {
    const int* place = target->places[target->clicks % target->placeCount];
    XTestFakeMotionEvent(display, -1, place[0], place[1], CurrentTime);
    XSync(display, False);
    SleepMs(30.0 + 33.3 * (double)rand() / RAND_MAX);
    XImage* const before = Read(display, target);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    const double pressed = Now();
    SleepMs(holdMs);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    const double start = Now();
    target->holds[target->clicks++] = start - pressed;
    double latency = -1.0;
    double last = start;
    while (last - start < 1000.0) {
        XImage* const now = Read(display, target);
        const double read = Now();
        if (target->gapCount < maxSamples) {
            target->gaps[target->gapCount++] = (read - last) * 1e3;
        }
        *lastGap = read - last;
        last = read;
        const int same = Same(before, now);
        XDestroyImage(now);
        if (!same) {
            latency = read - start;
            break;
        }
    }
    XDestroyImage(before);
    SleepMs(150.0);
    return latency;
}

int main(int argc, char** argv) {
    if (argc < 5 || argc - 4 > maxTargets) {
        fputs("usage: click_latency HOLD_MS COUNT SEED NAME:X,Y,W,H:PX,PY[:PX,PY...]...\n", stderr);
        return 2;
    }
    const double holdMs = atof(argv[1]);
    const int count = atoi(argv[2]);
    srand((unsigned)strtoul(argv[3], NULL, 10));
    Target targets[maxTargets];
    memset(targets, 0, sizeof targets);
    const int targetCount = argc - 4;
    for (int i = 0; i < targetCount; ++i) {
        if (!Parse(argv[4 + i], &targets[i])) {
            fprintf(stderr, "click_latency: not a target: %s\n", argv[4 + i]);
            return 2;
        }
        targets[i].gaps = malloc(maxSamples * sizeof(double));
        targets[i].holds = malloc((size_t)count * sizeof(double));
    }
    Display* const display = XOpenDisplay(NULL);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display == NULL || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        fputs("click_latency: no X display with the XTest extension\n", stderr);
        return 1;
    }
    for (int click = 0; click < count; ++click) {
        for (int i = 0; i < targetCount; ++i) {
            double gap = 0.0;
            const double latency = Click(display, &targets[i], holdMs, &gap);
            printf("click %s %.1f %.3f %.3f\n", targets[i].name, holdMs, latency, gap);
        }
    }
    for (int i = 0; i < targetCount; ++i) {
        Target* const target = &targets[i];
        qsort(target->gaps, (size_t)target->gapCount, sizeof(double), Compare);
        printf("poll %s %.1f %.1f\n", target->name, Median(target->gaps, target->gapCount),
               target->gapCount > 0 ? target->gaps[target->gapCount - 1] : 0.0);
        printf("held %s %.3f\n", target->name, Median(target->holds, target->clicks));
    }
    XCloseDisplay(display);
    return 0;
}
