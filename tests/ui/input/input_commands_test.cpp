// The main window's commands on inputs: every refusal, removal by name as
// the table renumbers, join and un-join, reorder at the edge of a join,
// duplicates, time fillers, renaming, and the still and sound exports.
#include <QFile>
#include <QImage>
#include <QPushButton>

#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/project.h"
#include "ui/controls/real_slider.h"
#include "ui/input/input_fixture.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcTimeline.h"

namespace {

const std::wstring kNoSelection[] = {
    L"Please select an input to configure.",
    L"Please select an input to trim.",
    L"Please select a Video or Data input to use this button.",
    L"Please select the item(s) that you want to duplicate.",
    L"Please select the input file(s) that you want to remove.",
    L"Please select the inputs that you want to join or un-join.",
    L"Please select the input that you want to move.",
    L"Please select the video or image input that you want to snapshot.",
    L"Please select the video or audio input that you want to export.",
    L"Please select the input that you want to rename.",
};

} // namespace

class InputCommandsTest : public InputWindowTest {
protected:
  void Select(std::initializer_list<uint32_t> inputs) {
    main->InputRefresh(kNoInput);
    main->InputFilesTable()->clearSelection();
    QStringList names;
    for (uint32_t input : inputs) names << InputName(input);
    main->InputFilesTable()->selectTexts(names);
    ASSERT_EQ(main->SelectedInputNames().size(), static_cast<qsizetype>(inputs.size()));
  }
  std::wstring LastMessage() const { return messages.empty() ? L"" : messages.back().text; }
  void RunAll() {
    main->InputEdit_Pressed();
    main->InputTrim_Pressed();
    main->InputOpt1(false);
    main->InputDuplicate_Clicked();
    main->InputRemove_Pressed();
    main->InputJoin_Pressed();
    main->InputMoveUp_Pressed();
    main->InputExportSnapshot_Clicked();
    main->InputExportAudio_Clicked();
    main->InputRename_Clicked();
  }
};

TEST_F(InputCommandsTest, EveryRefusalComesBeforeAnyChange) {
  main->InputSync_Pressed();
  main->InputSync2_Pressed();
  EXPECT_EQ(CountMessages(L"Please add input files to this project first."), 2);
  messages.clear();

  const uint32_t picture = Add(MakeTestPng(File("still.png")));
  const uint32_t sound = Add(MakeTestWav(File("sound.wav")));
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  // A checkpoint before the last input: a refusal that took one of its own
  // would keep that input through the Undo below.
  ASSERT_EQ(UndoSave(), 0);
  InputAddSpecial(kSpecialFiller);
  main->InputRefresh(kNoInput);
  main->InputFilesTable()->clearSelection();
  RunAll();
  ASSERT_EQ(messages.size(), std::size(kNoSelection));
  for (size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i].text, kNoSelection[i]);
    EXPECT_EQ(messages[i].flags, 48);
  }

  Select({join});
  main->InputEdit_Pressed();
  EXPECT_EQ(LastMessage(), L"Joined inputs cannot be configured as a whole. Please select an individual element "
                           L"and configure that instead.");
  main->InputTrim_Pressed();
  EXPECT_EQ(LastMessage(), L"Joined inputs cannot be trimmed as a whole. Please select an individual element and "
                           L"trim that instead.");
  Select({picture});
  main->InputTrim_Pressed();
  EXPECT_EQ(LastMessage(), L"Image files have no time index and cannot be trimmed.");
  main->InputExportAudio_Clicked();
  EXPECT_EQ(LastMessage(), L"Please select the video or audio input that you want to export.");
  Select({sound});
  main->InputOpt1(false);
  EXPECT_EQ(LastMessage(), L"Please select a Video or Data input to use this button.");
  main->InputExportSnapshot_Clicked();
  EXPECT_EQ(LastMessage(), L"Please select the video or image input that you want to snapshot.");

  // Sound clips shorter than a tenth of a second are refused, Cancel ends.
  inputAnswers = {std::wstring(L"0.05"), std::nullopt};
  main->InputExportAudio_Clicked();
  EXPECT_EQ(LastMessage(), L"Invalid length entered. Audio export cancelled.");
  EXPECT_EQ(messages.back().flags, 64);
  const size_t shown = messages.size();
  main->InputExportAudio_Clicked();
  EXPECT_EQ(messages.size(), shown);

  // The sync tool holds an input that a removal would take away.
  app->windows().wndInputSync()->showWindow();
  main->InputRemove_Pressed();
  EXPECT_EQ(messages[messages.size() - 2].text, L"Are you sure you want to remove 'sound.wav' and all associated "
                                                L"display objects?");
  EXPECT_EQ(messages[messages.size() - 2].flags, 36);
  EXPECT_EQ(LastMessage(), L"Please close the synchronization tool before removing input(s).");
  app->windows().wndInputSync()->close();

  EXPECT_EQ(InputCount(), 4u);
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_TRUE(modalRuns.empty());
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 3u) << "no refusal took a checkpoint";
}

