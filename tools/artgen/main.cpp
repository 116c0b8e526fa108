// Writes the game's pictures into the folder given on the command line.
// The output depends on nothing but this program's sources.
#include "tools/artgen/Art.h"

#include <cstdio>
#include <string>

namespace {

struct Picture {
    const char* file;
    bool bmp;
    art::Canvas (*build)();
};

art::Canvas Grass() { return art::BuildTerrain(art::Terrain::Grass); }
art::Canvas Forest() { return art::BuildTerrain(art::Terrain::Forest); }
art::Canvas Snow() { return art::BuildTerrain(art::Terrain::Snow); }
art::Canvas Swamp() { return art::BuildTerrain(art::Terrain::Swamp); }
art::Canvas Desert() { return art::BuildTerrain(art::Terrain::Desert); }
art::Canvas Wasteland() { return art::BuildTerrain(art::Terrain::Wasteland); }
art::Canvas Galaxy() { return art::BuildTerrain(art::Terrain::Galaxy); }

const Picture pictures[] = {
    {"font.bmp", true, art::BuildFont},
    {"system.bmp", true, art::BuildSystemSheet},
    {"icon.bmp", true, art::BuildIconSheet},
    {"char.png", false, art::BuildCreatureSheet},
    {"title.png", false, art::BuildTitlePicture},
    {"grass.png", false, Grass},
    {"forest.png", false, Forest},
    {"snow.png", false, Snow},
    {"swamp.png", false, Swamp},
    {"desert.png", false, Desert},
    {"wasteland.png", false, Wasteland},
    {"galaxy.png", false, Galaxy},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT_FOLDER\n");
        return 1;
    }
    const std::string folder = argv[1];
    for (const Picture& picture : pictures) {
        const art::Canvas canvas = picture.build();
        const std::string bytes = picture.bmp ? art::EncodeBmp(canvas) : art::EncodePng(canvas);
        if (!art::WriteBytes(folder + "/" + picture.file, bytes)) {
            return 1;
        }
    }
    return 0;
}
