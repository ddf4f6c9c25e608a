#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace test {

// Runs a test inside a fresh temporary directory with an "assets" folder, as
// the game runs from the repository root; the previous directory comes back afterwards.
class InTempDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "skyscuffle-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        std::filesystem::create_directory(root_ / "assets");
        std::filesystem::current_path(root_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }

    static void write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path root_;

private:
    std::filesystem::path previous_;
};

} // namespace test
