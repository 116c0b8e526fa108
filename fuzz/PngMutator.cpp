// libFuzzer's mutations, then the chunk checksums of the PNG made right
// again, so that changes to the header and the other chunks reach the
// decoder instead of failing its checksum test.
#include <lodepng.h>

#include <cstddef>
#include <cstdint>

namespace {

const size_t signatureSize = 8;
const size_t chunkOverhead = 12;

uint32_t ReadBigEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

void FixChunkChecksums(uint8_t* data, size_t size) {
    size_t at = signatureSize;
    while (at + chunkOverhead <= size) {
        const size_t length = ReadBigEndian(data + at);
        if (length > size - at - chunkOverhead) {
            return;
        }
        lodepng_chunk_generate_crc(data + at);
        at += length + chunkOverhead;
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned) {
    const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
    FixChunkChecksums(data, mutated);
    return mutated;
}
