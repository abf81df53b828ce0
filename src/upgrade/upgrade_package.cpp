#include "upgrade/upgrade_package.h"

#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace fs = std::filesystem;

namespace upgrade {

namespace {

constexpr size_t kBlock = 512;
// Metadata members (long names, pax records) larger than this are not plausible.
constexpr uint64_t kMetaMax = 1u << 20;

struct GzCloser {
    void operator()(gzFile_s* f) const { gzclose(f); }
};
using GzHandle = std::unique_ptr<gzFile_s, GzCloser>;

bool fail(std::string* why, const std::string& reason) {
    if (why)
        *why = reason;
    return false;
}

// Numeric header field: octal text, or GNU base-256 when the top bit is set.
bool headerNumber(const unsigned char* field, size_t width, uint64_t* out) {
    uint64_t value = 0;
    if (field[0] & 0x80) {
        if (field[0] != 0x80)
            return false; // negative or too large for us
        for (size_t i = 1; i < width; ++i) {
            if (value >> 56)
                return false;
            value = (value << 8) | field[i];
        }
        *out = value;
        return true;
    }
    size_t i = 0;
    while (i < width && field[i] == ' ')
        ++i;
    for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (value >> 60)
            return false;
        value = value * 8 + (field[i] - '0');
    }
    if (i < width && field[i] != '\0' && field[i] != ' ')
        return false;
    *out = value;
    return true;
}

bool checksumMatches(const unsigned char* h) {
    uint64_t stored = 0;
    if (!headerNumber(h + 148, 8, &stored))
        return false;
    uint64_t plain = 0;
    int64_t signedSum = 0;
    for (size_t i = 0; i < kBlock; ++i) {
        const unsigned char c = (i >= 148 && i < 156) ? ' ' : h[i];
        plain += c;
        signedSum += static_cast<signed char>(c);
    }
    return stored == plain || int64_t(stored) == signedSum;
}

std::string fieldText(const unsigned char* field, size_t width) {
    const char* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, width));
}

bool readExact(gzFile f, void* buf, size_t len) {
    return gzread(f, buf, unsigned(len)) == int(len);
}

bool skipBytes(gzFile f, uint64_t left) {
    unsigned char buf[16 * kBlock];
    while (left > 0) {
        const size_t n = left < sizeof(buf) ? size_t(left) : sizeof(buf);
        if (!readExact(f, buf, n))
            return false;
        left -= n;
    }
    return true;
}

// Member data is padded to whole blocks.
uint64_t padding(uint64_t size) {
    return (kBlock - size % kBlock) % kBlock;
}

bool skipData(gzFile f, uint64_t size) {
    return skipBytes(f, size) && skipBytes(f, padding(size));
}

// Pax extended header records: "LEN key=value\n", LEN counting the whole record.
bool parsePax(const std::string& data, std::string* path, bool* hasPath, uint64_t* size,
              bool* hasSize) {
    size_t pos = 0;
    while (pos < data.size()) {
        if (data[pos] == '\0')
            break;
        size_t len = 0;
        size_t i = pos;
        while (i < data.size() && data[i] >= '0' && data[i] <= '9' && len < (1u << 24))
            len = len * 10 + size_t(data[i++] - '0');
        if (i >= data.size() || data[i] != ' ' || len <= i - pos || pos + len > data.size() ||
            data[pos + len - 1] != '\n')
            return false;
        const std::string_view record(data.data() + i + 1, pos + len - 1 - (i + 1));
        const size_t eq = record.find('=');
        if (eq == std::string_view::npos)
            return false;
        const std::string_view key = record.substr(0, eq);
        const std::string_view value = record.substr(eq + 1);
        if (key == "path") {
            *path = std::string(value);
            *hasPath = true;
        } else if (key == "size") {
            uint64_t n = 0;
            if (value.empty())
                return false;
            for (char c : value) {
                if (c < '0' || c > '9' || (n >> 58))
                    return false;
                n = n * 10 + uint64_t(c - '0');
            }
            *size = n;
            *hasSize = true;
        }
        pos += len;
    }
    return true;
}

bool isZeroBlock(const unsigned char* h) {
    for (size_t i = 0; i < kBlock; ++i) {
        if (h[i])
            return false;
    }
    return true;
}

int copyAndSync(const std::string& from, const std::string& to, std::string* why) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        fail(why, "cannot open " + from + ": " + strerror(errno));
        return -1;
    }
    struct stat st {};
    if (fstat(in, &st) != 0) {
        fail(why, "cannot read " + from + ": " + strerror(errno));
        ::close(in);
        return -1;
    }
    const int out =
        ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        fail(why, "cannot create " + to + ": " + strerror(errno));
        ::close(in);
        return -1;
    }
    bool ok = true;
    char buf[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof(buf));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; done < n && ok;) {
            const ssize_t w = ::write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
        if (!ok)
            break;
    }
    const int savedErrno = errno;
    ok = ok && fchmod(out, st.st_mode & 07777) == 0 && fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    if (!ok) {
        fail(why, "cannot copy " + from + " to " + to + ": " + strerror(savedErrno));
        ::unlink(to.c_str());
        return -1;
    }
    return 0;
}

} // namespace

