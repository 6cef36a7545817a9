// A second writer for the tests of temporaries left by dead runs: starts a replacing write of
// the host path argv[1], prints "writing <temporary>" and commits when its input ends. A test
// that kills it instead plays a run killed while it writes. With "named" as argv[2], the
// temporary is named from the start, as on a file system without unnamed files.
#include "platform/FileWrites.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <optional>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::optional<sc::fileops::NamedTemporariesOnly> named;
    if (argc > 2 && std::strcmp(argv[2], "named") == 0)
        named.emplace();
    sc::fileops::ReplacingFile file(QFile::decodeName(argv[1]));
    if (!file.write("from the second writer"))
        return 1;
    std::printf("writing %s\n", QFile::encodeName(file.temporaryHostPath()).constData());
    std::fflush(stdout);
    char c;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    return file.commit() ? 0 : 1;
}
