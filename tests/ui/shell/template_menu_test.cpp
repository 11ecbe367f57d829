// The template menu: the start-up menu offers the installed starter set as
// thumbnails, pages of fifteen with the last page ending on the last
// template, names cleaned of their kind and sort key, unreadable files
// passed over, the wheel and slider moving whole pages, and a short list
// read from the top left however the menu was opened.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/support/shell_fixture.h"
#include "ui/support/template_files.h"
#include "ui/support/window_shots.h"

namespace {

constexpr int kSlots = wcTemplateMenu::kSlots;
constexpr int kColumns = 5;

// A shown thumbnail with its name, where it stands in the window.
struct Tile {
  QString name;
  QRect frame;
};

// The shown thumbnails in slot order, the order of the sorted templates.
std::vector<Tile> Tiles(wcTemplateMenu* menu) {
  std::vector<Tile> tiles;
  for (int k = 0; k < kSlots; ++k) {
    if (!menu->SlotShown(k)) continue;
    QWidget* image = menu->PreviewImage(k);
    tiles.push_back({menu->PreviewLabel(k)->text(), QRect(image->mapTo(menu->window(), QPoint(0, 0)), image->size())});
  }
  return tiles;
}

// Tiles read like a page of text: the first at the top left under the
// heading, rows of five filled from the left, and no room left over.
void ExpectRowsFromTheLeft(wcTemplateMenu* menu, int n, const QString& how) {
  SCOPED_TRACE(QString("%1 template(s), %2").arg(n).arg(how).toStdString());
  const std::vector<Tile> tiles = Tiles(menu);
  ASSERT_EQ(static_cast<int>(tiles.size()), n);
  const QRect first = tiles.front().frame;
  EXPECT_LT(first.left(), first.width() / 2) << "room for a tile left of the first";
  const QRect heading = menu->Label()->geometry();
  EXPECT_LT(heading.top(), 24);
  EXPECT_GE(first.top(), heading.bottom());
  EXPECT_LT(first.top() - heading.bottom(), 24) << "an empty row under the heading";
  for (int j = 1; j < n; ++j) {
    const QRect& tile = tiles[j].frame;
    const QRect& before = tiles[j - 1].frame;
    if (j % kColumns == 0) {
      EXPECT_EQ(tile.left(), first.left()) << "row of tile " << j + 1;
      EXPECT_GT(tile.top(), before.bottom()) << "row of tile " << j + 1;
    } else {
      EXPECT_EQ(tile.top(), before.top()) << "tile " << j + 1;
      EXPECT_GT(tile.left(), before.right()) << "tile " << j + 1;
      EXPECT_LT(tile.left() - before.right(), first.width() / 2) << "a gap before tile " << j + 1;
    }
  }
  // The window fits the rows it shows, reopened after more rows too: no
  // blank band stretches the heading or the space around the tiles.
  EXPECT_LE(menu->window()->height(), menu->window()->sizeHint().height()) << "a blank band";
}

} // namespace

class TemplateMenuTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(Launch());
    menu = app->windows().wndTemplateMenu();
    ASSERT_NE(menu, nullptr);
    folder = QString::fromStdString(DocumentsFolder()) + "/Templates";
    one = QString::fromStdString(tempDir) + "/one.qvt";
    ASSERT_TRUE(WriteTextTemplate(one));
  }
  // The names the slots show, "" for a hidden slot.
  QStringList Slots() const {
    QStringList shown;
    for (int k = 0; k < kSlots; ++k) shown << (menu->SlotShown(k) ? menu->PreviewLabel(k)->text() : QString());
    return shown;
  }
  static QStringList Expected(int hidden, int from, int to) {
    QStringList names;
    for (int k = 0; k < hidden; ++k) names << "";
    for (int k = from; k <= to; ++k) names << QString("T%1").arg(k, 2, 10, QChar('0'));
    return names;
  }
  void Page(int value) { menu->OffsetSlider()->setValue(value); }

  wcTemplateMenu* menu = nullptr;
  QString folder;
  QString one;
};