TEST_F(InputCommandsTest, RemovalFindsEachNameAfterTheTableRenumbers) {
  const uint32_t join = InputAddSpecial(kSpecialJoinAudio);
  const uint32_t first = Add(MakeTestWav(File("a.wav")));
  const uint32_t second = Add(MakeTestWav(File("b.wav")));
  const uint32_t video = Add(MakeTestVideo(File("v.mp4")));
  const uint32_t kept = Add(MakeTestPng(File("kept.png")));
  SetParentJoin(first, join);
  SetParentJoin(second, join);
  const uint32_t object = DispObjAdd(kDispVideo, video);
  ASSERT_NE(object, kNoDispObj);
  DispObjAdd(kDispVideo, kept);
  Select({join, video});

  answers = {kMbNo};
  main->InputRemove_Pressed();
  EXPECT_EQ(LastMessage(), L"Are you sure you want to remove the 2 selected inputs and all associated display "
                           L"objects?");
  EXPECT_EQ(InputCount(), 5u);

  main->InputRemove_Pressed();
  ASSERT_EQ(InputCount(), 1u) << "the join went with its members, and the video was found by name";
  EXPECT_EQ(InputName(0), "kept.png");
  ASSERT_EQ(DispObjCount(), 1u) << "the video's object went with it";
  EXPECT_EQ(DispObjGet(0)->InputID, 0);
  EXPECT_EQ(main->InputFileNames(), QStringList({"kept.png"}));
  EXPECT_TRUE(main->ProjectModified());
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 5u) << "one checkpoint takes the whole removal back";
}

