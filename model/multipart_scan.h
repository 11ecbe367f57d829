#pragma once
// The parts of a camera recording that InputCheckMultiPart found.
#include <string>
#include <vector>

// Every part of the recording the path belongs to, in playing order, until
// the first missing one; empty when the name is not a camera part's.
std::vector<std::wstring> MultiPartScan(const std::wstring& path);
// The set kept by the last InputCheckMultiPart (empty unless it found two).
const std::vector<std::wstring>& MultiPartFound();
