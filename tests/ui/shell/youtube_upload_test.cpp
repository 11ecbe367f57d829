// The upload client against loopback servers standing in for the
// service's login and upload hosts: the login reply's first line, the
// exact bytes of the upload request, and how each kind of reply (or none)
// ends an upload.
#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"
#include "support/loopback_http_server.h"
#include "support/temp_folder.h"
#include "ui/shell/YouTubeUpload.h"

namespace {

constexpr const char* kDevKey =
    "key=Kd82mQvT3xLp9WzR4nBs7YcH1jFg6UeA0tNk5VrM2qXw8ZyC3bPd7LhG4sJf9TaE1oQn6RmK2vYu8XcB5zWl0-Hp3Gi7NsDf4Q";

std::string loopbackBase(const LoopbackHttpServer& server) { return "http://127.0.0.1:" + std::to_string(server.port()); }

class YouTubeUploadTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = MakeTempFolder("qv-upload-test");
    ASSERT_FALSE(dir_.empty());
    AppMessageBoxInstall([this](const std::wstring& text, int flags) {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(text);
      EXPECT_EQ(flags, 16);
      return 1;
    });
    YouTubeUpload::SetServiceHosts(loopbackBase(login_), "127.0.0.1", upload_.port());
  }
  void TearDown() override {
    AppMessageBoxInstall(nullptr);
    YouTubeUpload::SetServiceHosts("", "", 0);
    YouTubeUpload::SetReplyTimeoutMs(0);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::vector<std::wstring> takeMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(messages_, {});
  }

  std::string makeFile(const std::string& name, size_t size) {
    std::string path = dir_ + "/" + name;
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + (i >> 8)) & 0xFF);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // A client logged in with the token "TOKEN".
  std::unique_ptr<YouTubeUpload> loggedIn() {
    login_.setReply(200, "Auth=TOKEN\n");
    auto client = std::make_unique<YouTubeUpload>();
    EXPECT_TRUE(client->Login("me", "pw"));
    return client;
  }

  std::string dir_;
  LoopbackHttpServer login_{200, ""};
  LoopbackHttpServer upload_{201, "<entry/>"};
  std::mutex mutex_;
  std::vector<std::wstring> messages_;
};

} // namespace

TEST_F(YouTubeUploadTest, LoginTakesTheTokenFromTheFirstLineOnly) {
  login_.setReply(200, "Auth=a=b=TOKEN\nSID=1\n");
  YouTubeUpload client;
  EXPECT_TRUE(client.Login("me+you@example.com", "p&ss+w rd%"));
  EXPECT_EQ(client.Auth(), "TOKEN") << "the text after the last '='";
  EXPECT_EQ(client.UserName(), "me+you@example.com");
  ASSERT_EQ(login_.requests().size(), 1u);
  const std::string request = login_.requests()[0];
  EXPECT_EQ(request.rfind("POST /youtube/accounts/ClientLogin HTTP/1.0\r\n", 0), 0u) << request;
  const std::string form = RequestBody(request);
  EXPECT_EQ(FormField(form, "Email"), "me+you@example.com");
  EXPECT_EQ(FormField(form, "Passwd"), "p&ss+w rd%") << "reaches the service unchanged";
  EXPECT_EQ(form.substr(form.find("&service")), "&service=youtube&source=Quelvatron2");
  EXPECT_TRUE(takeMessages().empty());

  struct Case {
    int status;
    const char* reply;
    const wchar_t* message;
  };
  const Case cases[] = {
      {200, "AUTH=\r\nAuth=later", L"Error in Login Auth Response!"},
      {200, "SID=123\nAuth=TOKEN\n", L"SID=123"},
      {403, "Error=BadAuthentication\n", L"Error=BadAuthentication"},
      {200, "", L"No Login Response Received!"},
  };
  for (const Case& c : cases) {
    login_.setReply(c.status, c.reply);
    YouTubeUpload failing;
    EXPECT_FALSE(failing.Login("me", "pw")) << c.reply;
    EXPECT_EQ(takeMessages(), std::vector<std::wstring>{c.message}) << c.reply;
  }

  YouTubeUpload::SetServiceHosts("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()), "", 0);
  YouTubeUpload unreachable;
  EXPECT_FALSE(unreachable.Login("me", "pw"));
  auto shown = takeMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind(L"Login Connection Error: ", 0), 0u);
}

