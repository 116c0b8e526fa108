#include "tools/artgen/Art.h"
#include "tools/artgen/Palette.h"
#include "tools/artgen/Scenery.h"

namespace art {

namespace {

const char* const roundTree = R"(
....GGgg....
..GGgglllg..
.GGgglllllg.
GGGggllllggg
GGGGggggggGG
GGGGGgggGGGG
.GGGGGGGGGG.
..GGGNnGGG..
.....Nn.....
.....Nn.....
....NNnn....
)";
const char* const pine = R"(
....g....
...Gg....
...Ggl...
..GGgg...
..GGggl..
...GGg...
..GGGgg..
.GGGGggl.
..GGGGg..
.GGGGGgg.
GGGGGGggl
....N....
....N....
)";
const char* const snowPine = R"(
....w....
...iw....
...Gww...
..GGgw...
..iiiww..
...GGg...
..GGGww..
.iGGGgww.
..iiiiw..
.GGGGGgw.
iiiiiiwww
....N....
....N....
)";
const char* const deadTree = R"(
..x.......x..
..x..x...x...
...x.x..x..x.
...xxNx.x.x..
.....Nxxxx...
.....NNx.....
......Nx.....
......Nx.....
......Nx.....
.....NNxx....
....NN..xx...
)";
const char* const reeds = R"(
.n..n.
.h..hn
.hn.h.
hG.hG.
hGhGGh
)";
const char* const cactus = R"(
...lg...
...lgG..
l..lgG..
lg.lgG.g
lgGlgGgG
.ggggGG.
...lgG..
...lgG..
...lgG..
)";
const char* const rock = R"(
..1122..
.112223.
11222233
12223333
)";
const char* const crystal = R"(
...w...
..wv...
..vvp.w
.wvvpwv
.vvvpvp
wvvppvp
vvppppp
)";
const char* const flyingDragon = R"(
..............RR....................
.............RxR....................
............RxxR.........RR.........
...........RxxxR........RxR.........
..........RxxxxR.......RxxR.........
.........RxxxxxR......RxxxR.........
........RxxxxxxRR....RxxxxR.........
.......RxxxxxxxxRR..RxxxxxR.........
1.....RxxxxxxxxxxRRRxxxxxxR.........
11...rrrrRRxxxxxxxrRxxxxxR..........
.rrrrorrrrrrRRRxxrrrRRxxR...........
ywrorrrrrrrrrrrrrrrrrrrR............
.RRR..rrttttrrrrrrrrrrrrrrr.........
.......Rtttttrrrrrr...rrrrrrr.......
.........RRR.rR..rR.......RRrrr.....
..............r...r..........RRrr...
...............................Rro..
)";

void Trees(Canvas& canvas, const char* map, int count, int top, int bottom, Random& random,
           bool outlined) {
    for (int i = 0; i < count; i++) {
        const int x = random.Below(sceneWidth);
        const int y = random.Between(top, bottom);
        PropStanding(canvas, map, x, y, outlined);
    }
}

// Trees along the picture's sides only, where the encounter panel leaves
// the picture visible. Each tree's drop is drawn before its place: the order
// the pictures were first drawn in.
void SideProps(Canvas& canvas, const char* map, int y, Random& random, bool outlined) {
    const int leftDrop = random.Between(-2, 2);
    const int leftX = random.Between(8, 30);
    PropStanding(canvas, map, leftX, y + leftDrop, outlined);
    const int rightDrop = random.Between(-2, 2);
    const int rightX = random.Between(290, 312);
    PropStanding(canvas, map, rightX, y + rightDrop, outlined);
}

void DrawGrass(Canvas& canvas) {
    Random random(11);
    Sky(canvas, "bcci", 0, 90);
    Cloud(canvas, 60, 18, 7, 'w', 'i');
    Cloud(canvas, 170, 30, 5, 'w', 'i');
    Cloud(canvas, 265, 14, 8, 'w', 'i');
    FillRidge(canvas, Ridge(random, 70, 10, 40), 160, 'a', 'a', 'e');
    FillRidge(canvas, Ridge(random, 88, 7, 32), 160, 'g', 'l', 'G');
    Trees(canvas, roundTree, 9, 86, 100, random, true);
    Ground(canvas, 102, 'g', 'l', 'G', 30, random);
    SideProps(canvas, roundTree, 126, random, true);
    Road(canvas, 't', 'n', 'Y', random);
    for (int i = 0; i < 60; i++) {
        const int x = random.Below(sceneWidth);
        const int y = random.Between(150, 159);
        canvas.Set(x, y, Ink("ywm"[random.Below(3)]));
    }
}

