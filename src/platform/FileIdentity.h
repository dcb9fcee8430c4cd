// What tells, without reading a file, that its contents are still those read before: device,
// inode, size and both file times. Readers that keep a parsed copy of a settings file hand it
// out again while the identity holds.
#pragma once

#include <sys/stat.h>

#include <ctime>
#include <string>

namespace nuv {

struct TFileIdentity {
    struct stat st {};

    // False when the file cannot be looked at (missing, no permission).
    bool Read(const std::string& fileName) { return ::stat(fileName.c_str(), &st) == 0; }

    bool operator==(const TFileIdentity& o) const {
        return st.st_dev == o.st.st_dev && st.st_ino == o.st.st_ino && st.st_size == o.st.st_size &&
               st.st_mtim.tv_sec == o.st.st_mtim.tv_sec &&
               st.st_mtim.tv_nsec == o.st.st_mtim.tv_nsec &&
               st.st_ctim.tv_sec == o.st.st_ctim.tv_sec &&
               st.st_ctim.tv_nsec == o.st.st_ctim.tv_nsec;
    }

    // Last written a while ago. File times are coarse: a file written moments ago may yet change
    // again within the same tick without its times showing it, so only a settled file's copy is
    // kept.
    bool Settled() const {
        const std::time_t now = std::time(nullptr);
        return now - st.st_mtim.tv_sec > 2 && now - st.st_ctim.tv_sec > 2;
    }
};

} // namespace nuv
