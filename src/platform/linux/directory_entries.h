#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <span>

// Hands `onName` the name of each entry of the open directory `fd`, from
// where its offset stands, reading as many entries per system call as
// `buffer` holds. False when the kernel refuses the listing part way.
template<typename OnName>
bool forEachDirectoryEntry(int fd, std::span<char> buffer, OnName &&onName)
{
    for (;;) {
        const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (ssize_t offset = 0; offset < got;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer.data() + offset);
            onName(static_cast<const char *>(entry->d_name));
            offset += entry->d_reclen;
        }
    }
}
