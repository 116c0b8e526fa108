#include "tests/gles2/EsSurface.h"

#include <EGL/egl.h>
#include <GL/glx.h>
#include <GLES2/gl2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace estest {

namespace {

// Made once and destroyed at exit, so that the driver frees what the context
// still holds (the storage of the last texture drawn from, for one) before
// the leak check. The display is not terminated: that unloads the driver,
// which then leaves a block of its own behind.
class EsContext {
public:
    EsContext() {
        display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (display == EGL_NO_DISPLAY || eglInitialize(display, nullptr, nullptr) != EGL_TRUE ||
            eglBindAPI(EGL_OPENGL_ES_API) != EGL_TRUE) {
            return;
        }
        const EGLint configWanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_ALPHA_SIZE, 0, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint found = 0;
        if (eglChooseConfig(display, configWanted, &config, 1, &found) != EGL_TRUE || found < 1) {
            return;
        }
        const EGLint surfaceSize[] = {EGL_WIDTH, gltest::windowWidth, EGL_HEIGHT,
                                      gltest::windowHeight, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, surfaceSize);
        const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    }

    ~EsContext() {
        if (display == EGL_NO_DISPLAY) {
            return;
        }
        if (context != EGL_NO_CONTEXT) {
            eglDestroyContext(display, context);
        }
        if (surface != EGL_NO_SURFACE) {
            eglDestroySurface(display, surface);
        }
    }

    EsContext(const EsContext&) = delete;
    EsContext& operator=(const EsContext&) = delete;

    bool MakeCurrent() const {
        return surface != EGL_NO_SURFACE && context != EGL_NO_CONTEXT &&
               eglMakeCurrent(display, surface, surface, context) == EGL_TRUE;
    }

    void Release() const {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }

private:
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

const EsContext& TheContext() {
    static const EsContext es;
    return es;
}

}  // namespace

// A thread may not have a GLX and an EGL context current at once. The test
// window's GLX context is let go for the while and made current again
// after, as the toolkit believes it still is.
class GlxSetAside {
public:
    GlxSetAside()
        : display(glXGetCurrentDisplay()),
          drawable(glXGetCurrentDrawable()),
          context(glXGetCurrentContext()) {
        if (context != nullptr) {
            glXMakeCurrent(display, None, nullptr);
        }
    }
    ~GlxSetAside() {
        if (context != nullptr) {
            glXMakeCurrent(display, drawable, context);
        }
    }
    GlxSetAside(const GlxSetAside&) = delete;
    GlxSetAside& operator=(const GlxSetAside&) = delete;

private:
    Display* const display;
    const GLXDrawable drawable;
    const GLXContext context;
};

bool RunInEsContext(const std::function<void()>& body) {
    const GlxSetAside aside;
    const EsContext& es = TheContext();
    if (!es.MakeCurrent()) {
        return false;
    }
    body();
    glFinish();
    es.Release();
    return true;
}

gltest::Pixels ReadEsPixels() {
    const int width = gltest::windowWidth;
    const int height = gltest::windowHeight;
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return gltest::Pixels::FromRgbaRows(bytes.data());
}

const char* EsVersion() {
    static std::string version;
    RunInEsContext([] {
        version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        version += ", ";
        version += reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
        version += ", ";
        version += reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    });
    return version.c_str();
}

}  // namespace estest
