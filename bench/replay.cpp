// The replay floor: a bare FLTK OpenGL window of 640x480 that draws, at 60 Hz,
// the frames record_frames wrote down, with raw OpenGL 1.1 calls in the order
// the game's renderer makes them: capture into the 512x256 render texture,
// the 640x480 presentation quad, one polygon per quad and per glyph. No
// engine, no game thread, no sound. It shows the title screen until the first
// click and the world view after it, each through the four recorded phases of
// the animation, 32 frames a phase as the game does; Escape closes it.
//   replay FRAMES   run from a folder beside gfx/, as the game is
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ge/gl/TextureLoader.h"

namespace {

enum class OpKind { clear, bind, target, quad, text };

struct Vertex {
    float x, y;
    unsigned colour;
    float u, v;
};

struct Op {
    OpKind kind = OpKind::clear;
    int slot = 0;
    float f[6] = {};
    Vertex quad[4] = {};
    std::string text;
};

const int phaseCount = 4;
const int framesPerPhase = 32;

struct TextureLoad {
    int slot;
    std::string format, mode, path;
};

struct Recording {
    std::vector<TextureLoad> textures;
    std::vector<Op> frames[2][phaseCount];   // title, encounter
};

[[noreturn]] void Fail(const char* what, const char* path) {
    std::fprintf(stderr, "replay: %s: %s\n", path, what);
    std::exit(1);
}

std::string HexText(const char* hex) {
    std::string text;
    for (; hex[0] != '\0' && hex[0] != '-' && hex[1] != '\0'; hex += 2) {
        text += static_cast<char>(std::strtoul(std::string(hex, 2).c_str(), nullptr, 16));
    }
    return text;
}

bool ParseOp(const char* line, Op& op) {
    char hex[4096] = "";
    if (std::sscanf(line, "clear %f %f %f", &op.f[0], &op.f[1], &op.f[2]) == 3) {
        op.kind = OpKind::clear;
    } else if (std::sscanf(line, "bind %d", &op.slot) == 1) {
        op.kind = OpKind::bind;
    } else if (std::sscanf(line, "target %d", &op.slot) == 1) {
        op.kind = OpKind::target;
    } else if (std::strncmp(line, "quad ", 5) == 0) {
        op.kind = OpKind::quad;
        const char* p = line + 5;
        for (Vertex& v : op.quad) {
            int used = 0;
            if (std::sscanf(p, "%f %f %x %f %f%n", &v.x, &v.y, &v.colour, &v.u, &v.v, &used) != 5) {
                return false;
            }
            p += used;
        }
    } else if (std::sscanf(line, "text %f %f %f %f %f %f %4095s", &op.f[0], &op.f[1], &op.f[2],
                           &op.f[3], &op.f[4], &op.f[5], hex) == 7) {
        op.kind = OpKind::text;
        op.text = HexText(hex);
    } else {
        return false;
    }
    return true;
}

Recording Read(const char* path) {
    FILE* const file = std::fopen(path, "r");
    if (file == nullptr) {
        Fail("cannot open", path);
    }
    Recording recording;
    std::vector<Op>* frame = nullptr;
    char line[8192];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        char a[64] = "", b[64] = "", c[1024] = "";
        int slot = 0;
        if (std::sscanf(line, "texture %d %63s %63s %1023s", &slot, a, b, c) == 4) {
            recording.textures.push_back({slot, a, b, c});
        } else if (std::sscanf(line, "frame %63s %d", a, &slot) == 2 && slot >= 0 &&
                   slot < phaseCount) {
            frame = &recording.frames[std::strcmp(a, "title") == 0 ? 0 : 1][slot];
        } else if (std::strncmp(line, "end", 3) == 0) {
            frame = nullptr;
        } else {
            Op op;
            if (frame == nullptr || !ParseOp(line, op)) {
                Fail("not a recording", path);
            }
            frame->push_back(op);
        }
    }
    std::fclose(file);
    for (const std::vector<Op>& frame : recording.frames[0]) {
        if (frame.empty()) {
            Fail("a title frame is missing", path);
        }
    }
    for (const std::vector<Op>& frame : recording.frames[1]) {
        if (frame.empty()) {
            Fail("a world-view frame is missing", path);
        }
    }
    return recording;
}

// The renderer's texture table and state, kept as plain arrays.
const int slotCount = 256;
const int fontSlot = 4;
GLuint names[slotCount];
float uScale[slotCount], vScale[slotCount];
int texHeight[slotCount], texWidth[slotCount];
int bound = -1;
int target = -1;

void Upload(int slot, const ge::TextureImage& image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.texWidth, image.texHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    names[slot] = name;
    uScale[slot] = static_cast<float>(image.imageWidth) / static_cast<float>(image.texWidth);
    vScale[slot] = static_cast<float>(image.imageHeight) / static_cast<float>(image.texHeight);
    texWidth[slot] = image.texWidth;
    texHeight[slot] = image.texHeight;
}