void DrawForest(Canvas& canvas) {
    Random random(23);
    Sky(canvas, "ccii", 0, 70);
    FillRidge(canvas, Ridge(random, 52, 8, 24), 160, 'e', 'a', 'e');
    Trees(canvas, pine, 40, 60, 80, random, false);
    FillRidge(canvas, Ridge(random, 84, 4, 30), 160, 'G', 'g', 'u');
    Trees(canvas, pine, 26, 88, 104, random, true);
    Ground(canvas, 106, 'G', 'g', 'u', 25, random);
    SideProps(canvas, pine, 128, random, true);
    Road(canvas, 'n', 'N', 'x', random);
}

void DrawSnow(Canvas& canvas) {
    Random random(37);
    Sky(canvas, "bcii", 0, 80);
    FillRidge(canvas, Ridge(random, 48, 20, 36), 160, '1', 'w', '2');
    FillRidge(canvas, Ridge(random, 78, 8, 28), 160, 'i', 'w', '1');
    Trees(canvas, snowPine, 12, 90, 104, random, true);
    Ground(canvas, 104, 'w', 'i', '1', 20, random);
    SideProps(canvas, snowPine, 128, random, true);
    Road(canvas, 'i', '1', '1', random);
    for (int i = 0; i < 120; i++) {
        const int y = random.Below(100);
        const int x = random.Below(sceneWidth);
        canvas.Set(x, y, Ink('w'));
    }
}

void DrawSwamp(Canvas& canvas) {
    Random random(41);
    Sky(canvas, "eaah", 0, 84);
    FillRidge(canvas, Ridge(random, 72, 6, 30), 160, 'e', 'a', 'e');
    Trees(canvas, deadTree, 8, 82, 96, random, false);
    Ground(canvas, 96, 'u', 'h', 'G', 30, random);
    for (int i = 0; i < 9; i++) {
        const int x = random.Below(sceneWidth);
        const int y = random.Between(100, 124);
        const int radiusY = random.Between(2, 4);
        const int radiusX = random.Between(10, 22);
        canvas.FillEllipse(x, y, radiusX, radiusY, Ink('e'));
        canvas.FillRect(x - 4, y - 1, 5, 1, Ink('a'));
    }
    Trees(canvas, reeds, 24, 100, 128, random, false);
    SideProps(canvas, deadTree, 127, random, true);
    Road(canvas, 'x', 'N', 'N', random);
    Trees(canvas, reeds, 14, 152, 159, random, false);
}

void DrawDesert(Canvas& canvas) {
    Random random(53);
    Sky(canvas, "bciy", 0, 84);
    canvas.FillEllipse(250, 26, 9, 9, Ink('y'));
    canvas.FillEllipse(248, 24, 6, 6, Ink('w'));
    // Pyramids far away, their sunlit side to the left.
    for (int p = 0; p < 2; p++) {
        const int peak = p == 0 ? 90 : 140;
        const int height = p == 0 ? 26 : 18;
        const int top = 84 - height;
        for (int y = top; y < 84; y++) {
            const int half = (y - top) * 3 / 2;
            canvas.FillRect(peak - half, y, half, 1, Ink('t'));
            canvas.FillRect(peak, y, half + 1, 1, Ink('Y'));
        }
    }
    FillRidge(canvas, Ridge(random, 82, 6, 44), 160, 't', 'y', 'Y');
    FillRidge(canvas, Ridge(random, 96, 5, 36), 160, 't', 'y', 'Y');
    Ground(canvas, 104, 't', 'y', 'Y', 18, random);
    SideProps(canvas, cactus, 128, random, true);
    Trees(canvas, rock, 5, 104, 124, random, true);
    Road(canvas, 'Y', 'n', 'n', random);
}