bool memberNameIsSafe(const std::string& name, std::string* why) {
    if (name.empty())
        return fail(why, "empty member name");
    if (name[0] == '/')
        return fail(why, "absolute member name " + name);
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2)
            return fail(why, "member name leaves the directory: " + name);
        start = end + 1;
    }
    return true;
}

// tar knows every record that can name a member (pax, GNU, sparse), so its own listing is
// what counts. Escaped quoting puts every name on one line; an escape marks an odd name.
static int checkListedNames(const std::string& archive, std::string* why) {
    std::string listing;
    const int status =
        h2::platform().runProgram({"tar", "-tzf", archive, "--quoting-style=escape"}, &listing);
    if (status != 0) {
        fail(why, "tar cannot list " + archive + " (status " + std::to_string(status) + ")");
        return -1;
    }
    for (size_t start = 0; start < listing.size();) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        const std::string name = listing.substr(start, end - start);
        if (name.find('\\') != std::string::npos) {
            fail(why, "odd member name " + name);
            return -1;
        }
        if (!memberNameIsSafe(name, why))
            return -1;
        start = end + 1;
    }
    return 0;
}

// The member headers as read here: types, and names from the records this reader knows.
static int checkHeaders(const std::string& archive, std::string* why) {
    GzHandle f(gzopen(archive.c_str(), "rb"));
    if (!f) {
        fail(why, "cannot open " + archive);
        return -1;
    }
    unsigned char h[kBlock];
    std::string longName;
    bool hasLongName = false;
    std::string paxPath;
    bool hasPaxPath = false;
    uint64_t paxSize = 0;
    bool hasPaxSize = false;
    bool first = true;

    for (;;) {
        const int got = gzread(f.get(), h, kBlock);
        if (first && gzdirect(f.get())) {
            fail(why, "not a gzip-compressed archive");
            return -1;
        }
        first = false;
        if (got == 0)
            return 0; // end of the file without the end blocks: tar accepts it
        if (got != int(kBlock)) {
            fail(why, "truncated archive");
            return -1;
        }
        if (isZeroBlock(h))
            return 0;
        if (!checksumMatches(h)) {
            fail(why, "not a tar archive (bad header checksum)");
            return -1;
        }
        uint64_t size = 0;
        if (!headerNumber(h + 124, 12, &size)) {
            fail(why, "bad member size");
            return -1;
        }
        const char type = char(h[156]);

        if (type == 'L' || type == 'x' || type == 'g' || type == 'K') {
            if (size > kMetaMax) {
                fail(why, "oversized metadata member");
                return -1;
            }
            std::string data;
            data.assign(size_t(size), '\0');
            if ((size > 0 && !readExact(f.get(), data.data(), size_t(size))) ||
                !skipBytes(f.get(), padding(size))) {
                fail(why, "truncated archive");
                return -1;
            }
            if (type == 'L') {
                longName.assign(data.c_str(), strnlen(data.c_str(), data.size()));
                hasLongName = true;
            } else if (type == 'x' || type == 'g') {
                std::string path;
                bool hasPath = false;
                uint64_t sz = 0;
                bool hasSz = false;
                if (!parsePax(data, &path, &hasPath, &sz, &hasSz)) {
                    fail(why, "bad extended header");
                    return -1;
                }
                if (type == 'g' && (hasPath || hasSz)) {
                    fail(why, "global header naming members");
                    return -1;
                }
                if (hasPath) {
                    paxPath = path;
                    hasPaxPath = true;
                }
                if (hasSz) {
                    paxSize = sz;
                    hasPaxSize = true;
                }
            }
            continue;
        }

        std::string name;
        if (hasPaxPath) {
            name = paxPath;
        } else if (hasLongName) {
            name = longName;
        } else {
            name = fieldText(h, 100);
            const std::string prefix = fieldText(h + 345, 155);
            if (memcmp(h + 257, "ustar", 5) == 0 && memcmp(h + 257, "ustar  ", 8) != 0 &&
                !prefix.empty())
                name = prefix + "/" + name;
        }
        if (hasPaxSize)
            size = paxSize;
        hasLongName = hasPaxPath = hasPaxSize = false;

        if (!memberNameIsSafe(name, why))
            return -1;
        switch (type) {
        case '0':
        case '\0':
        case '7':
        case '5':
            break;
        case '1':
        case '2':
            fail(why, "link member " + name);
            return -1;
        case '3':
        case '4':
        case '6':
            fail(why, "special file member " + name);
            return -1;
        default:
            fail(why, std::string("unsupported member type '") + type + "' for " + name);
            return -1;
        }
        if (!skipData(f.get(), size)) {
            fail(why, "truncated archive");
            return -1;
        }
    }
}

