#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// A fresh folder for one test's files, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qrydesk-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path File(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};