void DrawWasteland(Canvas& canvas) {
    Random random(67);
    Sky(canvas, "RrooY", 0, 80);
    const std::vector<int> far = Ridge(random, 56, 16, 30);
    FillRidge(canvas, far, 160, 'x', 'R', 'N');
    // Lava runs down from the highest peak.
    int peak = 0;
    for (int x = 0; x < sceneWidth; x++) {
        if (far[x] < far[peak]) {
            peak = x;
        }
    }
    for (int y = far[peak]; y < 90; y++) {
        const int x = peak + (y - far[peak]) / 3 * ((y / 7) % 2 == 0 ? 1 : -1) / 2;
        canvas.Set(x, y, Ink(y % 3 == 0 ? 'y' : 'o'));
    }
    FillRidge(canvas, Ridge(random, 90, 6, 26), 160, '3', '2', 'N');
    Ground(canvas, 102, '3', 'x', 'N', 28, random);
    for (int i = 0; i < 10; i++) {
        int x = random.Below(sceneWidth);
        int y = random.Between(104, 126);
        for (int k = 0; k < 10; k++) {
            canvas.Set(x, y, Ink(k % 4 == 0 ? 'o' : 'R'));
            x += random.Between(0, 1);
            y += random.Between(-1, 1);
        }
    }
    Trees(canvas, rock, 7, 104, 126, random, true);
    SideProps(canvas, deadTree, 128, random, true);
    Road(canvas, '2', 'N', '3', random);
}

void DrawGalaxy(Canvas& canvas) {
    Random random(79);
    Sky(canvas, "dBPp", 0, 96);
    for (int i = 0; i < 400; i++) {
        const int reach = random.Between(-90, 90);
        const int spread = random.Below(100);
        const int x = 170 + static_cast<int>(reach * (spread / 100.0));
        const int y = 30 + random.Between(-18, 18);
        canvas.Set(x, y, Ink(random.Below(3) == 0 ? 'p' : 'P'));
    }
    Stars(canvas, 96, 160, random);
    canvas.FillEllipse(60, 34, 14, 14, Ink('p'));
    canvas.FillEllipse(56, 30, 10, 10, Ink('v'));
    canvas.FillEllipse(54, 28, 4, 4, Ink('i'));
    canvas.FillRect(38, 36, 46, 1, Ink('m'));
    canvas.FillRect(42, 37, 38, 1, Ink('v'));
    canvas.FillEllipse(272, 20, 5, 5, Ink('c'));
    canvas.FillEllipse(271, 19, 3, 3, Ink('i'));
    FillRidge(canvas, Ridge(random, 86, 10, 22), 160, 'B', 'b', 'd');
    Ground(canvas, 102, 'P', 'p', 'B', 26, random);
    Trees(canvas, crystal, 10, 100, 124, random, true);
    SideProps(canvas, crystal, 129, random, true);
    Road(canvas, 'B', 'p', 'b', random);
}

