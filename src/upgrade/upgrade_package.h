#pragma once
// The panel's own upgrade package (a gzip-compressed tar archive from a USB stick) and its
// installation. Anyone can plug in a stick, so nothing from the archive is trusted: members
// are checked before tar runs, the extracted tree is checked again, and the install replaces
// files one by one only after every file has been staged.

#include <functional>
#include <string>

namespace upgrade {

// 0 when every member of the archive is a regular file or a directory whose name stays
// inside the extraction directory; -1 otherwise (absolute names, ".." components, links,
// devices, unknown member types, or an unreadable archive), with the reason in `why`.
// The names are checked as tar itself lists them (tar runs through the platform), the
// member types and, again, the names as read here.
int checkPackageMembers(const std::string& archive, std::string* why);

// Checks one member name as tar would extract it; the reason is set on refusal.
bool memberNameIsSafe(const std::string& name, std::string* why);

// Removes everything inside `dir` (never following links) and makes sure the directory
// exists. 0 on success.
int emptyDirectory(const std::string& dir);

// 0 when `dir` holds only regular files and directories; -1 with the offending path in
// `why` otherwise.
int checkExtractedTree(const std::string& dir, std::string* why);

// rename(2) as the install calls it; tests replace it to force the copy path or a failure.
using RenameFn = std::function<int(const char* from, const char* to)>;

// Moves every file below `from` to the same place below `to`, creating directories as
// needed. Top-level entries whose names begin with a dot stay behind, as a shell's "*"
// would leave them; below a moved directory everything moves. A file that cannot be
// renamed (another file system) is copied and synced next to its destination first. Every
// file is staged before any is replaced, and the program "h2" is replaced last; a failure
// while staging removes what was staged and leaves `to` as it was. 0 on success, -1 with
// the reason in `why`.
int installTree(const std::string& from, const std::string& to, std::string* why,
                const RenameFn& renameFile = {});

} // namespace upgrade
