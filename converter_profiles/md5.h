#ifndef MD5_H
#define MD5_H

#include <cstdint>
#include <ostream>
#include <string>

// The MD5 message digest of RFC 1321 over bytes fed in pieces. A plain value: copies carry on
// independently.
class MD5
{
public:
    MD5();
    // The digest of text, finalized.
    explicit MD5(const std::string &text);

    void update(unsigned char const *input, unsigned int length);
    void update(char const *input, unsigned int length);
    MD5 &finalize();
    // 32 lower-case hexadecimal digits; empty until finalized.
    std::string hexdigest() const;
    std::string md5() const;

private:
    void init();
    void transform(unsigned char const block[64]);
    static void decode(unsigned int *output, unsigned char const *input, unsigned int length);
    static void encode(unsigned char *output, unsigned int const *input, unsigned int length);

    bool finalized;
    unsigned char buffer[64];
    unsigned int count[2];
    unsigned int state[4];
    unsigned char digest[16];
};

std::ostream &operator<<(std::ostream &out, MD5 md5);

#endif
