/* Preloaded into the program under measurement: writes the monotonic time of
 * every buffer swap ("swap") and of every wake-up of the main thread
 * ("awake", once per game tick) to the file named by DUNMARK_PROBE_FILE. It
 * changes nothing of what the program does. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static FILE* probeFile;
static pthread_mutex_t probeLock = PTHREAD_MUTEX_INITIALIZER;

static void Record(const char* what) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    pthread_mutex_lock(&probeLock);
    if (probeFile == NULL) {
        const char* path = getenv("DUNMARK_PROBE_FILE");
        probeFile = fopen(path ? path : "/dev/null", "w");
        setvbuf(probeFile, NULL, _IOLBF, 0);
    }
    fprintf(probeFile, "%s %lld.%09ld\n", what, (long long)now.tv_sec, now.tv_nsec);
    pthread_mutex_unlock(&probeLock);
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (real == NULL) {
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    }
    real(display, drawable);
    Record("swap");
}

/* Fl::awake(void*) */
void _ZN2Fl5awakeEPv(void* message) {
    static void (*real)(void*);
    if (real == NULL) {
        real = (void (*)(void*))dlsym(RTLD_NEXT, "_ZN2Fl5awakeEPv");
    }
    Record("awake");
    real(message);
}
