// Prints the MD5 of a file as md5sum does ("<digest>  <name>"), through the MD5 class, reading in
// the same 32 KiB blocks as md5sum, so that the two processes do the same work.
#include "converter_profiles/md5.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    MD5 md5;
    static unsigned char block[32768];
    ssize_t count;
    while ((count = ::read(fd, block, sizeof block)) > 0)
        md5.update(block, unsigned(count));
    ::close(fd);
    if (count < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%s  %s\n", md5.finalize().hexdigest().c_str(), argv[1]);
    return 0;
}
