// The browser host's command line: navigations with their own keys, bodies
// and pages, and the mistakes it refuses.
#include <gtest/gtest.h>

#include "host_options.h"

namespace browser_host {
namespace {

HostOptions Parsed(const std::vector<std::wstring>& arguments) {
  auto parsed = ParseHostOptions(arguments);
  EXPECT_TRUE(std::holds_alternative<HostOptions>(parsed));
  return std::holds_alternative<HostOptions>(parsed) ? std::get<HostOptions>(parsed) : HostOptions{};
}

std::wstring Problem(const std::vector<std::wstring>& arguments) {
  auto parsed = ParseHostOptions(arguments);
  EXPECT_TRUE(std::holds_alternative<std::wstring>(parsed));
  return std::holds_alternative<std::wstring>(parsed) ? std::get<std::wstring>(parsed) : L"";
}

TEST(HostOptionsWineTest, OptionsBelongToTheNextUrlOnly) {
  const HostOptions options = Parsed({L"--keys", L"ctrl+alt", L"--post", L"a=1", L"--from", L"http://h/list.html",
                                      L"http://h/a.zip", L"http://h/b.zip"});
  ASSERT_EQ(options.navigations.size(), 2u);
  const Navigation& first = options.navigations[0];
  EXPECT_EQ(first.url, L"http://h/a.zip");
  EXPECT_EQ(first.keysText, L"ctrl+alt");
  EXPECT_EQ(first.heldCodes, (std::vector<BYTE>{VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU}));
  EXPECT_EQ(first.postBody, std::optional<std::string>("a=1"));
  EXPECT_EQ(first.fromPage, std::optional<std::wstring>(L"http://h/list.html"));
  const Navigation& second = options.navigations[1];
  EXPECT_EQ(second.url, L"http://h/b.zip");
  EXPECT_EQ(second.keysText, L"none");
  EXPECT_TRUE(second.heldCodes.empty());
  EXPECT_FALSE(second.postBody);
  EXPECT_FALSE(second.fromPage);
  EXPECT_EQ(options.startTimeoutMs, 60000u);
}

TEST(HostOptionsWineTest, AnEmptyBodyIsStillAPost) {
  const HostOptions options = Parsed({L"--post", L"", L"http://h/form.cgi"});
  ASSERT_EQ(options.navigations.size(), 1u);
  EXPECT_EQ(options.navigations[0].postBody, std::optional<std::string>(""));
}

TEST(HostOptionsWineTest, KeysAreNamesOrCodesJoinedByPlus) {
  EXPECT_EQ(KeyCodesFor(L"Shift"), (std::vector<BYTE>{VK_SHIFT, VK_LSHIFT}));
  EXPECT_EQ(KeyCodesFor(L"alt+0x5B"), (std::vector<BYTE>{VK_MENU, VK_LMENU, 0x5B}));
  EXPECT_EQ(KeyCodesFor(L"0xff"), (std::vector<BYTE>{0xFF}));
  EXPECT_FALSE(KeyCodesFor(L"hyper"));
  EXPECT_FALSE(KeyCodesFor(L"ctrl+"));
  EXPECT_FALSE(KeyCodesFor(L""));
  EXPECT_FALSE(KeyCodesFor(L"0x"));
  EXPECT_FALSE(KeyCodesFor(L"0x100"));
  EXPECT_FALSE(KeyCodesFor(L"0x00"));
  EXPECT_FALSE(KeyCodesFor(L"0x1g"));
}

TEST(HostOptionsWineTest, TheTimeoutIsForTheWholeRun) {
  const HostOptions options = Parsed({L"http://h/a.zip", L"--timeout", L"2500", L"http://h/b.zip"});
  EXPECT_EQ(options.startTimeoutMs, 2500u);
  EXPECT_EQ(options.navigations.size(), 2u);
}

TEST(HostOptionsWineTest, MistakesAreNamed) {
  EXPECT_EQ(Problem({}), L"no URL to navigate to");
  EXPECT_EQ(Problem({L"--keys", L"ctrl"}), L"options after the last URL");
  EXPECT_EQ(Problem({L"http://h/a.zip", L"--post"}), L"--post needs a value");
  EXPECT_EQ(Problem({L"--verbose", L"http://h/a.zip"}), L"unknown option --verbose");
  EXPECT_EQ(Problem({L"--timeout", L"0", L"http://h/a.zip"}), L"--timeout needs a number of milliseconds");
  EXPECT_EQ(Problem({L"--timeout", L"5s", L"http://h/a.zip"}), L"--timeout needs a number of milliseconds");
  EXPECT_NE(Problem({L"--keys", L"ctrl+meta", L"http://h/a.zip"}).find(L"unknown key in 'ctrl+meta'"),
            std::wstring::npos);
}

}  // namespace
}  // namespace browser_host
