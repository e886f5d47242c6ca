// pxs_test_files.h -- scoped fixtures for tests that touch the file system
// and the process: a temporary directory with files in it, a changed
// working directory, a saved notification level, captured standard error.

#ifndef PXS_TESTS_PXS_TEST_FILES_H
#define PXS_TESTS_PXS_TEST_FILES_H

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <util/znNotify.h>

namespace pxstest {

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the scope.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pxs-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The full path of `relative`, which is created with `text` in it
    // (directories on the way included).
    std::string write(const std::string& relative, const std::string& text) const {
        std::filesystem::path full = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full) << text;
        return full.string();
    }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

// Runs the scope in another working directory.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& dir) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

class ScopedNotifyLevel {
public:
    explicit ScopedNotifyLevel(int level) : saved_(ZnNotifyLevel) { ZnNotifyLevel = level; }
    ~ScopedNotifyLevel() { ZnNotifyLevel = saved_; }

private:
    int saved_;
};

// Captures what is written to standard error during the scope.
class StderrCapture {
public:
    StderrCapture() { testing::internal::CaptureStderr(); }
    ~StderrCapture() {
        if (!taken_) testing::internal::GetCapturedStderr();
    }
    std::string text() {
        taken_ = true;
        return testing::internal::GetCapturedStderr();
    }

private:
    bool taken_ = false;
};

}  // namespace pxstest

#endif