// Both must pass.
int checkPackageMembers(const std::string& archive, std::string* why) {
    if (checkListedNames(archive, why) != 0)
        return -1;
    return checkHeaders(archive, why);
}

int emptyDirectory(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        return -1;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        // remove_all removes a link itself, never what it points to.
        fs::remove_all(it->path(), ec);
        if (ec)
            return -1;
    }
    return ec ? -1 : 0;
}

int checkExtractedTree(const std::string& dir, std::string* why) {
    std::error_code ec;
    fs::recursive_directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::file_status st = it->symlink_status(ec);
        if (ec)
            break;
        if (!fs::is_regular_file(st) && !fs::is_directory(st)) {
            fail(why, "not a regular file or directory: " + it->path().string());
            return -1;
        }
    }
    if (ec) {
        fail(why, "cannot walk " + dir + ": " + ec.message());
        return -1;
    }
    return 0;
}

int installTree(const std::string& from, const std::string& to, std::string* why,
                const RenameFn& renameFile) {
    const RenameFn doRename =
        renameFile ? renameFile : [](const char* a, const char* b) { return ::rename(a, b); };
    std::error_code ec;

    // Collect first: the walk must not see the tree change under it.
    std::vector<fs::path> dirs, files;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        // The settings file and other hidden files of the install directory are the
        // operator's: a package never replaces them.
        if (it.depth() == 0 && it->path().filename().string()[0] == '.') {
            it.disable_recursion_pending();
            continue;
        }
        const fs::file_status st = it->symlink_status(ec);
        const fs::path rel = it->path().lexically_relative(from);
        if (fs::is_directory(st))
            dirs.push_back(rel);
        else if (fs::is_regular_file(st))
            files.push_back(rel);
        else
            return fail(why, "not a regular file or directory: " + it->path().string()), -1;
    }
    if (ec)
        return fail(why, "cannot walk " + from + ": " + ec.message()), -1;

    std::vector<fs::path> createdDirs;
    std::vector<std::pair<fs::path, fs::path>> staged; // staged file, final name
    auto rollBack = [&] {
        for (const auto& s : staged)
            fs::remove(s.first, ec);
        for (auto d = createdDirs.rbegin(); d != createdDirs.rend(); ++d)
            fs::remove(*d, ec); // only removes it while empty
        return -1;
    };

    fs::create_directories(to, ec);
    for (const fs::path& rel : dirs) {
        const fs::path target = fs::path(to) / rel;
        const fs::file_status st = fs::symlink_status(target, ec);
        if (fs::is_directory(st))
            continue;
        if (fs::exists(st)) {
            fail(why, "cannot replace " + target.string() + " with a directory");
            return rollBack();
        }
        if (!fs::create_directory(target, ec)) {
            fail(why, "cannot create " + target.string() + ": " + ec.message());
            return rollBack();
        }
        createdDirs.push_back(target);
    }

    for (const fs::path& rel : files) {
        const fs::path source = fs::path(from) / rel;
        const fs::path target = fs::path(to) / rel;
        if (fs::is_directory(fs::symlink_status(target, ec))) {
            fail(why, "cannot replace directory " + target.string() + " with a file");
            return rollBack();
        }
        const fs::path stage = target.parent_path() / ("." + target.filename().string() + ".new");
        fs::remove(stage, ec);
        if (doRename(source.c_str(), stage.c_str()) != 0) {
            if (errno != EXDEV) {
                fail(why, "cannot move " + source.string() + ": " + strerror(errno));
                return rollBack();
            }
            if (copyAndSync(source.string(), stage.string(), why) != 0)
                return rollBack();
        }
        staged.emplace_back(stage, target);
    }

    // Replace the files; the program itself goes last so that a failure before it keeps
    // the old one runnable.
    std::stable_partition(staged.begin(), staged.end(),
                          [&](const auto& s) { return s.second != fs::path(to) / "h2"; });
    for (size_t i = 0; i < staged.size(); ++i) {
        if (::rename(staged[i].first.c_str(), staged[i].second.c_str()) != 0) {
            fail(why, "cannot replace " + staged[i].second.string() + ": " + strerror(errno));
            for (size_t j = i; j < staged.size(); ++j)
                fs::remove(staged[j].first, ec);
            return -1;
        }
    }
    return 0;
}

} // namespace upgrade