TEST_F(TemplateMenuTest, PagesOfFifteenEndOnTheLastTemplate) {
  // None: every slot and the slider hidden.
  FillTemplateFolder(folder, one, 0);
  menu->SetMode(0, 255);
  EXPECT_EQ(Slots(), Expected(15, 1, 0));
  EXPECT_TRUE(menu->OffsetSlider()->isHidden());
  // Five: they take the last five slots, in order.
  FillTemplateFolder(folder, one, 5);
  menu->SetMode(0, 255);
  EXPECT_EQ(Slots(), Expected(10, 1, 5));
  EXPECT_TRUE(menu->OffsetSlider()->isHidden());
  EXPECT_EQ(menu->TemplateFile(10), folder + "/Project - T01.qvt");
  // The empty rows before them take no room: the five stand under the heading.
  menu->window()->show();
  menu->window()->adjustSize();
  QWidget* firstCell = menu->PreviewLabel(10)->parentWidget();
  EXPECT_TRUE(firstCell->isVisible());
  EXPECT_FALSE(menu->PreviewLabel(0)->parentWidget()->isVisible());
  EXPECT_LT(firstCell->mapTo(menu->window(), QPoint(0, 0)).y(), firstCell->height());
  // Fifteen: one page.
  FillTemplateFolder(folder, one, 15);
  menu->SetMode(0, 255);
  EXPECT_EQ(Slots(), Expected(0, 1, 15));
  EXPECT_TRUE(menu->OffsetSlider()->isHidden());
  EXPECT_TRUE(menu->PreviewLabel(0)->parentWidget()->isVisible());
  menu->window()->hide();
  // Sixteen: two pages, the second showing 2 to 16.
  FillTemplateFolder(folder, one, 16);
  menu->SetMode(0, 255);
  EXPECT_FALSE(menu->OffsetSlider()->isHidden());
  EXPECT_EQ(menu->OffsetSlider()->minimum(), -1);
  EXPECT_EQ(menu->OffsetSlider()->maximum(), 0);
  EXPECT_EQ(Slots(), Expected(0, 1, 15));
  Page(-1);
  EXPECT_EQ(Slots(), Expected(0, 2, 16));
  // Thirty-one: three pages; the last repeats the one before but one.
  FillTemplateFolder(folder, one, 31);
  menu->SetMode(0, 255);
  EXPECT_EQ(menu->OffsetSlider()->minimum(), -2);
  Page(-1);
  EXPECT_EQ(Slots(), Expected(0, 16, 30));
  Page(-2);
  EXPECT_EQ(Slots(), Expected(0, 17, 31));
  // The wheel: whole pages, towards the first page for a positive delta,
  // and no further than the ends.
  menu->scrollWheel(1.0);
  EXPECT_EQ(menu->OffsetSlider()->value(), -1);
  EXPECT_EQ(Slots(), Expected(0, 16, 30));
  menu->scrollWheel(1.0);
  menu->scrollWheel(1.0);
  EXPECT_EQ(menu->OffsetSlider()->value(), 0);
  menu->scrollWheel(0.01);
  EXPECT_EQ(menu->OffsetSlider()->value(), 0);
  // A slider that did not move the first template rebuilds nothing.
  const int frames = menu->PreviewImage(0)->framesReceived();
  menu->OffsetSlider_Changed();
  EXPECT_EQ(menu->PreviewImage(0)->framesReceived(), frames);
  // Fewer templates than a shown page: the slider's value is raised.
  menu->scrollWheel(-1.0);
  menu->scrollWheel(-1.0);
  FillTemplateFolder(folder, one, 16);
  menu->LoadPreviews();
  EXPECT_EQ(menu->OffsetSlider()->value(), -1);
  EXPECT_EQ(Slots(), Expected(0, 2, 16));
  menu->EndPreviews();
}

TEST_F(TemplateMenuTest, NamesKindsAndUnreadableFiles) {
  EXPECT_EQ(wcTemplateMenu::DisplayName("Project - _3 Basic Gauges.qvt", 0), "Basic Gauges");
  EXPECT_EQ(wcTemplateMenu::DisplayName("Project - _3 Basic Gauges.qvt", 2), "Project - Basic Gauges");
  EXPECT_EQ(wcTemplateMenu::DisplayName("Data - _1 Lap_Timer.QVT", 1), "Lap Timer");
  EXPECT_EQ(wcTemplateMenu::DisplayName("Data - _1 Lap_Timer.QVT", 3), "Lap Timer");
  EXPECT_EQ(wcTemplateMenu::DisplayName("Data - _1 Lap_Timer.QVT", 2), "Data - Lap Timer");
  EXPECT_EQ(wcTemplateMenu::DisplayName(" My__own  layout.qvt", 2), "My own layout");
  FillTemplateFolder(folder, one, 0);
  for (const char* name : {"Project - _3 Basic Gauges.qvt", "Data - _1 Lap_Timer.QVT", "Data - b.qvt",
                           "project - lower.qvt", "Project - not a template.txt", "Loose.qvt"})
    QFile::copy(one, folder + "/" + name);
  EXPECT_EQ(wcTemplateMenu::ScanFolder(folder, 0), QStringList({"Project - _3 Basic Gauges.qvt"}));
  EXPECT_EQ(wcTemplateMenu::ScanFolder(folder, 1), QStringList({"Data - _1 Lap_Timer.QVT", "Data - b.qvt"}));
  EXPECT_EQ(wcTemplateMenu::ScanFolder(folder, 2).size(), 5);

  // A file that does not read as a template gives its slot to the next.
  FillTemplateFolder(folder, one, 4);
  QFile broken(folder + "/Project - T02.qvt");
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
  broken.write("not a template at all");
  broken.close();
  menu->SetMode(0, 255);
  QStringList expected = Expected(11, 1, 1);
  expected << "T03" << "T04" << "";
  EXPECT_EQ(Slots(), expected);
  // The empty slot at the end stands after the tiles, not before them.
  menu->window()->show();
  ExpectRowsFromTheLeft(menu, 3, "one passed over");
  menu->window()->hide();
  menu->EndPreviews();
}

