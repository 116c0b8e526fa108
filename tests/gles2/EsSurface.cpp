#include "tests/gles2/EsSurface.h"

#include <EGL/egl.h>
#include <GL/glx.h>
#include <GLES2/gl2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace estest {

namespace {

struct EsContext {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    bool ok = false;
};

EsContext MakeContext() {
    EsContext es;
    es.display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (es.display == EGL_NO_DISPLAY || eglInitialize(es.display, nullptr, nullptr) != EGL_TRUE ||
        eglBindAPI(EGL_OPENGL_ES_API) != EGL_TRUE) {
        return es;
    }
    const EGLint configWanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                   EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
                                   EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                   EGL_ALPHA_SIZE, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (eglChooseConfig(es.display, configWanted, &config, 1, &found) != EGL_TRUE || found < 1) {
        return es;
    }
    const EGLint surfaceSize[] = {EGL_WIDTH, gltest::windowWidth, EGL_HEIGHT,
                                  gltest::windowHeight, EGL_NONE};
    es.surface = eglCreatePbufferSurface(es.display, config, surfaceSize);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    es.context = eglCreateContext(es.display, config, EGL_NO_CONTEXT, version);
    es.ok = es.surface != EGL_NO_SURFACE && es.context != EGL_NO_CONTEXT;
    return es;
}

EsContext& TheContext() {
    static EsContext es = MakeContext();
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
    EsContext& es = TheContext();
    if (!es.ok || eglMakeCurrent(es.display, es.surface, es.surface, es.context) != EGL_TRUE) {
        return false;
    }
    body();
    glFinish();
    eglMakeCurrent(es.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
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
