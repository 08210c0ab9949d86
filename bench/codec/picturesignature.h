#ifndef RQ_PICTURESIGNATURE_H
#define RQ_PICTURESIGNATURE_H

// A small fingerprint of a picture that survives conversion: the mean luma of a 16x16 grid of blocks on an
// 8-bit scale, each mean taken over an 8x8 lattice of samples in its block. Pictures are told apart by the
// nearest reference signature, so a picture converted differently (10 to 8 bits) still finds itself.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace benchsig {

constexpr int kGrid = 16;
constexpr int kSamples = 8;
using Signature = std::array<uint8_t, kGrid * kGrid>;

// luma: the first row; stride in bytes; bytesPerSample 1 or 2 (little-endian); shift brings samples to 8 bits.
inline Signature compute(const uint8_t *luma, int stride, int width, int height, int bytesPerSample, int shift)
{
    Signature signature{};
    for (int by = 0; by < kGrid; ++by) {
        for (int bx = 0; bx < kGrid; ++bx) {
            unsigned sum = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                const int y = (by * kSamples + sy) * height / (kGrid * kSamples);
                const uint8_t *row = luma + size_t(y) * size_t(stride);
                for (int sx = 0; sx < kSamples; ++sx) {
                    const int x = (bx * kSamples + sx) * width / (kGrid * kSamples);
                    const unsigned value = bytesPerSample == 2 ? unsigned(row[2 * x] | row[2 * x + 1] << 8) : row[x];
                    sum += value >> shift;
                }
            }
            signature[size_t(by * kGrid + bx)] = uint8_t(sum / (kSamples * kSamples));
        }
    }
    return signature;
}

// Index of the reference nearest to the signature (sum of absolute differences).
inline int nearest(const std::vector<Signature> &references, const Signature &signature)
{
    int best = -1;
    unsigned bestDistance = std::numeric_limits<unsigned>::max();
    for (size_t i = 0; i < references.size(); ++i) {
        unsigned distance = 0;
        for (size_t k = 0; k < signature.size(); ++k)
            distance += unsigned(std::abs(int(references[i][k]) - int(signature[k])));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}

}

#endif