void SetUp(const Recording& recording) {
    glLoadIdentity();
    glViewport(0, 0, 640, 480);
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ge::TextureImage render;
    render.imageWidth = render.texWidth = 512;
    render.imageHeight = render.texHeight = 256;
    Upload(0, render);   // no data: glTexImage2D with a null pointer
    for (const TextureLoad& load : recording.textures) {
        Upload(load.slot, load.format == "bmp" ? ge::DecodeBmp(load.mode.c_str(), load.path.c_str())
                                               : ge::DecodePng(load.path.c_str()));
    }
}

void Bind(int slot) {
    if (slot != bound) {
        bound = slot;
        glBindTexture(GL_TEXTURE_2D, names[slot]);
    }
}

void Quad(const Vertex* quad) {
    static const int outline[4] = {0, 1, 3, 2};
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POLYGON);
    for (const int index : outline) {
        const Vertex& v = quad[index];
        glColor4f(static_cast<float>((v.colour >> 16) & 0xFFu) / 255.0f,
                  static_cast<float>((v.colour >> 8) & 0xFFu) / 255.0f,
                  static_cast<float>(v.colour & 0xFFu) / 255.0f,
                  static_cast<float>((v.colour >> 24) & 0xFFu) / 255.0f);
        glTexCoord2f(uScale[bound] * v.u, vScale[bound] * v.v);
        glVertex2f(v.x, 480.0f - v.y);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

unsigned Tint(float factor, int shift) {
    return (static_cast<unsigned>(static_cast<int>(255.0f * factor)) & 0xFFu) << shift;
}

// One polygon per glyph of a 16x16 font grid, lines centred on x.
void Text(const Op& op) {
    const int previous = bound;
    Bind(fontSlot);
    const unsigned colour = Tint(op.f[5], 24) | Tint(op.f[2], 16) | Tint(op.f[3], 8) | Tint(op.f[4], 0);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(op.text.c_str());
    float top = op.f[1];
    int start = 0;
    for (int i = 0;; ++i) {
        if (bytes[i] != '\n' && bytes[i] != 0) {
            continue;
        }
        const int n = i - start;
        float pen = op.f[0] - static_cast<float>(7 * (n / 2)) - static_cast<float>(3 * (n % 2)) - 2.0f;
        for (int k = start; k < i; ++k) {
            const float u = static_cast<float>(bytes[k] % 16) / 16.0f;
            const float v = static_cast<float>(bytes[k] / 16) / 16.0f;
            const float g = 1.0f / 16.0f;
            const Vertex glyph[4] = {{pen, top, colour, u, v}, {pen + 12.0f, top, colour, u + g, v},
                                     {pen, top + 12.0f, colour, u, v + g},
                                     {pen + 12.0f, top + 12.0f, colour, u + g, v + g}};
            Quad(glyph);
            pen += 7.0f;
        }
        top += 14.0f;
        if (bytes[i] == 0) {
            break;
        }
        start = i + 1;
    }
    if (previous >= 0) {
        Bind(previous);
    } else {
        bound = -1;
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

void Target(int slot) {
    if (target != -1) {
        glBindTexture(GL_TEXTURE_2D, names[target]);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 480 - texHeight[target], texWidth[target],
                         texHeight[target], 0);
    }
    target = slot;
}

void Play(const std::vector<Op>& frame) {
    for (const Op& op : frame) {
        switch (op.kind) {
        case OpKind::clear:
            glClearColor(op.f[0], op.f[1], op.f[2], 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            break;
        case OpKind::bind:
            Bind(op.slot);
            break;
        case OpKind::target:
            Target(op.slot);
            break;
        case OpKind::quad:
            Quad(op.quad);
            break;
        case OpKind::text:
            Text(op);
            break;
        }
    }
}

class ReplayWindow final : public Fl_Gl_Window {
public:
    explicit ReplayWindow(const Recording& recording)
        : Fl_Gl_Window(0, 0, 640, 480, "Dunmark replay"), recording(recording) {}

    void draw() override {
        if (!ready) {
            SetUp(recording);
            ready = true;
        }
        Play(recording.frames[shown][count / framesPerPhase % phaseCount]);
        ++count;
    }

    int handle(int event) override {
        if (event == FL_PUSH) {
            shown = 1;
        }
        return Fl_Gl_Window::handle(event);
    }

private:
    const Recording& recording;
    bool ready = false;
    int shown = 0;
    int count = 0;
};

void Tick(void* window) {
    static_cast<ReplayWindow*>(window)->redraw();
    Fl::repeat_timeout(1.0 / 60.0, Tick, window);
}

void Close(Fl_Widget*, void*) {
    std::puts("goodbye");
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: replay FRAMES\n", stderr);
        return 2;
    }
    // As the game does: Mesa's software renderer frees and takes back a
    // large buffer per primitive, which the allocator would otherwise hand
    // back to the kernel every time.
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
    static const Recording recording = Read(argv[1]);
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_xywh(x, y, w, h, 0);
    ReplayWindow* const window = new ReplayWindow(recording);
    window->position((w - 640) / 2, (h - 480) / 2);
    window->box(FL_NO_BOX);
    window->end();
    window->show(1, argv);   // FLTK's own options only
    window->callback(Close, nullptr);
    Fl::add_timeout(1.0 / 60.0, Tick, window);
    return Fl::run();
}
