#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::fprintf(stderr, "ZRPlayer: the player window is not built yet; nothing can be played.\n");
    return 1;
}
