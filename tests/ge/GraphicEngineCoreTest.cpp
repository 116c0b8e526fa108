#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "ge/ZGraphicEngineCore.h"

namespace {

// A renderer core without GL that writes each hook it is called through:
// F flush, B<name> bind, X<name> delete, C clear, K<y>:<w>x<h> capture and
// D<u scale>@<named slot> draw.
class RecordingCore final : public ge::ZGraphicEngineCore {
public:
    RecordingCore() : ZGraphicEngineCore(640, 480) {
        SetTexture(renderSlot, 10, 512, 256, 512, 256);
        SetTexture(1, 11, 32, 32, 64, 32);
        SetTexture(fontSlot, 14, 256, 256, 256, 256);
        log.str("");
    }
    void Release() { DeleteTextures(); }
    std::string Log() const { return log.str(); }

private:
    void Flush() override { log << "F "; }
    void BindName(uint32_t id) override { log << 'B' << id << ' '; }
    void DeleteName(uint32_t id) override { log << 'X' << id << ' '; }
    void ClearSurface(float, float, float) override { log << "C "; }
    void Capture(int y, int width, int height) override {
        log << 'K' << y << ':' << width << 'x' << height << ' ';
    }
    void Draw(const ge::Quad&, float su, float) override {
        log << 'D' << su << '@' << NamedSlot() << ' ';
    }

    std::ostringstream log;
};

struct HookCase {
    const char* name;
    std::function<void(RecordingCore&)> calls;
    const char* hooks;
};

const ge::Quad quad = MakeQuad(0.0f, 0.0f, 8.0f, 8.0f);

const HookCase hookCases[] = {
    {"a bind flushes once, a repeated one not at all",
     [](RecordingCore& e) { e.BindTexture(1); e.BindTexture(1); e.DrawQuad(&quad); },
     "F B11 D0.5@1 "},
    {"slots outside the table and draws with none selected call nothing",
     [](RecordingCore& e) { e.BindTexture(256); e.BindTexture(-1); e.DrawQuad(&quad);
                            e.SetRenderTarget(256); e.SetTexture(-1, 9, 1, 1, 1, 1); },
     ""},
    {"clear and end of frame flush first",
     [](RecordingCore& e) { e.Clear(0.0f, 0.0f, 0.0f); e.EndFrame(); },
     "F C F "},
    {"replacing the target captures the surface's top into it",
     [](RecordingCore& e) { e.SetRenderTarget(0); e.SetRenderTarget(-1); e.SetRenderTarget(-1); },
     "F B10 K224:512x256 "},
    {"after a capture the selected slot scales and the target is sampled",
     [](RecordingCore& e) { e.BindTexture(1); e.SetRenderTarget(0); e.SetRenderTarget(1);
                            e.BindTexture(1); e.DrawQuad(&quad); },
     "F B11 F B10 K224:512x256 D0.5@0 "},
    {"text binds the font and gives the selected slot back",
     [](RecordingCore& e) { e.BindTexture(1); e.DrawText(0, 0, "ab", 1, 1, 1, 1); },
     "F B11 F B14 D1@4 D1@4 F B11 "},
    {"text with no slot selected leaves none bound",
     [](RecordingCore& e) { e.DrawText(0, 0, "a", 1, 1, 1, 1); e.DrawQuad(&quad); },
     "F B14 D1@4 F B0 "},
    {"a texture change flushes and deletes only a replaced name",
     [](RecordingCore& e) { e.SetTexture(1, 11, 8, 8, 8, 8); e.SetTexture(1, 21, 8, 8, 8, 8); },
     "F F X11 "},
    {"releasing deletes every name once",
     [](RecordingCore& e) { e.Release(); e.Release(); },
     "F X10 X11 X14 F "},
};

TEST(GraphicEngineCore, CallsItsHooksAfterAFlushBeforeEveryChangeOfState) {
    for (const HookCase& c : hookCases) {
        SCOPED_TRACE(c.name);
        RecordingCore engine;
        c.calls(engine);
        EXPECT_EQ(c.hooks, engine.Log());
    }
}

}  // namespace
