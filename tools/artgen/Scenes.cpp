#include "tools/artgen/Art.h"
namespace art {
Canvas BuildTitlePicture() { return Canvas(320, 160); }
Canvas BuildTerrain(Terrain) { return Canvas(320, 160); }
}
