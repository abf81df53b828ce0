// Driver of the settings durability run (bench/settings_kill.py): `store DIR` stores changing
// settings into DIR/.h2config as fast as it can until it is killed; `check DIR` says whether
// DIR/.h2config is whole: the keys of a complete store, in order, each with a number.

#include "platform/platform.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> keysOf(const std::string& path, bool* ok) {
    std::ifstream in(path);
    std::vector<std::string> keys;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    *ok = !text.empty() && text.back() == '\n';
    static const std::regex line(R"(([A-Za-z_0-9]+) = (-?[0-9]+))");
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string one = text.substr(at, end == std::string::npos ? end : end - at);
        std::smatch m;
        if (!std::regex_match(one, m, line))
            *ok = false;
        else
            keys.push_back(m[1]);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return keys;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || chdir(argv[2]) != 0) {
        fprintf(stderr, "usage: bench_settings_store_loop store|check DIR\n");
        return 2;
    }
    h2::setPlatform(h2::makeDesktopPlatform(argv[2]));
    const std::string mode = argv[1];
    if (mode == "check") {
        SettingRecord fresh{};
        settings::loadDefaults(fresh);
        if (settings::storeFile(fresh, "expected.h2config") != 0)
            return 2;
        bool expectedOk = false, ok = false;
        const std::vector<std::string> expected = keysOf("expected.h2config", &expectedOk);
        const std::vector<std::string> got = keysOf(kSettingsFile, &ok);
        SettingRecord parsed{};
        if (!expectedOk || !ok || got != expected ||
            settings::parseFile(parsed, kSettingsFile) != 0) {
            printf("broken\n");
            return 1;
        }
        printf("whole\n");
        return 0;
    }
    std::mt19937 pick{unsigned(getpid())};
    for (;;) {
        SettingRecord record = snapshotSetting();
        record.mode = int(pick() % 15);
        record.COPYTIMECOUNT = int(pick() % 1000);
        record.capfil_low[pick() % 9] = int(pick() % 100000);
        commitSetting(record);
        writeSetting();
    }
}
