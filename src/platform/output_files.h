#pragma once

#include <string>

// Output that appears whole or not at all: it is written under a temporary
// name in the target's own directory and put in place in one step once it is
// complete. And a lock that keeps two runs out of one output directory.

// Creates a new, empty file in directory named ".velmorra-<stem>-XXXXXX<suffix>"
// with a unique XXXXXX; returns its path, or "" with error set.
std::string createTemporaryFile(const std::string& directory, const std::string& stem,
                                const std::string& suffix, std::string& error);

// The same for a directory, named ".velmorra-<stem>-XXXXXX".
std::string createTemporaryDirectory(const std::string& directory, const std::string& stem,
                                     std::string& error);

enum class Placed { Done, NameTaken, Failed };

// Moves the file `from` to the name `to` in the same directory in one step.
// Unless replace, a name that exists (even one made a moment ago by another
// program) is left alone and NameTaken comes back. With replace, whatever
// `to` names is replaced: a symbolic link itself, never its target. Failed
// comes with error set.
Placed putInPlace(const std::string& from, const std::string& to, bool replace, std::string& error);

// An advisory lock on a directory, held through a lock file inside it that
// is removed on release. Another process that asks for the same directory is
// refused while it is held.
class DirectoryLock {
public:
    DirectoryLock() = default;
    ~DirectoryLock() { release(); }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // False with error when another run holds the directory or the lock file
    // cannot be made.
    bool take(const std::string& directory, std::string& error);
    void release();

private:
    int descriptor = -1;
    std::string path;
};
