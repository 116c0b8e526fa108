/* Preloaded into the program under measurement: writes the monotonic time of
 * every buffer swap ("swap", with the OpenGL primitives begun since the last
 * swap) and of every wake-up of the main thread ("awake", once per game tick)
 * to the file named by DUNMARK_PROBE_FILE. It changes nothing the game does;
 * the benchmark fixes the game's worlds and dice with DUNMARK_SEED. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static FILE* probeFile;
static pthread_mutex_t probeLock = PTHREAD_MUTEX_INITIALIZER;
static unsigned long primitives;

static void Record(const char* what, long count) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    pthread_mutex_lock(&probeLock);
    if (probeFile == NULL) {
        const char* path = getenv("DUNMARK_PROBE_FILE");
        probeFile = fopen(path ? path : "/dev/null", "w");
        setvbuf(probeFile, NULL, _IOLBF, 0);
    }
    if (count >= 0) {
        fprintf(probeFile, "%s %lld.%09ld %ld\n", what, (long long)now.tv_sec, now.tv_nsec, count);
    } else {
        fprintf(probeFile, "%s %lld.%09ld\n", what, (long long)now.tv_sec, now.tv_nsec);
    }
    pthread_mutex_unlock(&probeLock);
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (real == NULL) {
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    }
    real(display, drawable);
    Record("swap", (long)primitives);
    primitives = 0;
}

/* Drawing happens on one thread in both programs: no lock for the count. */
void glBegin(unsigned mode) {
    static void (*real)(unsigned);
    if (real == NULL) {
        real = (void (*)(unsigned))dlsym(RTLD_NEXT, "glBegin");
    }
    ++primitives;
    real(mode);
}

/* Fl::awake(void*) */
void _ZN2Fl5awakeEPv(void* message) {
    static void (*real)(void*);
    if (real == NULL) {
        real = (void (*)(void*))dlsym(RTLD_NEXT, "_ZN2Fl5awakeEPv");
    }
    Record("awake", -1);
    real(message);
}
