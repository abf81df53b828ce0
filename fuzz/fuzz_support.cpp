#include "fuzz_support.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const std::string& fuzzRoot() {
    static const std::string root = [] {
        char dir[] = "/tmp/h2-fuzz-XXXXXX";
        if (!mkdtemp(dir))
            abort();
        h2::setPlatform(h2::makeDesktopPlatform(dir));
        return std::string(dir);
    }();
    return root;
}

std::string writeScratch(const char* name, const uint8_t* data, size_t size) {
    const std::string path = fuzzRoot() + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        abort();
    if (size && fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);
    return path;
}
