#pragma once
// What the program knows about each kind of display object, in one table:
// the model (a new object's record, parameter block and data channel), the
// file readers (the stored size of its record) and the interface (its name,
// icon, panels, toolbox button and style folder) all read it from here. A new
// kind is one entry in disp_types.cpp, one in the renderer's table
// (render/objects/object_render.cpp) and its own files.
#include <cstddef>
#include <cstdint>

#include "model/disp_records.h"

// The input an object reads.
enum class DispInputKind : uint8_t {
  kNone,    // groups, shapes and texts read no input
  kPicture, // a video or still image (types 1, 3, 5)
  kSound,   // anything with sound (types 1, 2, 5, 6)
  kData,    // a data log or a file that carries data (types 4, 7, has-data)
};

// Sub-folders of the program's documents folder holding a kind's styles.
enum class DispStyleFolder : uint8_t { kStyles, kVideoPositions, kImages };

// The box of the add-object toolbox that holds a kind's button.
enum class DispToolboxBox : uint8_t { kHidden, kMedia, kDrawing, kData };

// The list icon of a kind (icons are drawn by the interface).
enum class DispIcon : uint8_t {
  kNone, kGroup, kEImage, kVideo, kAudio, kShape, kText, kGauge, kBar, kTextData, kTimeGraph,
  kEnhanced, kTrackMap, kGForce, kGear, kLap,
};

// Panels of the property window, one bit each. The bit order is the
// order of the column from top to bottom.
enum DispPanel : uint32_t {
  kPanelGeneral = 1u << 0, // every object
  kPanelText = 1u << 1,
  kPanelShape = 1u << 2,
  kPanelGForce = 1u << 3,
  kPanelTrackMap = 1u << 4,
  kPanelGauge = 1u << 5,
  kPanelBar = 1u << 6,
  kPanelTimeGraph = 1u << 7,
  kPanelEImage = 1u << 8,
  kPanelEnhanced = 1u << 9, // scripted objects
  kPanelPicture = 1u << 10,
  kPanelAudio = 1u << 11,
};
constexpr uint32_t kDispPanelCount = 12;

// A text field of a parameter record (offset and length in UTF-16 units).
struct DispTextField {
  uint16_t offset;
  uint16_t units;
};

struct DispTypeInfo {
  uint8_t type;       // the code asked for
  uint8_t storedType; // the code a new record keeps (speedometer and tachometer are gauges)
  const char* typeName;         // as the panels name the kind; null: shown by its code
  const char16_t* newName;      // a new object's name (made unique by the model)
  float x, y, width, height;    // a new object's box, percent of the frame
  bool keepRatio;               // a new object keeps its aspect ratio
  uint32_t paramSize;           // stored parameter record; 0 none
  bool paramAtCreation;         // a new object gets its block (scripted objects do not)
  void (*initParam)(void* block); // presets of a new object's block
  int32_t fieldOffset;          // the data-channel field in the record; -1 none
  DispTextField textFields[4];  // text fields kept terminated (units 0 ends the list)
  void (*sanitizeExtra)(uint8_t* block, uint32_t size); // further repair of a loaded block
  bool drawsPicture;            // shows something (picked on the canvas, exported as a still)
  DispIcon icon;
  DispInputKind input;
  bool inputOptional;           // no input is no fault (embedded images)
  bool backgroundButton;        // the general panel offers the background bitmap
  DispStyleFolder styleFolder;
  bool stylePlacesInPanel;      // a style chosen in the property window also places the object
  bool stylePlacesInToolbox;    // a style chosen in the toolbox also places it
  DispToolboxBox toolboxBox;
  bool toolboxChannel;          // the toolbox offers a data-channel chooser
  uint32_t panels;              // DispPanel bits besides the general panel
  const char* toolboxButton;    // the toolbox button's name; null: none
};

// The entry of a type code (71 and 72 included); null for unknown codes.
const DispTypeInfo* DispTypeFind(uint32_t type);
// Every entry, in the order the toolbox shows the kinds.
const DispTypeInfo* DispTypesBegin();
const DispTypeInfo* DispTypesEnd();

// The name of a kind's style folder ("Styles", "Video Positions", "Images").
const wchar_t* DispStyleFolderName(DispStyleFolder folder);
