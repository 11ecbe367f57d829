// The Network Transfer window driven from the File menu while a sender on
// loopback pushes a recording: status and progress as they happen, the
// files named when it is complete, and a new project made of them; and a
// cancel in the middle that keeps nothing.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "base/message_box.h"
#include "model/inputs.h"
#include "io/net/transfer.h"
#include "support/read_file.h"
#include "support/transfer_client.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcTransfer.h"
#include "ui/support/input_files.h"
#include "ui/support/shell_fixture.h"
#include "ui/support/window_shots.h"

namespace {

class TransferWindowTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    TransferSetPortBase(0);
  }
  void TearDown() override {
    TransferEnd();
    TransferSetPortBase(-1);
    ShellTest::TearDown();
  }

  // Shows the window as its modal run would and waits for the server.
  wcTransfer* open(WindowController* controller) {
    auto* transfer = static_cast<wcTransfer*>(controller);
    transfer->showWindow();
    EXPECT_TRUE(SpinUntil([transfer]() { return !transfer->FreshWindow(); }));
    EXPECT_TRUE(SpinUntil([transfer]() {
      return transfer->outlets().StatusLabel->text() == "Waiting for Incoming Connection...";
    }));
    return transfer;
  }

  std::string folder() const { return tempDir + "/Documents/Quelvatron"; }
  // What the folder holds besides the installed starter templates and styles.
  std::vector<std::string> received() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder(), ignored)) {
      const std::string name = entry.path().filename().string();
      if (name != "Templates" && name != "Styles" && name != "Video Positions" && name != "Images") names.push_back(name);
    }
    return names;
  }
};

} // namespace

TEST_F(TransferWindowTest, APushedVideoAndLogBecomeTheNewProject) {
  ASSERT_TRUE(Launch());
  const std::string video = ReadWholeFile(MakeTestVideo(tempDir + "/source.mp4"));
  const std::string log = ReadWholeFile(MakeTestNmea(tempDir + "/source.nmea"));
  onModal = [&](WindowController* controller) {
    // The log that arrives opens its data template menu: not this test's.
    if (qobject_cast<wcTransfer*>(controller) == nullptr) return 0;
    wcTransfer* transfer = open(controller);
    const wcTransfer::Outlets& ui = transfer->outlets();
    EXPECT_EQ(ui.Line2Label->text(), "Files will be placed into the Quelvatron folder under your Documents folder.");
    EXPECT_TRUE(ui.TransferProgress->isHidden()) << "hidden until the first progress";
    EXPECT_EQ(TransferDiscover(TransferGetDiscoveryPort()).substr(0, 6), "QVTA1R");

    TransferPushClient sender;
    EXPECT_TRUE(sender.Connect(TransferGetListenPort()));
    EXPECT_TRUE(sender.SendHeader(2, video.size() + log.size()));
    EXPECT_EQ(sender.Read(1), "A");
    EXPECT_TRUE(sender.SendFileHeader('V', "Lap 1.mp4", video.size()));
    EXPECT_TRUE(sender.SendBytes(video.substr(0, video.size() / 2)));
    EXPECT_TRUE(SpinUntil([&ui]() {
      return ui.StatusLabel->text() == "Receiving 'Lap 1.mp4' from 127.0.0.1..." && ui.TransferProgress->isVisible();
    })) << ui.StatusLabel->text().toStdString();
    EXPECT_NEAR(ui.TransferProgress->value(), 500, 1);
    SaveWindowShot(transfer->window(), "transfer");
    EXPECT_TRUE(sender.SendBytes(video.substr(video.size() / 2)));
    EXPECT_TRUE(sender.SendFileHeader('D', "Lap 1.nmea", log.size()));
    EXPECT_TRUE(sender.SendBytes(log));
    EXPECT_EQ(sender.Read(1), "K");
    EXPECT_TRUE(SpinUntil([transfer]() { return !transfer->window()->isVisible(); }));
    return 0;
  };
  app->windows().wndMain()->setProjectModified(true);
  answers = {kMbNo}; // do not save the project that the transfer replaces
  app->menuAction("mnuFileTransfer")->trigger();

  // The log that arrived offers its data templates.
  ASSERT_EQ(modalRuns, std::vector<QString>({"wcTransfer", "wcTemplateMenu"}));
  const std::wstring expected = L"Transfer Complete!\n\nReceived into " + QString::fromStdString(folder()).toStdWString() +
                                L":\nVideo: Lap 1.mp4\nData log: Lap 1.nmea\n\nThey are now added to the new project.";
  ASSERT_EQ(CountMessages(expected), 1) << (messages.empty() ? "" : QString::fromStdWString(messages.back().text).toStdString());
  EXPECT_EQ(messages.back().flags, 64);
  EXPECT_EQ(ReadWholeFile(folder() + "/Lap 1.mp4"), video);
  EXPECT_EQ(ReadWholeFile(folder() + "/Lap 1.nmea"), log);
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_EQ(InputGetType(0), kInputVideo);
  EXPECT_EQ(InputGetType(1), kInputData);
  EXPECT_EQ(app->windows().wndMain()->ProjectTitle(), "Untitled");
  EXPECT_GT(app->windows().wndMain()->ProjectLength(), 0.5) << "the preview shows the received video";
  EXPECT_EQ(TransferGetListenPort(), 0) << "the server stops with the window";
}

TEST_F(TransferWindowTest, CancelInTheMiddleKeepsNothingAndTheNextOpeningStartsClean) {
  ASSERT_TRUE(Launch());
  onModal = [&](WindowController* controller) {
    wcTransfer* transfer = open(controller);
    TransferPushClient sender;
    EXPECT_TRUE(sender.Connect(TransferGetListenPort()));
    EXPECT_TRUE(sender.SendHeader(1, 100000));
    EXPECT_EQ(sender.Read(1), "A");
    EXPECT_TRUE(sender.SendFileHeader('V', "half.mp4", 100000));
    EXPECT_TRUE(sender.SendBytes(std::string(30000, 'v')));
    EXPECT_TRUE(SpinUntil([transfer]() { return transfer->outlets().TransferProgress->isVisible(); }));
    transfer->outlets().CancelButton->click();
    EXPECT_FALSE(transfer->window()->isVisible());
    EXPECT_EQ(sender.Read(1, 2000), "") << "the server let go of the sender";
    return 0;
  };
  app->mnuFileTransfer_Clicked();
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(received().empty());
  EXPECT_TRUE(app->windows().wndTransfer()->VideoFile().isEmpty());

  onModal = [&](WindowController* controller) {
    wcTransfer* transfer = static_cast<wcTransfer*>(controller);
    transfer->showWindow();
    EXPECT_TRUE(SpinUntil([transfer]() { return !transfer->FreshWindow(); }));
    EXPECT_TRUE(transfer->outlets().TransferProgress->isHidden());
    EXPECT_NE(transfer->outlets().StatusLabel->text(), "Receiving 'half.mp4' from 127.0.0.1...");
    transfer->close();
    return 0;
  };
  app->mnuFileTransfer_Clicked();
  EXPECT_EQ(modalRuns.size(), 2u);
}