TEST_F(YouTubeUploadTest, TheRequestIsExactlyTheDocumentedBytes) {
  upload_.setAnswer(LoopbackHttpServer::Answer::kWhole, 300);
  const std::string file = makeFile("Lap <1> & \xC3\xA4.mp4", 200000);
  auto client = loggedIn();
  ASSERT_TRUE(client->Upload("Laps & <times>", "Best lap\r\n\x01 > all", 1, file, true));
  EXPECT_DOUBLE_EQ(client->UploadProgress(), 100.0);
  EXPECT_TRUE(takeMessages().empty());

  std::ifstream in(file, std::ios::binary);
  const std::string video((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string part =
      "----Quelvatron2\r\n"
      "Content-Type: application/atom+xml; charset=UTF-8\r\n"
      "\r\n"
      "<?xml version=\"1.0\"?>\r\n"
      "<entry xmlns=\"http://www.w3.org/2005/Atom\"\r\n"
      "xmlns:media=\"http://search.yahoo.com/mrss/\"\r\n"
      "xmlns:yt=\"http://gdata.youtube.com/schemas/2007\">\r\n"
      "<media:group><media:title type=\"plain\">Laps &amp; &lt;times&gt;</media:title>\r\n"
      "<media:description type=\"plain\">Best lap\r\n &gt; all</media:description>\r\n"
      "<media:category scheme=\"http://gdata.youtube.com/schemas/2007/categories.cat\">Autos</media:category>\r\n"
      "<yt:private/>\r\n"
      "</media:group>\r\n"
      "</entry>\r\n"
      "----Quelvatron2\r\n"
      "Content-Type: video/*\r\n"
      "Content-Transfer-Encoding: binary\r\n"
      "\r\n";
  const std::string trailer = "\r\n----Quelvatron2--";
  const std::string head = "POST /feeds/api/users/default/uploads HTTP/1.0\r\n"
                           "Host: 127.0.0.1:" + std::to_string(upload_.port()) + "\r\n"
                           "Content-Type: multipart/related; boundary=--Quelvatron2\r\n"
                           "Content-Length: " + std::to_string(part.size() + video.size() + trailer.size()) + "\r\n"
                           "X-GData-Key: " + kDevKey + "\r\n"
                           "Authorization: GoogleLogin auth=TOKEN\r\n"
                           "Slug: Lap%20%3C1%3E%20&%20%C3%A4.mp4\r\n"
                           "\r\n";
  ASSERT_EQ(upload_.requests().size(), 1u);
  const std::string request = upload_.requests()[0];
  ASSERT_EQ(request.size(), head.size() + part.size() + video.size() + trailer.size() + 4);
  EXPECT_EQ(request.substr(0, head.size()), head);
  EXPECT_EQ(request.substr(head.size(), part.size()), part);
  EXPECT_TRUE(request.compare(head.size() + part.size(), video.size(), video) == 0) << "the file unchanged";
  EXPECT_EQ(request.substr(request.size() - trailer.size() - 4), trailer + "\r\n\r\n");

  // The entry is well-formed XML whatever the title held.
  const size_t xmlStart = part.find("<?xml");
  const size_t xmlEnd = part.find("</entry>") + 8;
  QXmlStreamReader xml(QByteArray::fromStdString(part.substr(xmlStart, xmlEnd - xmlStart)));
  QString title;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"title") title = xml.readElementText();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(title, "Laps & <times>");

  // Public: no private element; the head part is all that changes.
  const std::string open = client->GetHeader("t", "d", 1, file, false);
  EXPECT_EQ(open.find("<yt:private/>"), std::string::npos);
  EXPECT_NE(open.find("Autos</media:category>\r\n</media:group>"), std::string::npos);
}

TEST_F(YouTubeUploadTest, TheReplyDecidesHoweverAndWheneverItComes) {
  const std::string file = makeFile("clip.mp4", 3 << 20);
  auto upload = [&]() {
    auto client = loggedIn();
    return client->Upload("t", "d", 1, file, false);
  };

  // Created, with the reply arriving together with the end of the stream.
  EXPECT_TRUE(upload());
  EXPECT_TRUE(takeMessages().empty());

  upload_.setReply(200, "OK");
  EXPECT_FALSE(upload());
  EXPECT_EQ(takeMessages(), std::vector<std::wstring>{L"Server responded with HTTP code 200."});

  upload_.setRawReply("HTTP/1.0 20");
  EXPECT_FALSE(upload());
  EXPECT_EQ(takeMessages(), std::vector<std::wstring>{L"Incomplete server response. Upload may have failed."});

  // A reply in two pieces is read whole before it is judged.
  upload_.setRawReply("HTTP/1.0 201 Created\r\n\r\n", 7);
  EXPECT_TRUE(upload());

  // Refused as soon as the head arrived, the body still coming.
  upload_.setReply(413, "Too large");
  upload_.setAnswer(LoopbackHttpServer::Answer::kAfterHead);
  auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(upload());
  EXPECT_EQ(takeMessages(), std::vector<std::wstring>{L"Server responded with HTTP code 413."});
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

  // No reply at all: given up after the reply time-out.
  YouTubeUpload::SetReplyTimeoutMs(300);
  upload_.setAnswer(LoopbackHttpServer::Answer::kNever);
  EXPECT_FALSE(upload());
  EXPECT_EQ(takeMessages(), std::vector<std::wstring>{L"No response from the server. Upload may have failed."});
}

TEST_F(YouTubeUploadTest, AbortEndsAStalledUploadAtOnceAndSilently) {
  const std::string file = makeFile("big.mp4", 32 << 20);
  upload_.setAnswer(LoopbackHttpServer::Answer::kStallAfterHead);
  auto client = loggedIn();
  auto result = std::async(std::launch::async, [&]() { return client->Upload("t", "d", 1, file, false); });
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  double stalledAt = -1;
  while (std::chrono::steady_clock::now() < deadline) {
    double before = client->UploadProgress();
    // Standing still for a while: no progress in it.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (before > 0 && client->UploadProgress() == before) {
      stalledAt = before;
      break;
    }
  }
  ASSERT_GT(stalledAt, 0.0) << "the connection took part of the file, then stopped taking it";
  EXPECT_LT(stalledAt, 100.0);
  auto aborted = std::chrono::steady_clock::now();
  client->Abort();
  // At once: far within the two minutes a stalled upload waits for its reply.
  ASSERT_EQ(result.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_FALSE(result.get());
  EXPECT_LT(std::chrono::steady_clock::now() - aborted, std::chrono::seconds(10));
  EXPECT_TRUE(takeMessages().empty());

  // An abort that came during the login holds for the upload after it.
  upload_.setAnswer(LoopbackHttpServer::Answer::kWhole);
  const size_t requestsBefore = upload_.requests().size();
  auto again = loggedIn();
  again->Abort();
  EXPECT_FALSE(again->Upload("t", "d", 1, file, false));
  EXPECT_EQ(upload_.requests().size(), requestsBefore) << "no connection was even made";
  EXPECT_TRUE(takeMessages().empty());
}

// A refusing server's reply goes into the session log on one line of its
// own, whatever line breaks it carries.
TEST_F(YouTubeUploadTest, AServerReplyKeepsTheLogOneLinePerEntry) {
  ASSERT_EQ(LogOpen(Utf8ToWide(dir_).c_str()), 0);
  const std::string file = makeFile("clip.mp4", 64 << 10);
  upload_.setReply(400, "<errors>\r\n  <error>quota</error>\n</errors>\r\n");
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto client = loggedIn();
    EXPECT_FALSE(client->Upload("t", "d", 1, file, false));
  }
  LogClose();
  std::ifstream in(dir_ + "/QV2-log.csv", std::ios::binary);
  std::string line;
  int replies = 0;
  while (std::getline(in, line)) {
    // Every line is a whole entry: date and time, then the quoted message.
    ASSERT_GE(line.size(), 22u) << line;
    EXPECT_EQ(line.compare(19, 2, ",\""), 0) << line;
    EXPECT_EQ(line.back(), '"') << line;
    if (line.find("Response:") != std::string::npos) {
      ++replies;
      EXPECT_NE(line.find("<errors>\\r\\n  <error>quota</error>\\n</errors>\\r\\n'"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(replies, 2);
  EXPECT_EQ(takeMessages().size(), 2u);
}
