// Loading a shared library, finding its functions, and unloading it with its owner.
#include "linkor.h"

#include <common/loaded_library.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <utility>

namespace {

/// Whether the library at `path` is loaded in this process now.
bool mapped(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        ::dlclose(handle);
    }
    return handle != nullptr;
}

/// A copy of the driver in a directory of its own: the driver writes a record beside
/// itself when it is loaded.
class DriverCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/common-library-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
        path = (m_dir / "liblinkor.so").string();
        std::filesystem::copy_file(LINKOR_LIBRARY, path);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path;

  private:
    std::filesystem::path m_dir;
};

TEST_F(DriverCopy, FindsExportedFunctionsAndNothingElse) {
    const common::LoadedLibrary library(path);
    ASSERT_TRUE(library.loaded()) << library.error();
    EXPECT_TRUE(library.error().empty());
    const auto identity = library.function<linkor::fn::GetIdentityKv>("GetIdentityKv");
    ASSERT_NE(identity, nullptr);
    char text[256] = {};
    EXPECT_EQ(identity(text), 0);
    EXPECT_NE(std::string(text).find("Linkor"), std::string::npos) << text;
    EXPECT_EQ(library.symbol("NoSuchFunction"), nullptr);
}

TEST(LoadedLibrary, AFileThatDoesNotLoadGivesTheLoadersReason) {
    const std::string path = "/nonexistent/libnothing.so";
    const common::LoadedLibrary library(path);
    EXPECT_FALSE(library.loaded());
    EXPECT_NE(library.error().find("libnothing.so"), std::string::npos) << library.error();
    EXPECT_EQ(library.symbol("OpenKv"), nullptr);
    EXPECT_EQ(common::LoadedLibrary().function<linkor::fn::OpenKv>("OpenKv"), nullptr);
}

TEST_F(DriverCopy, TheLastOwnerUnloadsIt) {
    ASSERT_FALSE(mapped(path));
    common::LoadedLibrary first(path);
    ASSERT_TRUE(first.loaded()) << first.error();
    common::LoadedLibrary second(std::move(first));
    EXPECT_FALSE(first.loaded());
    EXPECT_TRUE(second.loaded());
    first.reset(); // owns nothing: must not unload what `second` holds
    EXPECT_TRUE(mapped(path));
    second.reset();
    EXPECT_FALSE(second.loaded());
    EXPECT_FALSE(mapped(path));
}

} // namespace
