#pragma once
// Whether two names a person gave name one file. A spelling decides nothing: the same file can
// be named in another case, through "..", by a short name or through a link.
#include <string>

namespace daxohost {

// The full path as Windows resolves it against the current folder; `path` itself when it
// cannot be resolved.
std::string FullPath(const std::string& path);

// One file: the full paths are equal without regard to case; or both files exist and have one
// volume and file index; or neither need exist and they are one name in one folder (the folder
// by its identity).
bool SameFile(const std::string& a, const std::string& b);

// The folder that holds `path`, and its name in it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

} // namespace daxohost
