// The title picture and the seven terrains behind the world view.
#include "tests/tools/ArtImages.h"

#include <gtest/gtest.h>

#include <set>

using namespace arttest;

namespace {

const char* const pictures[] = {"title.png",  "grass.png",  "forest.png",    "snow.png",
                                "swamp.png",  "desert.png", "wasteland.png", "galaxy.png"};

Image Load(const std::string& file) {
    std::string problem;
    Image image = ReadPng(GfxPath(file), problem);
    EXPECT_TRUE(image.Valid()) << file << ": " << problem;
    return image;
}

TEST(Pictures, AreOpaqueAndFillTheirSize) {
    for (const char* file : pictures) {
        const Image image = Load(file);
        ASSERT_TRUE(image.Valid());
        EXPECT_EQ(320, image.width) << file;
        EXPECT_EQ(160, image.height) << file;
        int clear = 0;
        for (int y = 0; y < image.height; y++) {
            for (int x = 0; x < image.width; x++) {
                clear += image.At(x, y)[3] != 255 ? 1 : 0;
            }
        }
        EXPECT_EQ(0, clear) << file << " has see-through pixels";
    }
}

TEST(Pictures, AreAllDifferent) {
    std::vector<Image> images;
    for (const char* file : pictures) {
        images.push_back(Load(file));
        ASSERT_TRUE(images.back().Valid());
    }
    for (size_t a = 0; a < images.size(); a++) {
        for (size_t b = a + 1; b < images.size(); b++) {
            bool same = images[a].rgba == images[b].rgba;
            EXPECT_FALSE(same) << pictures[a] << " and " << pictures[b];
        }
        // A painted picture, not a flat fill.
        std::set<uint32_t> colours;
        for (int y = 0; y < 160; y++) {
            for (int x = 0; x < 320; x++) {
                colours.insert(images[a].Pixel(x, y));
            }
        }
        EXPECT_GE(colours.size(), 8u) << pictures[a];
    }
}

// The road dashes, the stage marks, the castle and the hero stand on rows
// 112..152 of a terrain: the road band itself must be quiet, and the band
// around it much quieter than the picture's busiest part.
TEST(Pictures, TerrainRoadBandIsCalm) {
    for (int i = 1; i < 8; i++) {
        const Image image = Load(pictures[i]);
        ASSERT_TRUE(image.Valid());
        std::set<uint32_t> roadColours;
        for (int y = 137; y <= 145; y++) {
            for (int x = 0; x < 320; x++) {
                roadColours.insert(image.Pixel(x, y));
            }
        }
        EXPECT_LE(roadColours.size(), 4u) << pictures[i] << ": the road is too busy";

        auto edges = [&](int top, int bottom) {
            int count = 0;
            for (int y = top; y < bottom; y++) {
                for (int x = 1; x < 320; x++) {
                    count += image.Pixel(x, y) != image.Pixel(x - 1, y) ? 1 : 0;
                }
            }
            return static_cast<double>(count) / ((bottom - top) * 319);
        };
        EXPECT_LT(edges(112, 152), 0.25) << pictures[i] << ": the lower band is too busy";
    }
}

TEST(Pictures, TerrainTopShowsASky) {
    // The encounter panel covers the middle; what shows above and beside it
    // is a sky that differs from the ground.
    for (int i = 1; i < 8; i++) {
        const Image image = Load(pictures[i]);
        ASSERT_TRUE(image.Valid());
        EXPECT_NE(image.Pixel(2, 2), image.Pixel(2, 140)) << pictures[i];
    }
}

}  // namespace