TEST_F(InputCommandsTest, JoinTakesOutDissolvesAndChecksEverythingFirst) {
  const uint32_t a = Add(MakeTestWav(File("a.wav")));
  const uint32_t b = Add(MakeTestWav(File("b.wav")));
  const uint32_t c = Add(MakeTestWav(File("c.wav")));
  Select({a, b, c});
  main->InputJoin_Pressed();
  ASSERT_EQ(InputCount(), 4u);
  const uint32_t join = 3;
  EXPECT_EQ(InputGetType(join), kInputJoinAudio);
  for (uint32_t member : {a, b, c}) EXPECT_EQ(InputGetMain(member)->ParentJoin, join);
  EXPECT_FLOAT_EQ(InputGetMain(c)->StartTime, 2.0f) << "laid end to end";
  EXPECT_EQ(main->InputFileNames(), QStringList({"*JOINA*", "a.wav", "b.wav", "c.wav"}));

  // Two of three members come out to the start of the project.
  Select({b, c});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputGetMain(b)->ParentJoin, kNoInput);
  EXPECT_EQ(InputGetMain(c)->ParentJoin, kNoInput);
  EXPECT_EQ(InputGetMain(c)->StartTime, 0.0f);
  EXPECT_EQ(InputGetMain(a)->ParentJoin, join);

  // The last member with it: the join is dissolved.
  Select({a});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputCount(), 3u);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(InputGetMain(i)->ParentJoin, kNoInput);

  // Free sound files added to a video join: the first fits nowhere, so the
  // video beside it is not moved either.
  const uint32_t video = Add(MakeTestVideo(File("v.mp4")));
  const uint32_t videoJoin = InputAddSpecial(kSpecialJoinVideo);
  const uint32_t image = Add(MakeTestPng(File("i.png")));
  Select({a, video, videoJoin});
  main->InputJoin_Pressed();
  EXPECT_EQ(LastMessage(), L"Selected input files must all be video, all be audio, or all be matching data, to "
                           L"create a joined input.");
  EXPECT_EQ(InputGetMain(video)->ParentJoin, kNoInput) << "nothing half-moved";
  Select({video, videoJoin});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputGetMain(video)->ParentJoin, videoJoin);
  // A still image goes into a video join after the video, for its span.
  Select({image, videoJoin});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputGetMain(image)->ParentJoin, videoJoin);
  EXPECT_NEAR(InputGetLength(videoJoin, 1), InputGetLength(video, 2) + 5.0f, 0.01);

  // A sound file and an image make no join at all.
  const uint32_t before = InputCount();
  Select({b, image});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputCount(), before);

  // Two data logs of different layouts do not join.
  const uint32_t nmea = Add(MakeTestNmea(File("t.nmea")));
  const std::string gpxPath = File("t.gpx");
  {
    QFile gpx(QString::fromStdString(gpxPath));
    ASSERT_TRUE(gpx.open(QIODevice::WriteOnly));
    gpx.write("<?xml version=\"1.0\"?><gpx version=\"1.1\"><trk><trkseg>"
              "<trkpt lat=\"48.1\" lon=\"2.1\"><ele>35</ele><time>2026-12-07T12:00:00Z</time></trkpt>"
              "<trkpt lat=\"48.2\" lon=\"2.2\"><ele>36</ele><time>2026-12-07T12:00:01Z</time></trkpt>"
              "</trkseg></trk></gpx>");
  }
  const uint32_t gpx = Add(gpxPath);
  ASSERT_NE(gpx, kNoInput);
  Select({nmea, gpx});
  main->InputJoin_Pressed();
  EXPECT_EQ(LastMessage(), L"Selected input files must all be of the same data format and layout to create a "
                           L"joined input.");
  EXPECT_EQ(InputCount(), before + 2);

  // Joins alone selected are dissolved.
  Select({videoJoin});
  main->InputJoin_Pressed();
  EXPECT_EQ(InputFind(u"*JOINV*"), kNoInput);
  EXPECT_EQ(InputGetMain(InputFind(u"v.mp4"))->ParentJoin, kNoInput);
}

// Two six-second clips added as a user adds them (each with its picture
// object) and joined: the project, its preview and its time line last
// twelve seconds, and so does the render, which plays the project's length.
TEST_F(InputCommandsTest, JoiningTwoClipsMakesTheProjectAsLongAsBoth) {
  const QStringList clips = {QString::fromStdString(MakeTestVideo(File("first.mp4"), 60)),
                             QString::fromStdString(MakeTestVideo(File("second.mp4"), 60))};
  main->AddInputFiles(clips);
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_NEAR(ProjectGetLength(0), 6.0f, 0.05f);
  auto* timeline = app->windows().wndTimeline();
  timeline->showWindow();
  ASSERT_TRUE(SpinUntil([timeline]() { return timeline->window()->isVisible(); }));

  Select({0, 1});
  main->InputJoin_Pressed();
  ASSERT_EQ(InputCount(), 3u);
  ASSERT_EQ(InputGetType(2), kInputJoinVideo);
  EXPECT_NEAR(ProjectGetLength(0), 12.0f, 0.05f);
  EXPECT_NEAR(main->ProjectLength(), 12.0, 0.05);
  ASSERT_TRUE(SpinUntil([this]() { return main->ProjectLengthButton()->text() == "12.0"; }))
      << main->ProjectLengthButton()->text().toStdString();
  EXPECT_NEAR(timeline->TimelineTimeSlider->maximum(), 12.0, 0.05);
  // The second clip plays in the second half, from its own start.
  EXPECT_NEAR(InputGetMain(1)->StartTime, 6.0f, 0.05f);
}

