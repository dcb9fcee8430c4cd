// Test helpers: a temporary directory removed afterwards, files written into it, and an
// environment variable set for one scope and restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace nuv::test {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "nuvtest.XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        // Give back write permission that a test may have taken away, then remove.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Path of a name inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes the bytes to the file (creating parent directories) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string p = *this / name;
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
        return p;
    }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets (or with nullopt, removes) an environment variable and restores it on destruction.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& v) {
        if (v)
            setenv(name_.c_str(), v->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace nuv::test
