#pragma once
#include <cstdint>

// Product word, version text and build number; set before AppInit.
void AppInitIdentity();
const wchar_t* GetAppName();
const wchar_t* GetAppVersion();
const wchar_t* GetAppBuildString();
uint32_t GetAppBuildNumber();
