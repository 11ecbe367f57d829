// The upload window in its three modes against loopback stand-ins for the
// service: from the File menu with a chosen file, before a render (details
// only) and after it (by itself); failures that give the controls back; a
// cancel during the login and one during the upload; and the remembered
// password, which only a keyring keeps.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <fstream>

#include "base/message_box.h"
#include "model/dispobjs.h"
#include "support/loopback_http_server.h"
#include "support/read_file.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/secret_store.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/YouTubeUpload.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcUpload.h"
#include "ui/support/private_keyring.h"
#include "ui/support/shell_fixture.h"
#include "ui/support/window_shots.h"

namespace {

class UploadWindowTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    YouTubeUpload::SetServiceHosts("http://127.0.0.1:" + std::to_string(login.port()), "127.0.0.1", upload.port());
    video = tempDir + "/Saturday laps.mp4";
    std::ofstream(video, std::ios::binary) << std::string(300000, 'v');
  }
  void TearDown() override {
    if (window != nullptr) SpinUntil([this]() { return !window->UploadThreadRunning(); });
    YouTubeUpload::SetServiceHosts("", "", 0);
    ShellTest::TearDown();
  }

  // Shows the window as its modal run would.
  const wcUpload::Outlets& open(WindowController* controller) {
    window = static_cast<wcUpload*>(controller);
    window->showWindow();
    EXPECT_TRUE(SpinUntil([this]() { return !window->FreshWindow(); }));
    return window->outlets();
  }
  bool waitClosed() { return SpinUntil([this]() { return !window->window()->isVisible(); }); }
  bool waitState(int state) { return SpinUntil([this, state]() { return window->UploadThreadState() == state; }); }

  LoopbackHttpServer login{200, "Auth=TOKEN\n"};
  LoopbackHttpServer upload{201, "<entry/>"};
  std::string video;
  wcUpload* window = nullptr;
};

} // namespace

TEST_F(UploadWindowTest, FromTheFileMenuAChosenFileIsUploaded) {
  ASSERT_TRUE(Launch());
  panelAnswers = {{QString::fromStdString(video)}};
  onModal = [this](WindowController* controller) {
    const wcUpload::Outlets& ui = open(controller);
    EXPECT_EQ(window->window()->windowTitle(), "Upload to YouTube");
    EXPECT_TRUE(ui.FileButton->isVisible());
    EXPECT_EQ(ui.FileButton->text(), "Click here to select video file to upload...");
    EXPECT_EQ(ui.UploadButton->text(), "Upload");
    EXPECT_EQ(ui.DescText->toPlainText(), "\n\nUploaded with Quelvatron 2.9.6b");
    ui.UploadButton->click();
    EXPECT_EQ(CountMessages(L"Please select a video file to upload."), 1);
    ui.FileButton->click();
    EXPECT_EQ(ui.FileButton->text(), QString::fromStdString(video));
    EXPECT_EQ(ui.TitleText->text(), "Saturday laps");
    ui.TitleText->setText("  ");
    ui.UploadButton->click();
    EXPECT_EQ(CountMessages(L"Please enter a title for this video."), 1);
    ui.TitleText->setText("Saturday laps");
    ui.UserText->setText("driver@example.com");
    ui.PasswordText->setText("secret");
    // The user's words go into the empty lines above the program's name.
    ui.DescText->moveCursor(QTextCursor::Start);
    ui.DescText->insertPlainText("Two laps");
    SaveWindowShot(window->window(), "upload");
    ui.UploadButton->click();
    EXPECT_EQ(ui.UploadButton->text(), "Uploading...");
    EXPECT_FALSE(ui.UserText->isEnabled());
    EXPECT_FALSE(ui.UploadButton->isEnabled());
    EXPECT_TRUE(ui.CancelButton->isEnabled());
    EXPECT_EQ(ui.StatusLabel->text(), "Preparing...");
    EXPECT_TRUE(waitClosed());
    return 0;
  };
  answers = {kMbNo}; // an existing file, not the project rendered first
  app->menuAction("mnuFileUpload")->trigger();

  ASSERT_EQ(modalRuns, std::vector<QString>{"wcUpload"});
  EXPECT_EQ(messages.front().text, L"Do you want to render and upload the current project? Click 'No' to select an "
                                   L"existing video file to upload.");
  EXPECT_EQ(messages.front().flags, 36);
  EXPECT_EQ(CountMessages(L"Upload complete!"), 1);
  EXPECT_EQ(messages.back().flags, 64);
  EXPECT_EQ(window->UploadThreadStatus(), "Upload complete!");
  ASSERT_EQ(login.requests().size(), 1u);
  EXPECT_EQ(FormField(RequestBody(login.requests()[0]), "Email"), "driver@example.com");
  ASSERT_EQ(upload.requests().size(), 1u);
  const std::string request = upload.requests()[0];
  EXPECT_NE(request.find("Slug: Saturday%20laps.mp4\r\n"), std::string::npos);
  EXPECT_NE(request.find("<media:title type=\"plain\">Saturday laps</media:title>"), std::string::npos);
  EXPECT_NE(request.find("<media:description type=\"plain\">Two laps\r\n\r\nUploaded with Quelvatron 2.9.6b"
                         "</media:description>"),
            std::string::npos)
      << "every line of the description ends with CR LF";
  EXPECT_EQ(request.find("<yt:private/>"), std::string::npos);
  EXPECT_NE(request.find(ReadWholeFile(video)), std::string::npos);
}

