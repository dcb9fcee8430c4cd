// What tells, without reading a file, that its contents are still those read before: device,
// inode, size and both file times; and the parsed copies of settings files handed out again
// while that identity holds (a dialog reads the same few files every time it opens).
#pragma once

#include <sys/stat.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

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

// Parsed files of one kind by name. Get hands out the kept copy while the file is as it was
// when read (and was read with the same variant: what else the parse depended on, such as the
// code page bytes were decoded in); otherwise it calls read(fileName) and keeps the result when
// the file did not change meanwhile and has settled. Thread-safe.
template <class T> class TKeptFiles {
public:
    template <class Read>
    std::shared_ptr<const T> Get(const std::string& fileName, unsigned variant, Read&& read) {
        TFileIdentity before;
        const bool known = before.Read(fileName);
        if (known) {
            std::lock_guard<std::mutex> hold(lock_);
            if (auto it = kept_.find(fileName);
                it != kept_.end() && it->second.identity == before && it->second.variant == variant)
                return it->second.contents;
        }
        std::shared_ptr<const T> contents = read(fileName);
        TFileIdentity after;
        if (contents && known && after.Read(fileName) && after == before && after.Settled()) {
            std::lock_guard<std::mutex> hold(lock_);
            if (kept_.size() >= kMaxKept) // a handful of settings files in practice
                kept_.clear();
            kept_[fileName] = TKept{after, variant, contents};
        }
        return contents;
    }

private:
    static constexpr std::size_t kMaxKept = 32;
    struct TKept {
        TFileIdentity identity;
        unsigned variant = 0;
        std::shared_ptr<const T> contents;
    };
    std::mutex lock_;
    std::unordered_map<std::string, TKept> kept_;
};

} // namespace nuv