// However the menu comes up (a new project, a template imported, a data
// template for a data log just added or for one chosen in the inputs
// list), a short list fills the rows from the top left, reopened in another
// mode with another count.
TEST_F(TemplateMenuTest, AShortListFillsTheRowsFromTheTopLeft) {
  SetSetting("UseProjectWizard", false);
  wcMain* main = app->windows().wndMain();
  const QString log = QString::fromStdString(WriteLapSession(tempDir));
  struct Opening {
    const char* how;
    const char* tag;
    const char* prefix;
    std::function<void()> open;
  };
  const std::vector<Opening> openings = {
      {"File > New Project from Template...", "new-project", "Project - T",
       [&]() {
         main->setProjectModified(false);
         app->menuAction("mnuFileNewTemplate")->trigger();
       }},
      {"File > Import Template...", "import", "Project - T", [&]() { app->menuAction("mnuFileImportTemplate")->trigger(); }},
      {"a data log added", "data-log", "Data - T",
       [&]() {
         panelAnswers = {{log}};
         app->menuAction("mnuFileInputAdd")->trigger();
       }},
      {"the data log's Apply Data Template...", "apply-data", "Data - T",
       [&]() {
         const int row = static_cast<int>(main->InputFileNames().size()) - 1;
         ASSERT_TRUE(main->menuWillOpen(main->InputFilesMenu(), row));
         main->ListMenuItem("InputMenuAddTemplate")->trigger();
       }},
  };
  for (int n : {7, 1, 6, 2, 5}) {
    for (const Opening& opening : openings) {
      FillTemplateFolder(folder, one, n, opening.prefix);
      int runs = 0;
      onModal = [&](WindowController* window) {
        if (window != menu) return 0;
        ++runs;
        menu->showWindow();
        EXPECT_TRUE(SpinUntil([this]() { return menu->window()->isVisible() && !menu->FreshWindow(); }, 10000));
        ExpectRowsFromTheLeft(menu, n, opening.how);
        QStringList names;
        for (const Tile& tile : Tiles(menu)) names << tile.name;
        EXPECT_EQ(names.join(',').remove("Project - "), Expected(0, 1, n).join(','));
        if (n == 6) SaveWindowShot(menu->window(), QString("template-menu-six-%1").arg(opening.tag));
        menu->CancelButton()->click();
        return 0;
      };
      opening.open();
      EXPECT_EQ(runs, 1) << opening.how;
    }
  }
  onModal = nullptr;
}

// A first start: the starter set is installed into the documents folder and
// the start-up menu shows its new-project templates as thumbnails.
class StartupMenuTest : public ShellTest {};

TEST_F(StartupMenuTest, AFirstStartOffersTheStarterTemplates) {
  SetSetting("ShowMenuAtStart", true);
  QStringList shown;
  bool wizardCheckHidden = false;
  onModal = [&](WindowController* window) {
    auto* menu = qobject_cast<wcTemplateMenu*>(window);
    if (menu == nullptr) return 0;
    menu->showWindow();
    SpinUntil([menu]() { return menu->PreviewImage(14)->framesReceived() > 0; });
    for (int k = 0; k < kSlots; ++k)
      if (menu->SlotShown(k)) shown << menu->PreviewLabel(k)->text();
    wizardCheckHidden = menu->UseWizardCheck()->isHidden();
    EXPECT_FALSE(menu->PreviewImage(14)->image().isNull());
    EXPECT_EQ(menu->window()->windowTitle(), "Quelvatron - New Project Menu");
    EXPECT_EQ(menu->CancelButton()->text(), "Blank Project");
    EXPECT_TRUE(menu->ShowAtStart()->isChecked());
    SaveWindowShot(menu->window(), "template-menu-startup");
    menu->CancelButton()->click();
    return 0;
  };
  ASSERT_TRUE(Launch());
  ASSERT_TRUE(SpinUntil([this]() { return app->windows().wndMain()->StartupMenuShown() == 1; }));
  EXPECT_EQ(shown, QStringList({"Datalogger Video", "Datalogger Picture in Picture", "Onboard Car Dashboard",
                               "Onboard Bike Ride", "Video with Title"}));
  EXPECT_TRUE(wizardCheckHidden);
  // Every starter file is in the documents folder.
  const QString documents = QString::fromStdString(DocumentsFolder());
  EXPECT_EQ(QDir(documents + "/Templates").entryList(QDir::Files).size(),
            QDir(StarterTemplates()).entryList(QDir::Files).size());
  EXPECT_GE(QDir(documents + "/Styles").entryList(QDir::Files).size(), 25);
  EXPECT_EQ(QDir(documents + "/Video Positions").entryList(QDir::Files).size(), 4);
}

TEST_F(StartupMenuTest, TheStarterSetNeverReplacesTheUsersFile) {
  const QString documents = QString::fromStdString(DocumentsFolder());
  QDir().mkpath(documents + "/Templates");
  const QString mine = documents + "/Templates/Data - _1 Car Dashboard.qvt";
  QFile file(mine);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("my own");
  file.close();
  ASSERT_TRUE(Launch());
  QFile kept(mine);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("my own"));
  // The other starter files came.
  EXPECT_TRUE(QFile::exists(documents + "/Templates/Data - _2 Motorbike.qvt"));
}
