#pragma once
#include <cstdint>

// Set once by CheckMacVer at engine start (names kept from the engine's
// first platform): the running system is at least the level the H.264
// profile choice and the activity routines look for.
extern int32_t MacVerAtLeast108;
extern int32_t MacVerAtLeast109;

// The running kernel's version (major.minor.patch); 0 or -1.
int GetMacVersion(uint32_t* major, uint32_t* minor, uint32_t* update);
// Logs the machine, sets the flags and refuses systems below the floor.
int CheckMacVer();
// Version check on a given release text, for tests and CheckMacVer.
int CheckOsVersionText(const char* release);
int GetComputerName(char* buffer, uint32_t* length);
int32_t GetProcessID();
void SleepMs(uint32_t milliseconds);
void LogOSStatus(int32_t status);
