#pragma once
// The loaded template shared by the import routines (internal).
#include <memory>
#include <mutex>

#include "io/files/template_format.h"

struct TemplateLoaded {
  std::mutex mutex;
  std::unique_ptr<TemplateImage> image; // null: nothing loaded
};

TemplateLoaded& TemplateState();
