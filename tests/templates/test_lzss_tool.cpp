// The build's `lzss` tool as the build calls it: exit status, one line on
// standard error, and no output file left behind by a failure.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

class LzssTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("zandrel-lzss-tool-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string file(const std::string &name, const std::string &content) const
    {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    std::string read(const std::string &path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // Runs the tool; returns its exit status and puts its standard error in `errors`.
    int run(const std::string &arguments, std::string &errors) const
    {
        const std::string errorFile = (m_folder / "stderr.txt").string();
        const std::string command = "\"" ZANDREL_LZSS_TOOL "\" " + arguments + " 2> \"" + errorFile + "\"";
        const int status = std::system(command.c_str());
        errors = read(errorFile);
        return status;
    }

    fs::path m_folder;
};

TEST_F(LzssTool, CompressesAndExpandsAPageBackToItself)
{
    const std::string page = "<tr><td>PLAYER 1</td></tr>\r\n<tr><td>PLAYER 2</td></tr>\r\n";
    const std::string in = file("page.htm", page);
    const std::string item = (m_folder / "page.bin").string();
    const std::string back = (m_folder / "back.htm").string();
    std::string errors;

    ASSERT_EQ(run("compress \"" + in + "\" \"" + item + "\"", errors), 0) << errors;
    EXPECT_EQ(read(item).size() % 4, 0u);
    ASSERT_EQ(run("decompress \"" + item + "\" \"" + back + "\"", errors), 0) << errors;
    EXPECT_EQ(read(back), page);
    EXPECT_EQ(errors, "");
}

TEST_F(LzssTool, FailsWithOneLineAndNoOutput)
{
    const struct {
        const char *name;
        std::string command;
        std::optional<std::string> input;  // none: no input file at all
        const char *says;
    } rows[] = {
        {"empty page", "compress", "", "empty"},
        {"page without a repeat", "compress", "abcdefg", "no repeat"},
        {"missing input file", "compress", std::nullopt, "in: cannot open"},
        {"corrupt item", "decompress", std::string("\0\0\0\0\0\0\xC0\0\x05\0\0\0\x10" "a", 14),
         "corrupt"},
        {"unknown command", "pack", "aaaa", "usage"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(m_folder / "in");
        if (row.input)
            file("in", *row.input);
        const std::string out = (m_folder / "out").string();
        std::string errors;

        EXPECT_NE(run(row.command + " \"" + (m_folder / "in").string() + "\" \"" + out + "\"", errors), 0);

        EXPECT_THAT(errors, ::testing::HasSubstr(row.says));
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
