// A camera recording in two parts (GOPR0042.MP4 and GP010042.MP4, 10.01 s
// each, one steady tone running on from the first part into the second),
// added from the main window as a user adds them: joined with the Join
// button after No to the set question, or as a set on Yes. Create Video's
// output is decoded: the join point sounds and looks the same either way,
// the parts' own objects still name their inputs, and a part added before
// its set is not played twice.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstring>

#include "base/message_box.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "support/media_fixtures.h"
#include "ui/controls/NameListTable.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"
#include "ui/support/create_video_fixture.h"

namespace {

constexpr int kPartFrames = 300; // 10.01 s at 29.97 frames a second
constexpr double kToneLevel = 32767.0 / 8; // the ffmpeg tool's sine source

const std::wstring kSetQuestion = L"This appears to be part of a multi-file set.";

std::vector<int16_t> Samples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

// The left channel of the output's sound as the ffmpeg tool decodes it.
std::vector<int16_t> DecodedSound(const std::string& file) {
  const std::string raw = file + ".raw";
  EXPECT_TRUE(RunFfmpeg("-i " + file + " -vn -af 'pan=mono|c0=c0' -f s16le -c:a pcm_s16le " + raw));
  return Samples(ReadBytes(raw));
}

// The index shown by each output frame from `first` on, `count` of them.
std::vector<int> ShownIndexes(const std::string& file, int first, int count, int width, int height) {
  const std::string raw = file + ".frames";
  EXPECT_TRUE(RunFfmpeg("-i " + file + " -an -vf \"select=between(n\\," + std::to_string(first) + "\\," +
                        std::to_string(first + count - 1) + ")\" -vsync 0 -f rawvideo -pix_fmt bgra " + raw));
  const std::vector<uint8_t> bytes = ReadBytes(raw);
  const size_t frameBytes = static_cast<size_t>(width) * height * 4;
  std::vector<int> shown;
  for (size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes)
    shown.push_back(ReadFrameIndex(bytes.data() + at, width, height, false));
  return shown;
}

// The largest distance between the two over the samples.
int Farthest(const std::vector<int16_t>& sound, const std::vector<int16_t>& reference, int64_t from, int64_t to) {
  int farthest = 0;
  for (auto i = static_cast<size_t>(from); i < static_cast<size_t>(to) && i < sound.size() && i < reference.size(); ++i)
    farthest = std::max(farthest, std::abs(sound[i] - reference[i]));
  return farthest;
}

double Rms(const std::vector<int16_t>& sound, int64_t from, int64_t to) {
  double sum = 0;
  for (int64_t i = from; i < to; ++i) sum += double(sound[static_cast<size_t>(i)]) * sound[static_cast<size_t>(i)];
  return std::sqrt(sum / static_cast<double>(to - from));
}

} // namespace

class CameraPartsTest : public CreateVideoTest {
protected:
  void SetUp() override {
    CreateVideoTest::SetUp();
    SetSetting("UseProjectWizard", false);
  }

  // The two parts, at the rate, in a folder of their own; part 2 goes on
  // with the picture index and the tone's phase where part 1 stopped.
  void MakeParts(int rate) {
    folder = work + "/camera-" + std::to_string(rate);
    QDir().mkpath(QString::fromStdString(folder));
    const int64_t split = std::llround(kPartFrames * 1001.0 / 30000 * rate);
    const std::string tone = "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(rate) + ":duration=21";
    for (int part = 0; part < 2; ++part) {
      const std::string trim = part == 0 ? "atrim=end_sample=" + std::to_string(split)
                                         : "atrim=start_sample=" + std::to_string(split) + ":end_sample=" +
                                               std::to_string(2 * split) + ",asetpts=PTS-STARTPTS";
      ASSERT_TRUE(MakeIndexVideo(folder + (part == 0 ? "/GOPR0042.MP4" : "/GP010042.MP4"), kPartFrames, kWidth,
                                 kHeight, "30000/1001", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30", tone,
                                 "-af '" + trim + ",pan=stereo|c0=c0|c1=c0' -c:a aac -b:a 192k", part * kPartFrames));
    }
  }
  QString Part(const char* name) const { return QString::fromStdString(folder + "/" + name); }
  // The two parts' sound one after the other, the first to its 10.01 s.
  std::vector<int16_t> PartsInTurn(int64_t joinPoint) const {
    std::vector<int16_t> sound = DecodedSound(folder + "/GOPR0042.MP4");
    sound.resize(static_cast<size_t>(joinPoint));
    const std::vector<int16_t> second = DecodedSound(folder + "/GP010042.MP4");
    sound.insert(sound.end(), second.begin(), second.end());
    return sound;
  }