TEST_F(UploadWindowTest, UploadingTheProjectOpensTheOutputSettingsWithTheUploadAsked) {
  ASSERT_TRUE(Launch());
  DispObjAdd(kDispText, kNoInput);
  onModal = [this](WindowController* controller) {
    auto* output = static_cast<wcCreateVideo*>(controller);
    output->showWindow();
    EXPECT_TRUE(SpinUntil([output]() { return !output->FreshWindow(); }));
    EXPECT_TRUE(output->ShowUpload());
    EXPECT_TRUE(output->UploadCheck->isChecked());
    output->close();
    return 0;
  };
  app->menuAction("mnuFileUpload")->trigger(); // answered Yes
  EXPECT_EQ(modalRuns, std::vector<QString>{"wcCreateVideo"});
  EXPECT_TRUE(login.requests().empty());
}

TEST_F(UploadWindowTest, BeforeARenderItCollectsTheDetailsAndAfterItUploadsByItself) {
  ASSERT_TRUE(Launch());
  window = app->windows().wndUpload();
  window->SetData(QString::fromStdString(video), true, true);
  onModal = [this](WindowController* controller) {
    const wcUpload::Outlets& ui = open(controller);
    EXPECT_FALSE(ui.FileButton->isVisible());
    EXPECT_FALSE(ui.FileLabel->isVisible());
    EXPECT_EQ(ui.UploadButton->text(), "Done");
    EXPECT_EQ(ui.TitleText->text(), "Saturday laps");
    EXPECT_EQ(ui.DescText->toPlainText(), "\n\nCreated and uploaded using Quelvatron 2.9.6b");
    ui.UserText->setText("driver");
    ui.PasswordText->setText("pw");
    ui.TitleText->setText("Laps & <times>");
    ui.PrivateCheck->click();
    SaveWindowShot(window->window(), "upload-prerender");
    ui.UploadButton->click();
    EXPECT_TRUE(waitClosed());
    return 0;
  };
  RunModalForWindow(window);
  ASSERT_TRUE(window->Success());
  EXPECT_TRUE(upload.requests().empty()) << "nothing is sent before the render";
  EXPECT_EQ(Setting("VideoUploadPrivate").toString(), "true");

  // After the render: the details handed back, and the upload starts alone.
  const QString user = window->User(), pass = window->Pass(), title = window->Title(), desc = window->Desc();
  const bool isPrivate = window->Private();
  window->SetData(QString::fromStdString(video), false, false);
  window->setUser(user);
  window->setPass(pass);
  window->setTitle(title);
  window->setDesc(desc);
  window->setPrivate(isPrivate);
  window->SetAutoParams();
  onModal = [this](WindowController* controller) {
    open(controller);
    EXPECT_TRUE(waitClosed());
    return 0;
  };
  // The computer is to shut down once the job is done: no notice to wait on.
  auto* output = app->windows().wndCreateVideo();
  output->setRenderCompleteShutdown(true);
  RunModalForWindow(window);
  EXPECT_EQ(CountMessages(L"Upload complete!"), 0);
  EXPECT_TRUE(output->RenderCompleteShutdown());
  EXPECT_EQ(window->UploadThreadStatus(), "Upload complete!");
  ASSERT_EQ(upload.requests().size(), 1u);
  const std::string request = upload.requests()[0];
  EXPECT_NE(request.find("<media:title type=\"plain\">Laps &amp; &lt;times&gt;</media:title>"), std::string::npos);
  EXPECT_NE(request.find("<yt:private/>\r\n"), std::string::npos);
  EXPECT_NE(request.find("Created and uploaded using Quelvatron 2.9.6b</media:description>"), std::string::npos);
}

