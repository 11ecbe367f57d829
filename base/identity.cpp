#include "base/identity.h"

#include <mutex>
#include <string>

namespace {

constexpr uint32_t kBuildNumber = 20140204;

struct Identity {
  std::once_flag once;
  std::wstring name;
  std::wstring version;
  std::wstring build;
  uint32_t buildNumber = 0;
};

Identity& TheIdentity() {
  static auto* identity = new Identity();
  // Readers before AppInitIdentity still see the product's own values.
  std::call_once(identity->once, [] {
    identity->name = L"Quelvatron";
    identity->version = L"2.9.6b";
    identity->buildNumber = kBuildNumber;
    identity->build = std::to_wstring(kBuildNumber);
  });
  return *identity;
}

}  // namespace

void AppInitIdentity() { TheIdentity(); }

const wchar_t* GetAppName() { return TheIdentity().name.c_str(); }

const wchar_t* GetAppVersion() { return TheIdentity().version.c_str(); }

const wchar_t* GetAppBuildString() { return TheIdentity().build.c_str(); }

uint32_t GetAppBuildNumber() { return TheIdentity().buildNumber; }
