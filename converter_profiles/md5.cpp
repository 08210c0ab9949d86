#include "converter_profiles/md5.h"

#include <cstdio>
#include <cstring>

namespace {

// Per step: the sine-derived constant of RFC 1321.
const unsigned int Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Per round: the four left rotations.
const unsigned int Shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// Per step: the word of the block it adds.
const unsigned int Words[64] = {
    0, 1, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
    1, 6, 11, 0,  5,  10, 15, 4,  9,  14, 3,  8,  13, 2,  7,  12,
    5, 8, 11, 14, 1,  4,  7,  10, 13, 0,  3,  6,  9,  12, 15, 2,
    0, 7, 14, 5,  12, 3,  10, 1,  8,  15, 6,  13, 4,  11, 2,  9,
};

inline unsigned int rotateLeft(unsigned int x, unsigned int n)
{
    return (x << n) | (x >> (32 - n));
}

// The round's function of b, c and d, in forms with fewer operations than RFC 1321 writes them.
template <unsigned int Round>
inline unsigned int mix(unsigned int b, unsigned int c, unsigned int d)
{
    if (Round == 0)
        return d ^ (b & (c ^ d));
    if (Round == 1)
        return c ^ (d & (b ^ c));
    if (Round == 2)
        return b ^ c ^ d;
    return c ^ (b | ~d);
}

// The sixteen steps of one round. Unrolled, every table lookup is a constant and the turning of
// a, b, c and d costs nothing: the digest runs as fast as the four rounds written out by hand.
template <unsigned int Round>
inline void runRound(unsigned int &a, unsigned int &b, unsigned int &c, unsigned int &d, const unsigned int x[16])
{
#pragma GCC unroll 16
    for (unsigned int i = 0; i < 16; ++i) {
        const unsigned int step = Round * 16 + i;
        const unsigned int rotated = b + rotateLeft(a + mix<Round>(b, c, d) + x[Words[step]] + Sines[step],
                                                    Shifts[Round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
}

}

MD5::MD5()
{
    init();
}

MD5::MD5(const std::string &text)
{
    init();
    update(text.c_str(), static_cast<unsigned int>(text.length()));
    finalize();
}

void MD5::init()
{
    finalized = false;
    std::memset(buffer, 0, sizeof buffer);
    count[0] = count[1] = 0;
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    std::memset(digest, 0, sizeof digest);
}

// Byte by byte from a pointer, which the compiler turns into one load a word on little-endian machines.
void MD5::decode(unsigned int *output, unsigned char const *input, unsigned int length)
{
    for (unsigned char const *end = input + length; input != end; input += 4)
        *output++ = unsigned(input[0]) | (unsigned(input[1]) << 8) | (unsigned(input[2]) << 16)
                    | (unsigned(input[3]) << 24);
}

void MD5::encode(unsigned char *output, unsigned int const *input, unsigned int length)
{
    for (unsigned char *end = output + length; output != end; output += 4, ++input) {
        output[0] = *input & 0xff;
        output[1] = (*input >> 8) & 0xff;
        output[2] = (*input >> 16) & 0xff;
        output[3] = (*input >> 24) & 0xff;
    }
}

void MD5::transform(unsigned char const block[64])
{
    unsigned int x[16];
    decode(x, block, 64);
    unsigned int a = state[0], b = state[1], c = state[2], d = state[3];
    runRound<0>(a, b, c, d, x);
    runRound<1>(a, b, c, d, x);
    runRound<2>(a, b, c, d, x);
    runRound<3>(a, b, c, d, x);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void MD5::update(unsigned char const *input, unsigned int length)
{
    unsigned int index = (count[0] / 8) % 64;
    if ((count[0] += length << 3) < (length << 3))
        ++count[1];
    count[1] += length >> 29;

    const unsigned int firstPart = 64 - index;
    unsigned int i = 0;
    if (length >= firstPart) {
        std::memcpy(&buffer[index], input, firstPart);
        transform(buffer);
        for (i = firstPart; i + 63 < length; i += 64)
            transform(&input[i]);
        index = 0;
    }
    if (i < length)
        std::memcpy(&buffer[index], &input[i], length - i);
}

void MD5::update(char const *input, unsigned int length)
{
    update(reinterpret_cast<unsigned char const *>(input), length);
}

MD5 &MD5::finalize()
{
    if (finalized)
        return *this;

    static const unsigned char padding[64] = {0x80};
    unsigned char bits[8];
    encode(bits, count, 8);

    const unsigned int index = (count[0] / 8) % 64;
    const unsigned int padLength = index < 56 ? 56 - index : 120 - index;
    update(padding, padLength);
    update(bits, 8);
    encode(digest, state, 16);

    std::memset(buffer, 0, sizeof buffer);
    count[0] = count[1] = 0;
    finalized = true;
    return *this;
}

std::string MD5::hexdigest() const
{
    if (!finalized)
        return std::string();
    char text[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(text + i * 2, 3, "%02x", digest[i]);
    return std::string(text, 32);
}

std::string MD5::md5() const
{
    return hexdigest();
}

std::ostream &operator<<(std::ostream &out, MD5 md5)
{
    return out << md5.hexdigest();
}
