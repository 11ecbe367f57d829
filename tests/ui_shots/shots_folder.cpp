// The folder the pictures go to: QV_SCREENSHOTS when set, else
// "ui-screenshots" beside this program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {

class ShotsFolder : public testing::Environment {
public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QV_SCREENSHOTS")) {
      const QString dir = QCoreApplication::applicationDirPath() + "/ui-screenshots";
      setenv("QV_SCREENSHOTS", dir.toLocal8Bit().constData(), 1);
    }
    std::printf("Pictures go to %s\n", std::getenv("QV_SCREENSHOTS"));
  }
};

[[maybe_unused]] testing::Environment* const folder = testing::AddGlobalTestEnvironment(new ShotsFolder);

} // namespace