  // Add File(s) with one file chosen, the set question answered.
  void AddFile(const QString& path, int answer) {
    const int asked = CountMessages(kSetQuestion);
    panelAnswers.push_back({path});
    answers.push_back(answer);
    Button("InputAdd")->click();
    EXPECT_EQ(CountMessages(kSetQuestion), asked + 1);
  }
  QPushButton* Button(const char* name) const {
    auto* button = main->mainWindow()->findChild<QPushButton*>(name);
    EXPECT_NE(button, nullptr) << name;
    return button;
  }
  // Clicks the rows with the texts, the first alone, the others with Ctrl.
  static void ClickRows(NameListTable* table, const QStringList& texts) {
    for (const QString& text : texts) {
      const QList<QTableWidgetItem*> found = table->findItems(text, Qt::MatchExactly);
      ASSERT_FALSE(found.isEmpty()) << text.toStdString();
      const QRect place = table->visualItemRect(found.front());
      QTest::mouseClick(table->viewport(), Qt::LeftButton,
                        text == texts.front() ? Qt::NoModifier : Qt::ControlModifier, place.center());
    }
    ASSERT_EQ(table->selectedTexts().size(), texts.size());
  }
  std::string InputRows() const {
    QStringList rows;
    for (int row = 0; row < main->InputFilesTable()->rowCount(); ++row) rows << main->InputFilesTable()->rowText(row);
    return rows.join(" | ").toStdString();
  }
  // The Input field of the property window opened for the object from the
  // object list.
  QString ShownInput(uint32_t object) {
    ClickRows(main->DispObjsTable(), {QString::fromStdU16String(DispObjGetName(object))});
    Button("DispObjEdit")->click();
    wcDispObjEdit* editor = app->windows().wndDispObjEdit();
    EXPECT_TRUE(SpinUntil([editor]() { return AppDelegate::IsWindowVisible(editor); }, 5000));
    return editor->General()->InputSelection->currentText();
  }

  // File > Create Video File... at the source's size and frame rate, sound
  // at the rate; the output's sound decoded.
  std::vector<int16_t> Render(const std::string& name, int rate) {
    const std::string out = work + "/" + name;
    answers.push_back(kMbNo); // not saved first
    RunCreateVideo([&](wcCreateVideo* w) {
      w->PictureRatioSel->setCurrentText("16:9 Wide-Screen");
      w->PictureSizeSel->setCurrentText(QString::number(kHeight));
      w->FrameRateSel->setCurrentText("29.97 FPS");
      w->AudioRateSel->setCurrentText(QString("%1 Hz").arg(rate));
      CreateInto(w, out);
    });
    EXPECT_EQ(CountMessages(L"Video file creation complete!"), ++renders);
    rendered = out;
    return DecodedSound(out);
  }

  static constexpr int kWidth = 320, kHeight = 180;
  std::string folder, rendered;
  int renders = 0;
};

class CameraPartsRateTest : public CameraPartsTest, public testing::WithParamInterface<int> {};

