#pragma once

#include <string>
#include <vector>

// Small synchronous file-system calls. Each answers a FileErr code.
namespace hc::system {

// The path of the named item in the folder.
std::string JoinPath(const std::string& folder, const std::string& name);

// Unlinks one file (or symbolic link).
int RemoveFile(const char* path);

// Removes the item as a forced removal does: a missing item is no error;
// a folder is removed only when `recursive` is set, with everything in it.
// Symbolic links are removed, never followed. The first failure is answered
// after the rest has been tried.
int RemoveItem(const char* path, bool recursive);

// Makes one folder with the given permission bits; a folder that already
// exists is success, any other existing item is kFileErrDuplicate.
int MakeDirectory(const char* path, unsigned mode);

// The names in a folder ("." and ".." left out), sorted.
int ListDirectory(const char* path, std::vector<std::string>& names);
// The same through a descriptor open on the folder (which stays open).
int ListDirectoryAt(int folderFd, std::vector<std::string>& names);

// Whether the item exists (symbolic links not followed).
bool ItemExists(const char* path);

}  // namespace hc::system
