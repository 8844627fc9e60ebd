// Runs a fuzz target once on every file of the folders given, without
// libFuzzer, so the ordinary build replays the committed corpus as a test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--record") {
        pelorin::fuzz::recording = true;
        first = 2;
    }
    if (argc <= first) {
        std::cerr << "usage: " << argv[0] << " [--record] CORPUS_FOLDER...\n";
        return 2;
    }
    std::size_t replayed = 0;
    for (int a = first; a < argc; ++a) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[a])) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            // Named first, so that the input behind a failed check is known.
            std::cout << file.filename().string() << std::endl;
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    // An empty corpus would pass without checking anything.
    return replayed > 0 ? 0 : 1;
}
