#pragma once
// The starter set of templates and styles that ships with the program,
// made through the engine's own routines from the designs in this folder:
// generated activity logs and painted camera pictures stand in for the
// user's material, the designs are laid over them, and the template and
// style writers store the chosen objects. The engine must be started.
#include <cstdint>
#include <string>
#include <vector>

#include "scenes.h"
#include "sessions.h"

// What the designs are shown on: logs, pictures and short videos made in a
// work folder.
struct Materials {
  std::string carLog, bikeLog, rideLog;
  SessionSummary car, bike, ride;
  std::string circuitPicture, roadPicture, cockpitPicture, bikePicture;
  std::string onboardVideo, cockpitVideo, rideVideo; // made from the pictures
};
// Makes them; an empty string, or what failed.
std::string MakeMaterials(const std::string& workDir, Materials* out);

// The inputs a design's objects show.
struct DesignInputs {
  uint32_t data = 255;
  uint32_t video1 = 255;
  uint32_t video2 = 255;
};

struct TemplateDesign {
  std::string file;      // "Data - _1 Car Dashboard.qvt"
  bool data;             // a data template (else a new-project template)
  bool dataInput;        // the template names a data input
  SessionKind session;   // the log it is shown with
  Scene scene;           // the camera picture it is shown over
  bool afterLine;        // its picture just after a lap ends (else a corner)
  int videos;            // camera inputs of a new-project template
  void (*build)(const DesignInputs& inputs);
};
const std::vector<TemplateDesign>& StarterTemplates();
// The style files, folder and name ("Styles/Carbon - Speed.qvo").
std::vector<std::string> StarterStyles();

// Writes every template and style under outDir ("Templates", "Styles",
// "Video Positions"); an empty string, or what failed.
std::string BuildStarterSet(const Materials& materials, const std::string& outDir);

// A new project showing the template file as a user would get it: the
// session's log and camera picture as inputs, the template applied (a data
// template to the log with the options a first use gives, plus the best
// lap; a new-project template mapped onto the pictures and, for a
// data-logger one, the car dashboard after it). The time of its sample
// picture, or a negative value when it cannot be applied.
double ShowTemplate(const Materials& materials, const TemplateDesign& design, const std::string& templatesDir);
// Index of the log input of the project ShowTemplate made (255 none).
uint32_t ShownLogInput();

// A sheet of every style's preview picture with its name, as the style
// files carry them, written as PNG.
bool WriteStyleSheet(const std::string& outDir, const std::string& path);

// The project at the time drawn into a frame of the size: top-down pixels
// (B, G, R, A in memory), or nothing when it cannot be drawn.
std::vector<uint32_t> RenderProjectPixels(float time, int width, int height);
// Renders the project at the time into a PNG file of the size.
bool RenderProjectPng(float time, int width, int height, const std::string& path);