TEST_F(UploadWindowTest, FailuresGiveTheControlsBackAndCancelStopsLoginAndUpload) {
  ASSERT_TRUE(Launch());
  window = app->windows().wndUpload();
  auto run = [this](const std::function<void(const wcUpload::Outlets&)>& play) {
    window->SetData(QString::fromStdString(video), false, true);
    onModal = [this, play](WindowController* controller) {
      const wcUpload::Outlets& ui = open(controller);
      ui.UserText->setText("driver");
      ui.PasswordText->setText("wrong");
      play(ui);
      return 0;
    };
    RunModalForWindow(window);
  };

  login.setReply(403, "Error=BadAuthentication\n");
  run([this](const wcUpload::Outlets& ui) {
    ui.UploadButton->click();
    EXPECT_TRUE(waitState(wcUpload::kFailed));
    EXPECT_TRUE(SpinUntil([&ui]() { return ui.UploadButton->isEnabled(); }));
    EXPECT_EQ(ui.UploadButton->text(), "Upload");
    EXPECT_EQ(ui.StatusLabel->text(), "Failed to log in!");
    EXPECT_TRUE(ui.StatusProgress->isHidden());
    EXPECT_EQ(CountMessages(L"Error=BadAuthentication"), 1);
    EXPECT_EQ(CountMessages(L"Failed to log into YouTube. Please check your user name and password."), 1);

    login.setReply(200, "Auth=TOKEN\n");
    upload.setReply(200, "OK");
    ui.UploadButton->click();
    EXPECT_TRUE(waitState(wcUpload::kFailed));
    EXPECT_TRUE(SpinUntil([&ui]() { return ui.StatusLabel->text() == "Upload failed!"; }));
    EXPECT_EQ(CountMessages(L"Server responded with HTTP code 200."), 1);
    EXPECT_EQ(CountMessages(L"Failed to upload to YouTube!"), 1);
    ui.CancelButton->click();
  });

  // A login that never answers: Cancel closes at once, silently, and no
  // upload follows once the login gives up.
  messages.clear();
  login.setAnswer(LoopbackHttpServer::Answer::kNever);
  const size_t uploadsBefore = upload.requests().size();
  run([this](const wcUpload::Outlets& ui) {
    ui.UploadButton->click();
    EXPECT_TRUE(SpinUntil([&ui]() { return ui.StatusLabel->text() == "Logging in..."; }));
    ui.CancelButton->click();
    EXPECT_FALSE(window->window()->isVisible());
  });
  EXPECT_TRUE(window->DidCancel());
  EXPECT_EQ(window->UploadThreadStatus(), "Cancelled");
  EXPECT_TRUE(SpinUntil([this]() { return !window->UploadThreadRunning(); }));
  EXPECT_EQ(upload.requests().size(), uploadsBefore);
  EXPECT_TRUE(messages.empty());

  // An upload the server stops taking: the title shows the percentage, the
  // status blinks, and Cancel ends it without a message.
  login.setAnswer(LoopbackHttpServer::Answer::kWhole);
  upload.setAnswer(LoopbackHttpServer::Answer::kStallAfterHead);
  std::ofstream(video, std::ios::binary) << std::string(48 << 20, 'v');
  run([this](const wcUpload::Outlets& ui) {
    ui.UploadButton->click();
    const QRegularExpression percent(R"(^Upload to YouTube \(\d+\.\d\d%\)$)");
    EXPECT_TRUE(SpinUntil([&]() { return percent.match(window->window()->windowTitle()).hasMatch(); }))
        << window->window()->windowTitle().toStdString();
    const bool shown = ui.StatusLabel->isVisible();
    EXPECT_TRUE(SpinUntil([&]() { return ui.StatusLabel->isVisible() != shown; })) << "blinks";
    EXPECT_TRUE(ui.StatusProgress->isVisible());
    SaveWindowShot(window->window(), "upload-running");
    app->windows().wndCreateVideo()->setRenderCompleteShutdown(true);
    ui.CancelButton->click();
  });
  EXPECT_FALSE(app->windows().wndCreateVideo()->RenderCompleteShutdown()) << "a cancel drops it";
  EXPECT_TRUE(SpinUntil([this]() { return !window->UploadThreadRunning(); }));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(window->UploadThreadStatus(), "Cancelled");

  // The next opening from the File menu shows nothing of the cancelled run.
  answers = {kMbNo};
  onModal = [this](WindowController* controller) {
    const wcUpload::Outlets& ui = open(controller);
    EXPECT_EQ(window->window()->windowTitle(), "Upload to YouTube");
    EXPECT_TRUE(ui.StatusProgress->isHidden());
    EXPECT_EQ(ui.StatusLabel->text(), "");
    ui.CancelButton->click();
    return 0;
  };
  app->menuAction("mnuFileUpload")->trigger();
  EXPECT_EQ(modalRuns.back(), "wcUpload");
}

