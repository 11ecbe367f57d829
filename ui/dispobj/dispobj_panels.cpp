// The register of property-window panels: a new panel is one line here.
#include "ui/dispobj/dispobj_panels.h"

#include <algorithm>

#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/vcDispObjAudio.h"
#include "ui/dispobj/vcDispObjBar.h"
#include "ui/dispobj/vcDispObjEImage.h"
#include "ui/dispobj/vcDispObjEnhanced.h"
#include "ui/dispobj/vcDispObjGForce.h"
#include "ui/dispobj/vcDispObjGauge.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/vcDispObjPicture.h"
#include "ui/dispobj/vcDispObjShape.h"
#include "ui/dispobj/vcDispObjText.h"
#include "ui/dispobj/vcDispObjTimeGraph.h"
#include "ui/dispobj/vcDispObjTrackMap.h"

namespace {

struct PanelEntry {
  DispPanel bit;
  DispObjPanel* (*make)(wcDispObjEdit* owner);
};

template <class Panel> DispObjPanel* make(wcDispObjEdit* owner) { return new Panel(owner); }

const PanelEntry kPanels[] = {
    {kPanelGeneral, make<vcDispObjGeneral>},
    {kPanelPicture, make<vcDispObjPicture>},
    {kPanelAudio, make<vcDispObjAudio>},
    {kPanelText, make<vcDispObjText>},
    {kPanelShape, make<vcDispObjShape>},
    {kPanelBar, make<vcDispObjBar>},
    {kPanelTrackMap, make<vcDispObjTrackMap>},
    {kPanelGForce, make<vcDispObjGForce>},
    {kPanelTimeGraph, make<vcDispObjTimeGraph>},
    {kPanelEImage, make<vcDispObjEImage>},
    {kPanelEnhanced, make<vcDispObjEnhanced>},
    {kPanelGauge, make<vcDispObjGauge>},
};

} // namespace

std::vector<DispObjPanel*> MakeDispObjPanels(wcDispObjEdit* owner) {
  std::vector<PanelEntry> entries(std::begin(kPanels), std::end(kPanels));
  std::sort(entries.begin(), entries.end(), [](const PanelEntry& a, const PanelEntry& b) { return a.bit < b.bit; });
  std::vector<DispObjPanel*> panels;
  for (const PanelEntry& entry : entries) panels.push_back(entry.make(owner));
  return panels;
}
