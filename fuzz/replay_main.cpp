// Runs a fuzz target's entry point over given inputs without the fuzzing engine, so that the
// normal build (and CI) checks every seed and every kept crash reproducer in seconds.
//
//   <target>_replay [-max_len=N] [-exclude=TEXT]... <folder or file>...
//
// Folders are read one level deep, in name order. A missing folder is skipped: the shared
// picture corpus may be absent. Each input is cut to N bytes, as the fuzzer cuts its corpus.
// Files whose name contains an excluded text are left out (inputs too slow for every test run).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const fs::path& place) {
    std::vector<fs::path> files;
    std::error_code error;
    if (fs::is_directory(place, error)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(place, error))
            if (entry.is_regular_file(error))
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(place, error)) {
        files.push_back(place);
    } else {
        std::printf("skipped (absent): %s\n", place.c_str());
    }
    return files;
}

std::vector<std::uint8_t> readInput(const fs::path& file, std::size_t maxLen) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        std::exit(2);
    }
    if (bytes.size() > maxLen)
        bytes.resize(maxLen);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const std::string maxLenOption = "-max_len=", excludeOption = "-exclude=";
    std::size_t maxLen = SIZE_MAX;
    std::vector<std::string> excluded;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(maxLenOption, 0) == 0) {
            maxLen = std::stoull(arg.substr(maxLenOption.size()));
            continue;
        }
        if (arg.rfind(excludeOption, 0) == 0) {
            excluded.push_back(arg.substr(excludeOption.size()));
            continue;
        }
        for (const fs::path& file : inputsOf(arg)) {
            const std::string name = file.filename().string();
            if (std::any_of(excluded.begin(), excluded.end(), [&](const std::string& text) {
                    return name.find(text) != std::string::npos;
                }))
                continue;
            // Named before it runs, so that a crash shows which input caused it.
            std::printf("%s\n", file.c_str());
            std::fflush(stdout);
            const std::vector<std::uint8_t> bytes = readInput(file, maxLen);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}
