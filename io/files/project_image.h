#pragma once
// A whole project held outside the model tables: what a project file
// decodes into and is validated as, before the open project is replaced,
// and what a save encodes from a copy taken under read access.
#include <cstdint>
#include <vector>

#include "model/dispobj_table.h"
#include "model/input_records.h"
#include "model/project.h"
#include "model/project_settings.h"

struct ProjectInputImage {
  MainStruct Main{};
  DataStruct Data{};
  AdjustStruct Adjust{};
};

struct ProjectImage {
  ProjectSettings Settings;
  float TimelineTime = 0;
  std::vector<ProjectInputImage> Inputs;
  std::vector<DispObjEntry> Objects; // Base, blocks and segments; Current unused
};

// Copies the model (the caller holds read access).
void ProjectImageCapture(ProjectImage& image);
// Replaces the model with the image (the caller holds write access): the
// old inputs' media are closed, the tables filled, and every input backed
// by a file reopened through the media layer; an input whose file cannot be
// opened keeps its records and gets its open-failed flag.
void ProjectImageInstall(ProjectImage& image);
