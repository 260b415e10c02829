#include <gtest/gtest.h>
#include "gui/GApplication.h"

namespace {
const GApplication app;

TEST(ExpandEnvironment, DefinedUndefinedAndPlain) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"RM_TEST_FOLDER", L"C:\\Users\\Ann"));
    ::SetEnvironmentVariableW(L"RM_TEST_UNDEFINED", nullptr);
    EXPECT_EQ(app.ExpandEnvironment(L"%RM_TEST_FOLDER%\\Desktop\\"), L"C:\\Users\\Ann\\Desktop\\");
    EXPECT_EQ(app.ExpandEnvironment(L"%RM_TEST_UNDEFINED%\\Desktop\\"), L"%RM_TEST_UNDEFINED%\\Desktop\\");
    EXPECT_EQ(app.ExpandEnvironment(L"no percent sign"), L"no percent sign");
    EXPECT_EQ(app.ExpandEnvironment(L""), L"");
}

TEST(ExpandEnvironment, LongExpansion) {
    const WideString value(5000, L'x');
    ASSERT_TRUE(::SetEnvironmentVariableW(L"RM_TEST_LONG", value.c_str()));
    EXPECT_EQ(app.ExpandEnvironment(L"<%RM_TEST_LONG%>"), L"<" + value + L">");
}

TEST(GetModuleFolder, FolderEndsInBackslashAndPrefixesThePath) {
    const WideString path = app.GetModuleFolder(false);
    const WideString folder = app.GetModuleFolder(true);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
    EXPECT_EQ(path.substr(folder.size()), L"text_tests.exe");
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
}
} // namespace