TEST_P(CameraPartsRateTest, AJoinMadeByHandPlaysOnAcrossItsJoinPointAsTheSetDoes) {
  const int rate = GetParam();
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  ASSERT_NO_FATAL_FAILURE(MakeParts(rate));
  AddFile(Part("GOPR0042.MP4"), kMbNo);
  AddFile(Part("GP010042.MP4"), kMbNo);
  ASSERT_EQ(DispObjCount(), 2u) << "a picture object for each part";
  ClickRows(main->InputFilesTable(), {"GOPR0042.MP4", "GP010042.MP4"});
  Button("InputJoin")->click();
  EXPECT_EQ(InputRows(), "*JOINV* | GOPR0042.MP4 | GP010042.MP4");

  // Each part's object still shows its part, and keeps it through an edit.
  for (uint32_t object = 0; object < 2; ++object) {
    const uint32_t part = DispObjGet(object)->InputID;
    ASSERT_NE(part, kNoInput);
    EXPECT_EQ(ShownInput(object), QString::fromStdU16String(InputGetName(part))) << "object " << object;
    QCheckBox* active = app->windows().wndDispObjEdit()->General()->ActiveCheck;
    active->click();
    active->click();
    EXPECT_EQ(DispObjGet(object)->InputID, part) << "object " << object;
    EXPECT_EQ(DispObjGet(object)->Active, 1);
  }
  app->windows().wndDispObjEdit()->close();
  const std::vector<int16_t> byHand = Render("by-hand.mp4", rate);
  const std::string byHandFile = rendered;

  // The same parts as a set, in a new project.
  answers.push_back(kMbNo); // the old project is not saved
  app->menuAction("mnuFileNew")->trigger();
  ASSERT_EQ(InputCount(), 0u);
  AddFile(Part("GOPR0042.MP4"), kMbYes);
  ASSERT_EQ(InputCount(), 3u);
  const std::vector<int16_t> asSet = Render("as-set.mp4", rate);

  const int64_t joinPoint = std::llround(kPartFrames * 1001.0 / 30000 * rate);
  ASSERT_GT(byHand.size(), static_cast<size_t>(2 * joinPoint - rate / 10));
  ASSERT_EQ(byHand.size(), asSet.size());
  // The set's own render plays the parts one after the other with no more
  // than the AAC encoding's error, through the join point as well; the
  // hand-made join is the same sample for sample.
  const std::vector<int16_t> parts = PartsInTurn(joinPoint);
  const int64_t end = 2 * joinPoint - rate / 10;
  EXPECT_LT(Farthest(asSet, parts, rate / 10, end), 200);
  EXPECT_LT(Farthest(byHand, parts, joinPoint - rate / 10, joinPoint + rate / 10), 200)
      << "a gap or a click at the join point";
  int64_t firstDifference = -1;
  for (size_t i = 0; i < byHand.size() && firstDifference < 0; ++i)
    if (byHand[i] != asSet[i]) firstDifference = static_cast<int64_t>(i);
  EXPECT_EQ(firstDifference, -1) << "the sound differs from " << double(firstDifference) / rate << " s on";
  EXPECT_NEAR(Rms(byHand, rate, joinPoint - rate), kToneLevel / std::sqrt(2.0), 100);
  EXPECT_NEAR(Rms(byHand, joinPoint, joinPoint + rate), kToneLevel / std::sqrt(2.0), 100);

  // Either way the frames around the join point show part 1 to its last
  // frame, then part 2 from its first.
  const std::vector<int> expected = {290 % 256, 291 % 256, 292 % 256, 293 % 256, 294 % 256, 295 % 256, 296 % 256,
                                     297 % 256, 298 % 256, 299 % 256, 300 % 256, 301 % 256, 302 % 256, 303 % 256};
  EXPECT_EQ(ShownIndexes(byHandFile, 290, 14, kWidth, kHeight), expected);
  EXPECT_EQ(ShownIndexes(rendered, 290, 14, kWidth, kHeight), expected);
}

INSTANTIATE_TEST_SUITE_P(SourceRates, CameraPartsRateTest, testing::Values(44100, 48000),
                         [](const testing::TestParamInfo<int>& info) { return "At" + std::to_string(info.param); });

TEST_F(CameraPartsTest, ASetAddedAfterOneOfItsPartsTakesThatPartIn) {
  const int rate = 48000;
  ASSERT_NO_FATAL_FAILURE(LaunchMain());
  ASSERT_NO_FATAL_FAILURE(MakeParts(rate));
  AddFile(Part("GOPR0042.MP4"), kMbNo);
  AddFile(Part("GP010042.MP4"), kMbYes);
  // Every file of the set once, in the set's order.
  EXPECT_EQ(InputRows(), "*JOINV* | GOPR0042.MP4 | GP010042.MP4");
  ASSERT_EQ(InputCount(), 3u);
  const uint32_t join = InputFind(u"*JOINV*");
  for (uint32_t input = 0; input < InputCount(); ++input) {
    if (input == join) continue;
    EXPECT_EQ(InputGetParent(input), join) << input;
  }
  EXPECT_NEAR(InputGetMain(InputFind(u"GP010042.MP4"))->StartTime, kPartFrames * 1001.0 / 30000, 0.01);
  // Part 1's own object keeps it; the set brought an object of its own.
  ASSERT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(ShownInput(0), "GOPR0042.MP4");
  EXPECT_EQ(ShownInput(1), "*JOINV*");
  app->windows().wndDispObjEdit()->close();

  const std::vector<int16_t> sound = Render("taken-in.mp4", rate);
  const int64_t joinPoint = std::llround(kPartFrames * 1001.0 / 30000 * rate);
  ASSERT_GT(sound.size(), static_cast<size_t>(2 * joinPoint - rate / 10));
  // The tone at its own level all along: part 1 is not heard twice.
  EXPECT_NEAR(Rms(sound, rate, joinPoint - rate), kToneLevel / std::sqrt(2.0), 100);
  EXPECT_NEAR(Rms(sound, joinPoint + rate, 2 * joinPoint - rate), kToneLevel / std::sqrt(2.0), 100);
  EXPECT_LT(Farthest(sound, PartsInTurn(joinPoint), rate / 10, 2 * joinPoint - rate / 10), 200);
}
