#include "io/net/release_check.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "base/error.h"
#include "base/identity.h"
#include "base/log.h"
#include "io/net/http_client.h"
#include "io/session/app_test_dir.h"
#include "support/loopback_http_server.h"
#include "support/scoped_env.h"

namespace {

class ReleaseCheckTest : public ::testing::Test {
protected:
  void SetUp() override {
    AppInitIdentity();
    ASSERT_EQ(NetInit(), 0);
  }
  void TearDown() override {
    NetSetServerBase(L"");
    NetEnd();
  }
  // GetAppUpdateAvailable against a server answering with the list.
  int check(const std::string& list, int anyRelease, int status = 200) {
    LoopbackHttpServer server(status, list);
    EXPECT_TRUE(server.listening());
    NetSetServerBase(server.baseUrl().c_str());
    int result = GetAppUpdateAvailable(anyRelease);
    lastRequests = server.requests();
    return result;
  }
  AppTestDir dir;
  std::vector<std::string> lastRequests;
};

TEST_F(ReleaseCheckTest, FirstLineOnlyCountsWithoutAnyRelease) {
  ASSERT_EQ(GetAppBuildNumber(), 20140204u);
  EXPECT_EQ(check("20140301\n20150101\n", 0), 20140301);
  EXPECT_EQ(check("20130101\n20150101\n", 0), 0);
}

TEST_F(ReleaseCheckTest, AnyReleaseTakesTheLargerOfTwoLines) {
  EXPECT_EQ(check("20140301\n20150101\n", 1), 20150101);
  EXPECT_EQ(check("20150101\r\n20140301\r\n", 1), 20150101);
  EXPECT_EQ(check("20130101\n20140205\n20990101\n", 1), 20140205);
}

TEST_F(ReleaseCheckTest, RequestsTheReleaseListOverHttp10) {
  check("20140301\n", 0);
  ASSERT_EQ(lastRequests.size(), 1u);
  EXPECT_EQ(lastRequests[0].rfind("GET /QV2/ReleaseMac.txt HTTP/1.0\r\n", 0), 0u) << lastRequests[0];
}

TEST_F(ReleaseCheckTest, NumbersOutsideTheRangeCountAsNone) {
  EXPECT_EQ(check("20350101\n20140301\n", 0), 0);
  EXPECT_EQ(check("20350101\n20140301\n", 1), 20140301);
  EXPECT_EQ(check("20300102\n", 0), 0);
  EXPECT_EQ(check("20300101\n", 0), 20300101);
  EXPECT_EQ(check("20101231\n", 1), 0);
  EXPECT_EQ(check("2014030100000\n", 0), 0);
  EXPECT_EQ(check("release 20140301\n", 0), 0);
}

TEST_F(ReleaseCheckTest, TheSameBuildIsNoUpdate) { EXPECT_EQ(check("20140204\n", 1), 0); }

TEST_F(ReleaseCheckTest, UnreadableListGivesMinusOne) {
  EXPECT_EQ(check("20150101\n", 0, 404), -1);
  EXPECT_EQ(check("", 0), -1);
}

TEST_F(ReleaseCheckTest, ServerDownGivesMinusOne) {
  int port = LoopbackHttpServer::UnusedPort();
  ASSERT_GT(port, 0);
  std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
  NetSetServerBase(std::wstring(base.begin(), base.end()).c_str());
  EXPECT_EQ(GetAppUpdateAvailable(0), -1);
}

TEST_F(ReleaseCheckTest, SilentServerTimesOut) {
  // Connections complete in the kernel's backlog, but nobody ever answers.
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
  std::string base = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  std::string body;
  EXPECT_EQ(HttpGet(base + "QV2/ReleaseMac.txt", 300, 1024, body), kErrTimeout);
  NetSetServerBase(std::wstring(base.begin(), base.end()).c_str());
  EXPECT_EQ(GetAppUpdateAvailable(0), -1);
  close(fd);
}

TEST_F(ReleaseCheckTest, EmptyBaseIsOff) {
  NetSetServerBase(L"");
  EXPECT_EQ(NetGetServerBase(), "");
  EXPECT_EQ(GetAppUpdateAvailable(1), -1);
}

TEST_F(ReleaseCheckTest, BaseWithoutSlashGetsOne) {
  LoopbackHttpServer server(200, "20140301\n");
  std::wstring base = server.baseUrl();
  base.pop_back();
  NetSetServerBase(base.c_str());
  EXPECT_EQ(GetAppUpdateAvailable(0), 20140301);
}

TEST_F(ReleaseCheckTest, HugeReplyIsCutNotHeld) {
  std::string list = "20140301\n" + std::string(4u << 20, '7');
  EXPECT_EQ(check(list, 1), 20140301);
}

TEST(ReleaseListTest, ParsesLeadingNumbersOfTheFirstLines) {
  AppInitIdentity();
  EXPECT_EQ(ReleaseListNewest("  20140301  \n", 0), 20140301);
  EXPECT_EQ(ReleaseListNewest("\t20140301abc\n", 0), 20140301);
  EXPECT_EQ(ReleaseListNewest("x\n20140301\n", 0), 0);
  EXPECT_EQ(ReleaseListNewest("x\n20140301\n", 1), 20140301);
  EXPECT_EQ(ReleaseListNewest("", 1), 0);
  EXPECT_EQ(ReleaseListNewest(nullptr, 1), 0);
  EXPECT_EQ(ReleaseListNewest("-20140301\n", 0), 0);
}

TEST(ServerBaseTest, EnvironmentGivesTheBaseUntilSet) {
  ScopedEnv base("QV_SERVER_BASE", "http://example.invalid/qv");
  NetSetServerBase(nullptr);
  EXPECT_EQ(NetGetServerBase(), "http://example.invalid/qv/");
  NetSetServerBase(L"");
  EXPECT_EQ(NetGetServerBase(), "");
  base.Set(nullptr);
  NetSetServerBase(nullptr);
  EXPECT_EQ(NetGetServerBase(), "");
}

TEST(UrlEncodeTest, KeepsUnreservedAndEncodesTheRest) {
  EXPECT_EQ(UrlEncode("aZ09-_.~"), "aZ09-_.~");
  EXPECT_EQ(UrlEncode("a b&c=d%"), "a+b%26c%3Dd%25");
  EXPECT_EQ(UrlEncode("\n\xC3\xA9"), "%0A%C3%A9");
  EXPECT_EQ(UrlEncode(""), "");
}

} // namespace
