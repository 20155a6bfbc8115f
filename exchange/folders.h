#pragma once
// Folder texts of the exchange. Every folder that is joined with a file or folder name goes
// through AppendBackslash or CopyFolderPath, so a folder given with or without its trailing
// separator yields the same path. The separator is the platform's "/".
#include <string>
#include <string_view>

namespace quillet::exchange {

inline constexpr char kSeparator = '/';

// Appends the separator unless the text already ends in one. An empty text stays empty:
// it names no folder, so a name joined to it stays relative to the working folder instead
// of becoming a path in the file system's root.
void AppendBackslash(std::string& text);

// destination = folder, then AppendBackslash.
void CopyFolderPath(std::string& destination, std::string_view folder);

// CopyFolderPath of the folder followed by the name: "a/b" + "QL_Account.pdb" and
// "a/b/" + "QL_Account.pdb" both give "a/b/QL_Account.pdb".
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part of a path, without its trailing separator ("/usr/bin/x" -> "/usr/bin",
// "/x" -> "/", "x" -> "").
std::string FolderOf(std::string_view path);

// The folder of the running executable, without trailing separator; empty when the
// system does not tell it.
std::string ProgramFolder();

}  // namespace quillet::exchange
