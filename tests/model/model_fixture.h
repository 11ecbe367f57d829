#pragma once
// Fresh model tables for each test.
#include <gtest/gtest.h>

#include <string>

#include "base/access_lock.h"
#include "base/error.h"
#include "model/model.h"
#include "model/timeline.h"

class ModelTest : public testing::Test {
protected:
  void SetUp() override {
    AccessInit();
    ModelInit();
  }
  void TearDown() override {
    ModelEnd();
    AccessEnd();
  }
};

inline std::u16string U16(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }
