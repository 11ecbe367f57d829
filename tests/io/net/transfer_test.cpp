// The transfer receiver on loopback: discovery, a push with its progress
// and status texts, hostile names, a push cut off, a push too large, a stop
// in the middle. The server runs on ports the system picks, so parallel
// test runs never meet.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <thread>

#include "base/text.h"
#include "io/net/transfer.h"
#include "io/net/transfer_files.h"
#include "support/read_file.h"
#include "support/temp_folder.h"
#include "support/transfer_client.h"
#include "support/wait_until.h"

namespace fs = std::filesystem;

namespace {

std::string patterned(size_t size, int seed) {
  std::string bytes(size, 0);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
  return bytes;
}

std::wstring statusText() { return TransferGetStatusText(); }

class TransferTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = MakeTempFolder("qv-transfer-test");
    ASSERT_FALSE(dir_.empty());
    if (const char* previous = std::getenv("XDG_DOCUMENTS_DIR")) previousDocuments_ = previous;
    setenv("XDG_DOCUMENTS_DIR", (dir_ / "Documents").c_str(), 1);
    folder_ = dir_ / "Documents" / "Quelvatron";
    TransferSetPortBase(0);
    TransferStart();
    ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferWaiting; })) << TransferGetStatus();
    port_ = TransferGetListenPort();
    ASSERT_GT(port_, 0);
  }
  void TearDown() override {
    TransferEnd();
    TransferSetPortBase(-1);
    if (previousDocuments_.empty()) unsetenv("XDG_DOCUMENTS_DIR");
    else setenv("XDG_DOCUMENTS_DIR", previousDocuments_.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Every entry of the folder by name (temporaries included).
  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder_, ignored)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  fs::path folder_;
  std::string previousDocuments_;
  int port_ = 0;
};

} // namespace

TEST_F(TransferTest, DiscoveryThenAPushWithProgressLandsBothFiles) {
  std::string reply = TransferDiscover(TransferGetDiscoveryPort());
  ASSERT_GE(reply.size(), 8u);
  EXPECT_EQ(reply.substr(0, 6), "QVTA1R");
  EXPECT_EQ((static_cast<unsigned char>(reply[6]) << 8) | static_cast<unsigned char>(reply[7]), port_);
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  EXPECT_EQ(reply.substr(8), std::string(host).substr(0, 64));
  EXPECT_EQ(TransferDiscover(TransferGetDiscoveryPort()).substr(0, 6), "QVTA1R") << "answers every query";

  const std::string video = patterned(3 << 20, 1);
  const std::string log = "$GPRMC,120000.00,A,5130.0000,N,00007.0000,W,50.0,90.0,010120,,,A*00\r\n";
  TransferPushClient client;
  ASSERT_TRUE(client.Connect(port_));
  ASSERT_TRUE(WaitUntil([] { return statusText() == L"Connecting..."; }));
  ASSERT_TRUE(client.SendHeader(2, video.size() + log.size()));
  ASSERT_EQ(client.Read(1), "A");
  ASSERT_TRUE(client.SendFileHeader('V', "Track Day.mp4", video.size()));
  ASSERT_TRUE(client.SendBytes(video.substr(0, video.size() / 2)));
  ASSERT_TRUE(WaitUntil([] { return TransferGetProgress() >= 49.9f; }));
  EXPECT_NEAR(TransferGetProgress(), 50.0f, 0.01f);
  EXPECT_EQ(statusText(), L"Receiving 'Track Day.mp4' from 127.0.0.1...");
  EXPECT_TRUE(TransferGetVideoFile()[0] == 0) << "nothing is handed over before the end";
  for (const std::string& name : folderEntries()) EXPECT_EQ(name.rfind(".qv-receive-", 0), 0u) << name;

  ASSERT_TRUE(client.SendBytes(video.substr(video.size() / 2)));
  ASSERT_TRUE(client.SendFileHeader('D', "session.nmea", log.size()));
  ASSERT_TRUE(client.SendBytes(log));
  EXPECT_EQ(client.Read(1), "K");
  ASSERT_TRUE(WaitUntil([] { return TransferGetProgress() > 999.0f; }));
  EXPECT_FLOAT_EQ(TransferGetProgress(), 999.9f);
  EXPECT_EQ(statusText(), L"Transfer Complete");
  EXPECT_EQ(fs::path(TransferGetVideoFile()), folder_ / "Track Day.mp4");
  EXPECT_EQ(fs::path(TransferGetLogFile()), folder_ / "session.nmea");
  EXPECT_EQ(ReadWholeFile(folder_ / "Track Day.mp4"), video);
  EXPECT_EQ(ReadWholeFile(folder_ / "session.nmea"), log);
  EXPECT_EQ(folderEntries(), (std::vector<std::string>{"Track Day.mp4", "session.nmea"}));

  // The paths stay for the window to read after the stop; a new start
  // clears them.
  TransferEnd();
  EXPECT_EQ(statusText(), L"Initializing...");
  EXPECT_EQ(fs::path(TransferGetVideoFile()), folder_ / "Track Day.mp4");
  TransferEnd();
  TransferStart();
  EXPECT_TRUE(TransferGetVideoFile()[0] == 0);
  EXPECT_TRUE(TransferGetLogFile()[0] == 0);
  EXPECT_EQ(TransferGetProgress(), 0.0f);
}

TEST_F(TransferTest, HostileNamesLandInsideTheFolderAndNeverReplaceAFile) {
  fs::create_directories(folder_);
  std::ofstream(folder_ / "x.mp4") << "kept";
  const fs::path outside = dir_ / "outside.csv";
  std::ofstream(outside) << "outside";
  fs::create_symlink(outside, folder_ / "lap.csv");

  EXPECT_EQ(TransferPushClient::PushFiles(port_, "../../x.mp4", "video bytes", "/tmp/../lap.csv", "log bytes"), "AK");
  ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferComplete; }));
  EXPECT_EQ(fs::path(TransferGetVideoFile()), folder_ / "x (2).mp4");
  EXPECT_EQ(fs::path(TransferGetLogFile()), folder_ / "lap (2).csv");
  EXPECT_EQ(ReadWholeFile(folder_ / "x.mp4"), "kept");
  EXPECT_EQ(ReadWholeFile(outside), "outside");
  EXPECT_EQ(ReadWholeFile(folder_ / "x (2).mp4"), "video bytes");
  EXPECT_EQ(ReadWholeFile(folder_ / "lap (2).csv"), "log bytes");
  EXPECT_EQ(folderEntries(), (std::vector<std::string>{"lap (2).csv", "lap.csv", "x (2).mp4", "x.mp4"}));
  size_t outsideEntries = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir_)) outsideEntries += entry.path().parent_path() != folder_;
  EXPECT_EQ(outsideEntries, 3u) << "only Documents, its Quelvatron folder and outside.csv";

  // The name rules on their own.
  EXPECT_EQ(TransferSafeName("..", PushKind::kVideo), "Received Video");
  EXPECT_EQ(TransferSafeName("/", PushKind::kData), "Received Data");
  EXPECT_EQ(TransferSafeName("C:\\Users\\me\\lap 3.gpx", PushKind::kData), "lap 3.gpx");
  EXPECT_EQ(TransferSafeName(".hidden.csv", PushKind::kData), "hidden.csv");
  EXPECT_EQ(TransferSafeName("a\nb\x7f:c?.mp4", PushKind::kVideo), "a_b__c_.mp4");
  EXPECT_EQ(TransferSafeName("bad\xff\xfe.mp4", PushKind::kVideo), "bad__.mp4");
  EXPECT_EQ(TransferSafeName("clip\xE2\x80\xAEpm4.exe", PushKind::kVideo), "clip_pm4.exe");
  EXPECT_EQ(TransferSafeName("Tür.mp4", PushKind::kVideo), "Tür.mp4");
  std::string umlauts;
  for (int i = 0; i < 150; ++i) umlauts += "\xC3\xA4";
  std::string longName = TransferSafeName(umlauts + ".mp4", PushKind::kVideo);
  EXPECT_LE(longName.size(), 200u);
  EXPECT_EQ(longName.substr(longName.size() - 4), ".mp4");
  EXPECT_EQ(Utf8ToWide(longName).find(L'\xFFFD'), std::wstring::npos);
  EXPECT_EQ(longName.size() % 2, 0u) << "cut between characters";
}

TEST_F(TransferTest, APushCutOffMidFileLeavesNothingAndTheNextOneWorks) {
  const std::string video = patterned(200000, 2);
  {
    TransferPushClient client;
    ASSERT_TRUE(client.Connect(port_));
    ASSERT_TRUE(client.SendHeader(2, video.size() + 5000));
    ASSERT_EQ(client.Read(1), "A");
    ASSERT_TRUE(client.SendFileHeader('V', "whole.mp4", video.size()));
    ASSERT_TRUE(client.SendBytes(video));
    ASSERT_TRUE(client.SendFileHeader('D', "cut.csv", 5000));
    ASSERT_TRUE(client.SendBytes(std::string(1000, 'x')));
    ASSERT_TRUE(WaitUntil([] { return statusText() == L"Receiving 'cut.csv' from 127.0.0.1..."; }));
  }
  ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferInterrupted; }));
  EXPECT_EQ(statusText(),
            L"The transfer from 127.0.0.1 broke off; nothing was kept. Waiting for Incoming Connection...");
  EXPECT_EQ(TransferGetProgress(), 0.0f);
  EXPECT_TRUE(folderEntries().empty()) << "not even the whole video of the broken push";
  EXPECT_TRUE(TransferGetVideoFile()[0] == 0);

  // A sender that breaks the framing is treated the same way.
  {
    TransferPushClient client;
    ASSERT_TRUE(client.Connect(port_));
    ASSERT_TRUE(client.SendHeader(1, 10));
    ASSERT_EQ(client.Read(1), "A");
    ASSERT_TRUE(client.SendFileHeader('V', "big.mp4", 11));
    EXPECT_EQ(client.Read(1), "") << "closed on a file larger than announced";
  }
  ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferInterrupted; }));

  EXPECT_EQ(TransferPushClient::PushFiles(port_, "", "", "after.csv", "a,b\n1,2\n"), "AK");
  ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferComplete; }));
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"after.csv"});
  EXPECT_TRUE(TransferGetVideoFile()[0] == 0) << "a push of only a log leaves the video path empty";
}

TEST_F(TransferTest, APushLargerThanTheFreeSpaceIsRefusedBeforeAnythingIsWritten) {
  TransferPushClient client;
  ASSERT_TRUE(client.Connect(port_));
  ASSERT_TRUE(client.SendHeader(1, uint64_t{1} << 60));
  EXPECT_EQ(client.Read(2), std::string("R\x01", 2));
  ASSERT_TRUE(WaitUntil([] { return TransferGetStatus() == kTransferNoSpace; }));
  EXPECT_EQ(statusText(), L"Not enough free disk space for the 1099511627776.0 MB from 127.0.0.1. Waiting for "
                          L"Incoming Connection...");
  EXPECT_TRUE(folderEntries().empty());
}

TEST_F(TransferTest, StoppingDuringAPushEndsItAtOnceAndKeepsNothing) {
  TransferPushClient client;
  ASSERT_TRUE(client.Connect(port_));
  ASSERT_TRUE(client.SendHeader(1, 100000));
  ASSERT_EQ(client.Read(1), "A");
  ASSERT_TRUE(client.SendFileHeader('V', "stopped.mp4", 100000));
  ASSERT_TRUE(client.SendBytes(std::string(40000, 'v')));
  ASSERT_TRUE(WaitUntil([] { return TransferGetProgress() >= 40.0f; }));
  auto before = std::chrono::steady_clock::now();
  TransferEnd();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(900));
  EXPECT_EQ(TransferGetListenPort(), 0);
  EXPECT_EQ(statusText(), L"Initializing...");
  EXPECT_TRUE(folderEntries().empty());
  EXPECT_EQ(client.Read(1, 2000), "") << "the connection is closed";
  TransferEnd(); // twice is harmless
}

TEST(TransferStartTest, ATakenPortMovesTheListenerOnAndATakenDiscoveryPortIsAnError) {
  // The system picks a free port; we keep it, so the listener must take a later one.
  int taken = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(taken, 1), 0);
  ASSERT_EQ(getsockname(taken, reinterpret_cast<sockaddr*>(&address), &size), 0);
  const int base = ntohs(address.sin_port);
  if (base > 65535 - 10) GTEST_SKIP() << "no room above the picked port";
  TransferSetPortBase(base);
  TransferStart();
  const int listenPort = TransferGetListenPort();
  const int discoveryPort = TransferGetDiscoveryPort();
  TransferEnd();
  EXPECT_EQ(discoveryPort, base);
  EXPECT_GT(listenPort, base);
  EXPECT_LT(listenPort, base + 10);

  int udp = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  address.sin_port = htons(static_cast<uint16_t>(base));
  if (bind(udp, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    TransferStart();
    EXPECT_EQ(TransferGetStatus(), -120);
    EXPECT_EQ(std::wstring(TransferGetStatusText()), L"Error -120");
    EXPECT_EQ(TransferGetListenPort(), 0);
  }
  TransferEnd();
  TransferSetPortBase(-1);
  close(udp);
  close(taken);
}