// A castle of two round towers and a gatehouse on the right of the title.
void DrawTitleCastle(Canvas& canvas, int left, int ground) {
    auto wall = [&](int x, int y, int w, int h) {
        canvas.FillRect(x, y, w, h, Ink('2'));
        canvas.FillRect(x, y, 2, h, Ink('1'));
        canvas.FillRect(x + w - 2, y, 2, h, Ink('3'));
        for (int j = y + 3; j < y + h; j += 4) {
            for (int i = x + ((j / 4) % 2) * 3; i < x + w - 2; i += 6) {
                canvas.FillRect(i, j, 3, 1, Ink('3'));
            }
        }
        for (int i = x; i < x + w; i += 4) {
            canvas.FillRect(i, y - 3, 2, 3, Ink('2'));
            canvas.Set(i, y - 3, Ink('1'));
        }
    };
    auto roof = [&](int x, int y, int w) {
        for (int j = 0; j < w; j++) {
            const int half = j / 2 + 1;
            const int centre = x + w / 2;
            canvas.FillRect(centre - half, y - w + j, half, 1, Ink('r'));
            canvas.FillRect(centre, y - w + j, half, 1, Ink('R'));
        }
    };
    auto window = [&](int x, int y) {
        canvas.FillRect(x, y, 3, 5, Ink('k'));
        canvas.FillRect(x, y + 1, 3, 4, Ink('o'));
        canvas.FillRect(x, y + 1, 1, 2, Ink('y'));
    };
    wall(left + 14, ground - 44, 40, 44);
    wall(left, ground - 60, 16, 60);
    wall(left + 52, ground - 60, 16, 60);
    wall(left + 26, ground - 70, 16, 26);
    roof(left - 2, ground - 63, 20);
    roof(left + 50, ground - 63, 20);
    roof(left + 24, ground - 73, 20);
    canvas.FillRect(left + 33, ground - 96, 1, 10, Ink('N'));
    canvas.FillRect(left + 34, ground - 96, 6, 4, Ink('b'));
    window(left + 6, ground - 48);
    window(left + 58, ground - 48);
    window(left + 32, ground - 60);
    window(left + 6, ground - 30);
    window(left + 58, ground - 30);
    canvas.FillEllipse(left + 34, ground - 14, 7, 7, Ink('k'));
    canvas.FillRect(left + 27, ground - 14, 15, 14, Ink('k'));
    canvas.FillEllipse(left + 34, ground - 14, 6, 6, Ink('N'));
    canvas.FillRect(left + 28, ground - 14, 13, 14, Ink('N'));
    for (int i = left + 29; i < left + 41; i += 3) {
        canvas.FillRect(i, ground - 19, 1, 19, Ink('3'));
    }
}

void DrawTitle(Canvas& canvas) {
    Random random(97);
    Sky(canvas, "dPpmo", 0, 96);
    Stars(canvas, 40, 50, random);
    canvas.FillEllipse(40, 20, 9, 9, Ink('i'));
    canvas.FillEllipse(44, 17, 8, 8, Ink('P'));
    FillRidge(canvas, Ridge(random, 80, 10, 34), 160, 'P', 'p', 'd');
    FillRidge(canvas, Ridge(random, 100, 6, 28), 160, 'u', 'h', 'e');
    // The castle hill on the right.
    for (int x = 220; x < sceneWidth; x++) {
        const int top = 104 - (x - 220) / 3;
        for (int y = top; y < sceneHeight; y++) {
            canvas.Set(x, y, Ink(y - top < 2 ? 'h' : 'u'));
        }
    }
    DrawTitleCastle(canvas, 244, 76);
    Ground(canvas, 112, 'u', 'h', 'e', 20, random);
    // The road winds up from the lower left to the castle gate.
    for (int y = 76; y < sceneHeight; y++) {
        const double t = (y - 76) / 84.0;
        const int centre = static_cast<int>(278 - t * t * 250);
        const int half = 2 + static_cast<int>(t * 10);
        canvas.FillRect(centre - half, y, 2 * half, 1, Ink('t'));
        canvas.Set(centre - half, y, Ink('n'));
        canvas.Set(centre + half - 1, y, Ink('n'));
    }
    Prop(canvas, flyingDragon, 120, 10, true);
    Trees(canvas, pine, 6, 120, 156, random, true);
}

}  // namespace

Canvas BuildTitlePicture() {
    Canvas canvas(sceneWidth, sceneHeight, Ink('d'));
    DrawTitle(canvas);
    return canvas;
}

Canvas BuildTerrain(Terrain terrain) {
    Canvas canvas(sceneWidth, sceneHeight, Ink('d'));
    switch (terrain) {
    case Terrain::Grass: DrawGrass(canvas); break;
    case Terrain::Forest: DrawForest(canvas); break;
    case Terrain::Snow: DrawSnow(canvas); break;
    case Terrain::Swamp: DrawSwamp(canvas); break;
    case Terrain::Desert: DrawDesert(canvas); break;
    case Terrain::Wasteland: DrawWasteland(canvas); break;
    case Terrain::Galaxy: DrawGalaxy(canvas); break;
    }
    return canvas;
}

}  // namespace art
