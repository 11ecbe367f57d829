#include "render/preview/previews_init.h"

#include "base/error.h"
#include "base/log.h"
#include "render/preview/main_preview.h"
#include "render/preview/simple_preview.h"

int PreviewsInit() {
  // Nothing is drawn before the main window sets its preview up; the
  // tables start empty.
  SimplePreviewCloseAll();
  return ErrorSet(kOk, "PreviewsInit");
}

void PreviewsEnd() {
  MainPreviewEnd();
  SimplePreviewCloseAll();
}
