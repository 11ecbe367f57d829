// Which fields each change-mask bit carries, and copying them between a
// record and a segment.
#include "model/timeline_apply.h"

#include <cstring>

namespace {

bool BitmapFieldsEqual(const DispStruct& a, const DispStruct& b) {
  return a.BitmapRotate == b.BitmapRotate && a.BitmapZoom == b.BitmapZoom &&
         a.BitmapOffsetX == b.BitmapOffsetX && a.BitmapOffsetY == b.BitmapOffsetY &&
         a.BitmapChroma == b.BitmapChroma && a.BitmapChromaCRange == b.BitmapChromaCRange &&
         a.BitmapChromaBRange == b.BitmapChromaBRange;
}

} // namespace

void RecordCopyFields(DispStruct& dest, const DispStruct& source, uint32_t mask) {
  if (mask & kSegStyle) std::memcpy(dest.Style, source.Style, sizeof(dest.Style));
  if (mask & kSegPosition) {
    dest.X = source.X;
    dest.Y = source.Y;
  }
  if (mask & kSegSize) {
    dest.Width = source.Width;
    dest.Height = source.Height;
  }
  if (mask & kSegActive) dest.Active = source.Active;
  if (mask & kSegInput) dest.InputID = source.InputID;
  if (mask & kSegFlags) dest.Flags = source.Flags;
  if (mask & kSegKeepRatio) dest.KeepRatio = source.KeepRatio;
  if (mask & kSegTransparency) dest.Transparency = source.Transparency;
  if (mask & kSegMirroring) dest.Mirroring = source.Mirroring;
  if (mask & kSegColorChans) dest.ColorChans = source.ColorChans;
  if (mask & kSegAudioVolume) dest.AudioVolume = source.AudioVolume;
  if (mask & kSegAudioBalance) dest.AudioBalance = source.AudioBalance;
  if (mask & kSegBitmap) {
    dest.BitmapRotate = source.BitmapRotate;
    dest.BitmapZoom = source.BitmapZoom;
    dest.BitmapOffsetX = source.BitmapOffsetX;
    dest.BitmapOffsetY = source.BitmapOffsetY;
    dest.BitmapChroma = source.BitmapChroma;
    dest.BitmapChromaCRange = source.BitmapChromaCRange;
    dest.BitmapChromaBRange = source.BitmapChromaBRange;
  }
}

uint32_t RecordDiffMask(const DispStruct& a, const DispStruct& b) {
  uint32_t mask = 0;
  if (std::memcmp(a.Style, b.Style, sizeof(a.Style)) != 0) mask |= kSegStyle;
  if (a.X != b.X || a.Y != b.Y) mask |= kSegPosition;
  if (a.Width != b.Width || a.Height != b.Height) mask |= kSegSize;
  if (a.Active != b.Active) mask |= kSegActive;
  if (a.InputID != b.InputID) mask |= kSegInput;
  if (a.Flags != b.Flags) mask |= kSegFlags;
  if (a.KeepRatio != b.KeepRatio) mask |= kSegKeepRatio;
  if (a.Transparency != b.Transparency) mask |= kSegTransparency;
  if (a.Mirroring != b.Mirroring) mask |= kSegMirroring;
  if (a.ColorChans != b.ColorChans) mask |= kSegColorChans;
  if (a.AudioVolume != b.AudioVolume) mask |= kSegAudioVolume;
  if (a.AudioBalance != b.AudioBalance) mask |= kSegAudioBalance;
  if (!BitmapFieldsEqual(a, b)) mask |= kSegBitmap;
  return mask;
}

void SegmentTakeFields(DispSegment& segment, const DispStruct& source, uint32_t mask) {
  RecordCopyFields(segment.Values, source, mask);
  segment.Values.Param = nullptr;
  segment.Values.Bitmap = nullptr;
}

void SegmentApplyTo(DispStruct& record, DispSegment& segment) {
  RecordCopyFields(record, segment.Values, segment.Mask);
  if (segment.Mask != 0) {
    record.NativeWidth = segment.Values.NativeWidth;
    record.NativeHeight = segment.Values.NativeHeight;
  }
  // A parameter copy that does not match the object's stored size (a
  // damaged file) is not used: readers of the block rely on ParamSize.
  if ((segment.Mask & kSegParam) && segment.Param.size() == record.ParamSize &&
      !segment.Param.empty())
    record.Param = segment.Param.data();
  if (segment.Mask & kSegBitmap) {
    record.BitmapSize = static_cast<uint32_t>(segment.Bitmap.size());
    record.Bitmap = segment.Bitmap.empty() ? nullptr : segment.Bitmap.data();
  }
}

int SegmentInForce(const DispObjEntry& entry, float time) {
  int found = -1;
  for (size_t i = 0; i < entry.Segments.size(); ++i) {
    if (entry.Segments[i].Start > time) break;
    found = static_cast<int>(i);
  }
  return found;
}