TEST_F(InputCommandsTest, ReorderDuplicateFillerAndRename) {
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  const uint32_t first = Add(MakeTestVideo(File("one.mp4")));
  const uint32_t second = Add(MakeTestVideo(File("two.mp4")));
  SetParentJoin(first, join);
  SetParentJoin(second, join);
  main->InputRefresh(kNoInput);
  const QStringList rows = main->InputFileNames();

  Select({first});
  main->InputMoveUp_Pressed();
  EXPECT_EQ(main->InputFileNames(), rows) << "the first member has no one above it (status 10)";
  EXPECT_TRUE(messages.empty());
  Select({first});
  main->InputMoveDown_Pressed();
  EXPECT_EQ(main->InputFileNames(), QStringList({"*JOINV*", "two.mp4", "one.mp4"}));

  Select({InputFind(u"two.mp4")});
  main->InputDuplicate_Clicked();
  EXPECT_EQ(main->SelectedInputNames(), QStringList({"two.mp4 - 001"}));

  // A filler for a member goes into its join.
  main->InputAddTimeFiller_Clicked();
  const uint32_t filler = InputFind(u"*FILLER*");
  ASSERT_NE(filler, kNoInput);
  EXPECT_EQ(InputGetMain(filler)->ParentJoin, InputFind(u"*JOINV*"));

  // Configure on a time filler trims it.
  Select({filler});
  main->InputEdit_Pressed();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcInputTrim"}));

  Select({InputFind(u"one.mp4")});
  inputAnswers = {std::wstring(L"Onboard")};
  main->InputRename_Clicked();
  EXPECT_EQ(inputPrompts.back(), L"Enter new name for input");
  EXPECT_EQ(main->SelectedInputNames(), QStringList({"Onboard"}));
  inputAnswers = {std::wstring(L"two.mp4")};
  main->InputRename_Clicked();
  EXPECT_EQ(CountMessages(L"Error Code"), 1) << "a name another input has is refused";
  EXPECT_NE(InputFind(u"Onboard"), kNoInput);
}

TEST_F(InputCommandsTest, ExportsTakeTheFileTimeShownAtThePreviewPosition) {
  const uint32_t video = Add(MakeTestVideo(File("index.mp4")));
  const uint32_t sound = Add(MakeTestWav(File("ramp.wav")));
  // Both start 0.25 s into the project and use their files from 0.5 s on.
  for (uint32_t input : {video, sound}) {
    MainStruct record = *InputGetMain(input);
    record.StartTime = 0.25f;
    record.TrimStart = 0.5f;
    ASSERT_EQ(InputSetMain(input, &record), 0);
  }
  main->setPreviewTime(0.45);

  Select({video});
  panelAnswers = {{QPath("frame.bmp")}};
  main->InputExportSnapshot_Clicked();
  QImage frame(QPath("frame.bmp"));
  ASSERT_FALSE(frame.isNull());
  frame = frame.convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(ReadFrameIndex(frame.constBits(), frame.width(), frame.height(), false), 7)
      << "0.2 s after the input's start is 0.7 s into its file";
  EXPECT_TRUE(Setting("OutputDir").toString().startsWith("file://"));

  Select({sound});
  inputAnswers = {std::wstring(L"  ")};
  panelAnswers = {{QPath("rest.wav")}};
  main->InputExportAudio_Clicked();
  EXPECT_EQ(inputPrompts.back(), L"The exported audio clip will start from the current preview position. Enter the "
                                 L"number of seconds to export, or leave this blank to export the remainder of the "
                                 L"file.");
  // A blank length is the rest of the file: 0.3 s of the 1 s file.
  EXPECT_NEAR(QFile(QPath("rest.wav")).size() - 44, 0.3 * 22050 * 2, 8);
  inputAnswers = {std::wstring(L"0.2")};
  panelAnswers = {{QPath("part.wav")}};
  main->InputExportAudio_Clicked();
  EXPECT_NEAR(QFile(QPath("part.wav")).size() - 44, 0.2 * 22050 * 2, 8);
  EXPECT_TRUE(messages.empty());
}