TEST_F(UploadWindowTest, OnlyAKeyringRemembersThePassword) {
  ASSERT_TRUE(Launch());
  window = app->windows().wndUpload();
  const QString settingsFile = QString::fromStdString(tempDir + "/settings.ini");
  auto remember = [this](const QString& password) {
    window->SetData(QString::fromStdString(video), false, true);
    const wcUpload::Outlets& ui = window->outlets();
    ui.UserText->setText("driver@example.com");
    ui.PasswordText->setText(password);
    ui.RememberUserCheck->setChecked(false);
    ui.RememberUserCheck->click();
  };
  auto reopened = [this]() {
    window->SetData(QString(), false, true);
    return std::make_pair(window->outlets().UserText->text(), window->outlets().PasswordText->text());
  };

  // No secret service (as the tests' session bus points nowhere): the
  // window says so beside the box.
  EXPECT_FALSE(SecretStoreAvailable());
  remember("plain secret");
  const QLabel* note = window->outlets().KeyringLabel;
  EXPECT_FALSE(note->isHidden());
  EXPECT_TRUE(note->text().contains("no keyring")) << note->text().toStdString();
  EXPECT_EQ(Setting("VideoUploadRememberUser").toString(), "true");
  EXPECT_NE(Setting("VideoUploadUser").toString(), "driver@example.com") << "scrambled";
  EXPECT_FALSE(Setting("VideoUploadPass").isValid());
  EXPECT_EQ(ReadWholeFile(settingsFile.toStdString()).find("secret"), std::string::npos);
  EXPECT_EQ(reopened(), std::make_pair(QString("driver@example.com"), QString()));
  EXPECT_FALSE(note->isHidden()) << "told again at the next opening";
  window->outlets().RememberUserCheck->click();
  EXPECT_TRUE(note->isHidden()) << "nothing to keep with the box off";

  PrivateKeyring keyring;
  if (!keyring.ready()) GTEST_SKIP() << keyring.why();
  remember("k&y+ring secret");
  EXPECT_TRUE(note->isHidden());
  EXPECT_EQ(reopened(), std::make_pair(QString("driver@example.com"), QString("k&y+ring secret")));
  EXPECT_TRUE(note->isHidden());
  EXPECT_EQ(ReadWholeFile(settingsFile.toStdString()).find("secret"), std::string::npos);
  EXPECT_EQ(SecretLookupPassword("driver@example.com"), "k&y+ring secret");

  // Off again: both forgotten.
  window->SetData(QString(), false, true);
  EXPECT_TRUE(window->outlets().RememberUserCheck->isChecked());
  window->outlets().RememberUserCheck->click();
  EXPECT_EQ(Setting("VideoUploadRememberUser").toString(), "false");
  EXPECT_FALSE(Setting("VideoUploadUser").isValid());
  EXPECT_EQ(SecretLookupPassword("driver@example.com"), "");
  EXPECT_EQ(reopened(), std::make_pair(QString(), QString()));
}
