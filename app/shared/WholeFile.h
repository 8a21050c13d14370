#pragma once
// Files the host writes whole (a language file, a saved log, a picture) are written whole or
// not at all: into a temporary file beside the target, renamed over it only when complete.
// A full disk or a failure half way leaves the old file as it was and no temporary one.
#include <functional>
#include <string>

namespace daxohost {

// Fills the file at `temporaryPath`; false, with the reason, when it could not.
using FileFiller = std::function<bool(const std::string& temporaryPath, std::string* reason)>;

enum class Existing { Keep, Replace };

// False, with the reason in UTF-8 (Windows' own words where it has them), when `path` was not
// written; with Existing::Keep a file that exists at `path` by then is never replaced.
bool WriteWholeFile(const std::string& path, const FileFiller& fill, Existing existing, std::string* reason);
bool WriteWholeFile(const std::string& path, const std::string& bytes, Existing existing, std::string* reason);

} // namespace daxohost
