// kvtool: the headless face of the report library.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out) {
    std::fputs("usage: kvtool COMMAND [ARGS]\n"
               "       kvtool --help | --version\n",
               out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("kvtool %s\n", KV_VERSION);
        return 0;
    }
    std::fprintf(stderr, "kvtool: unknown command '%s'\n", argv[1]);
    return 2;
}
