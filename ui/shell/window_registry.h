#pragma once
// The program's windows, one controller each, made once and kept for the
// life of the process: every window finds every other here. The registry
// is the only place that makes a controller (their constructors are open to
// it alone) and it never replaces one, so a window reached through it is
// the one the launch made.
#include <QString>
#include <memory>
#include <vector>

class WindowController;
class wcAbout;
class wcCreateStatus;
class wcCreateVideo;
class wcDispObjBackground;
class wcDispObjEdit;
class wcDispObjEnhEdit;
class wcDispObjGaugeDesign;
class wcDispObjToolbox;
class wcInputCrop;
class wcInputEdit;
class wcInputSetLap;
class wcInputSync;
class wcInputSync2;
class wcInputTrim;
class wcLapList;
class wcMain;
class wcPreview;
class wcProject;
class wcProjectWiz;
class wcRecovery;
class wcSplash;
class wcTemplateConfig;
class wcTemplateCreate;
class wcTemplateLoad;
class wcTemplateMenu;
class wcTimeline;
class wcTimelineEdit;
class wcTip;
class wcTransfer;
class wcUpload;

class WindowRegistry {
public:
  WindowRegistry();
  // Ends the windows in registry order, the splash last.
  ~WindowRegistry();
  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  // Makes every controller in registry order (the main window first, the
  // three of the main layout last); their windows are built later, on the
  // GUI thread. May run off the GUI thread: the controllers move to it. A
  // constructor that throws leaves its controller and the ones after it
  // null, and the answer false. Only the first call makes anything; later
  // ones give its answer again.
  bool Create();
  // The splash of the launch (GUI thread); made once, like the others.
  wcSplash* CreateSplash();

  // Each window by its name; null before Create or when it could not be
  // made.
  wcMain* wndMain() const { return main_.get(); }
  wcCreateVideo* wndCreateVideo() const { return createVideo_.get(); }
  wcCreateStatus* wndCreateStatus() const { return createStatus_.get(); }
  wcUpload* wndUpload() const { return upload_.get(); }
  wcAbout* wndAbout() const { return about_.get(); }
  wcPreview* wndPreview() const { return preview_.get(); }
  wcProject* wndProject() const { return project_.get(); }
  wcRecovery* wndRecovery() const { return recovery_.get(); }
  wcInputEdit* wndInputEdit() const { return inputEdit_.get(); }
  wcInputCrop* wndInputCrop() const { return inputCrop_.get(); }
  wcInputSetLap* wndInputSetLap() const { return inputSetLap_.get(); }
  wcInputSync* wndInputSync() const { return inputSync_.get(); }
  wcInputTrim* wndInputTrim() const { return inputTrim_.get(); }
  wcLapList* wndLapList() const { return lapList_.get(); }
  wcDispObjEdit* wndDispObjEdit() const { return dispObjEdit_.get(); }
  wcDispObjBackground* wndDispObjBackground() const { return dispObjBackground_.get(); }
  wcDispObjToolbox* wndDispObjToolbox() const { return dispObjToolbox_.get(); }
  wcDispObjGaugeDesign* wndDispObjGaugeDesign() const { return dispObjGaugeDesign_.get(); }
  wcTemplateMenu* wndTemplateMenu() const { return templateMenu_.get(); }
  wcTemplateLoad* wndTemplateLoad() const { return templateLoad_.get(); }
  wcTemplateConfig* wndTemplateConfig() const { return templateConfig_.get(); }
  wcTemplateCreate* wndTemplateCreate() const { return templateCreate_.get(); }
  wcTimeline* wndTimeline() const { return timeline_.get(); }
  wcTimelineEdit* wndTimelineEdit() const { return timelineEdit_.get(); }
  wcTip* wndTip() const { return tip_.get(); }
  wcTransfer* wndTransfer() const { return transfer_.get(); }
  wcProjectWiz* wndProjectWiz() const { return projectWiz_.get(); }
  wcInputSync2* wndInputSync2() const { return inputSync2_.get(); }
  wcDispObjEnhEdit* wndDispObjEnhEdit() const { return dispObjEnhEdit_.get(); }
  // Not one of the registry's: it lives only through the launch.
  wcSplash* wndSplash() const { return splash_.get(); }

  // Every controller in registry order, nulls kept (not the splash).
  std::vector<WindowController*> All() const;
  // A controller by its registry name ("wndMain"), or null.
  WindowController* Find(const QString& name) const;

private:
  template <typename Registry, typename Visit>
  static void inOrder(Registry& registry, Visit visit);
  template <typename Window>
  static void make(std::unique_ptr<Window>& slot);

  bool created_ = false;
  bool createdAll_ = false;
  std::unique_ptr<wcMain> main_;
  std::unique_ptr<wcCreateVideo> createVideo_;
  std::unique_ptr<wcCreateStatus> createStatus_;
  std::unique_ptr<wcUpload> upload_;
  std::unique_ptr<wcAbout> about_;
  std::unique_ptr<wcPreview> preview_;
  std::unique_ptr<wcProject> project_;
  std::unique_ptr<wcRecovery> recovery_;
  std::unique_ptr<wcInputEdit> inputEdit_;
  std::unique_ptr<wcInputCrop> inputCrop_;
  std::unique_ptr<wcInputSetLap> inputSetLap_;
  std::unique_ptr<wcInputSync> inputSync_;
  std::unique_ptr<wcInputTrim> inputTrim_;
  std::unique_ptr<wcLapList> lapList_;
  std::unique_ptr<wcDispObjEdit> dispObjEdit_;
  std::unique_ptr<wcDispObjBackground> dispObjBackground_;
  std::unique_ptr<wcDispObjToolbox> dispObjToolbox_;
  std::unique_ptr<wcDispObjGaugeDesign> dispObjGaugeDesign_;
  std::unique_ptr<wcTemplateMenu> templateMenu_;
  std::unique_ptr<wcTemplateLoad> templateLoad_;
  std::unique_ptr<wcTemplateConfig> templateConfig_;
  std::unique_ptr<wcTemplateCreate> templateCreate_;
  std::unique_ptr<wcTimeline> timeline_;
  std::unique_ptr<wcTimelineEdit> timelineEdit_;
  std::unique_ptr<wcTip> tip_;
  std::unique_ptr<wcTransfer> transfer_;
  std::unique_ptr<wcProjectWiz> projectWiz_;
  std::unique_ptr<wcInputSync2> inputSync2_;
  std::unique_ptr<wcDispObjEnhEdit> dispObjEnhEdit_;
  std::unique_ptr<wcSplash> splash_;
};
