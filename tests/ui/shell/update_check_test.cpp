#include "base/message_box.h"
#include "io/net/http_client.h"
#include "support/loopback_http_server.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/support/shell_fixture.h"

#include <QAction>

namespace {

constexpr const wchar_t* kQuestion = L"A program update is available. Would you like to go to the Quelvatron website "
                                     L"to get it now? You will not be notified again until another significant "
                                     L"update is released.";

} // namespace

class UpdateCheckTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(server.listening());
    NetSetServerBase(server.baseUrl().c_str());
  }
  LoopbackHttpServer server{200, "20150101\n20160101\n"};
};

TEST_F(UpdateCheckTest, ANewerReleaseIsOfferedOnceAndTheDayIsKept) {
  answers = {kMbYes, kMbOk};
  ASSERT_TRUE(Launch());
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("GET /QV2/ReleaseMac.txt"), std::string::npos);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, kQuestion);
  EXPECT_EQ(messages[0].flags, 36);
  EXPECT_EQ(messages[1].text, L"Please remember to exit this application before installing the update.");
  EXPECT_EQ(messages[1].flags, 64);
  ASSERT_EQ(openedUrls.size(), 1u);
  EXPECT_EQ(Setting("LastUpdateCheck").toInt(), 20261207);
  EXPECT_EQ(Setting("LastUpdateNotify").toInt(), 20150101) << "the daily check counts the first line only";

  // The same day: no second request.
  app->windows().wndMain()->UpdateCheck();
  EXPECT_EQ(server.requests().size(), 1u);
  // The next day the list is read again, but that release was already offered.
  now = now.addDays(1);
  app->windows().wndMain()->UpdateCheck();
  EXPECT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(Setting("LastUpdateCheck").toInt(), 20261208);
}

TEST_F(UpdateCheckTest, NoOnTheQuestionOpensNothing) {
  answers = {kMbNo};
  ASSERT_TRUE(Launch());
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(openedUrls.empty());
  EXPECT_EQ(Setting("LastUpdateNotify").toInt(), 20150101);
}

TEST_F(UpdateCheckTest, ACheckedDayIsNotCheckedAgainAtTheNextStart) {
  SetSetting("LastUpdateCheck", 20261207);
  ASSERT_TRUE(Launch());
  EXPECT_TRUE(server.requests().empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(UpdateCheckTest, NoNewerReleaseIsSilentButCounts) {
  server.setReply(200, "20140204\n");
  ASSERT_TRUE(Launch());
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Setting("LastUpdateCheck").toInt(), 20261207);
}

TEST_F(UpdateCheckTest, AnUnreadableListIsRetriedAtTheNextStart) {
  server.setReply(500, "broken");
  SetSetting("LastUpdateCheck", 20261206);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Setting("LastUpdateCheck").toInt(), 20261206);
  app->windows().wndMain()->UpdateCheck();
  EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(UpdateCheckTest, TheManualCheckCountsEitherLineAndLeavesTheDailyMemory) {
  SetSetting("LastUpdateCheck", 20261207);
  ASSERT_TRUE(Launch());
  answers = {kMbNo};
  app->menuAction("mnuHelpUpdateCheck")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            L"A program update is available. Would you like to go to the Quelvatron website to get it now?");
  EXPECT_FALSE(Setting("LastUpdateNotify").isValid());
  server.setReply(200, "20140204\n");
  app->menuAction("mnuHelpUpdateCheck")->trigger();
  EXPECT_EQ(messages.back().text, L"You have the most current release of this program.");
  server.setReply(404, "");
  app->menuAction("mnuHelpUpdateCheck")->trigger();
  EXPECT_EQ(messages.back().text, L"Unable to get current release information from Quelvatron server!");
  EXPECT_EQ(messages.back().flags, 16);
}
