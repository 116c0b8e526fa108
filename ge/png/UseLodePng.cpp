#include "ge/png/PngDecoder.h"

const ge::PngDecoder& ge::BuildPngDecoder() {
    return lodePngDecoder;
}
