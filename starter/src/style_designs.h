#pragma once
// The starter styles: a folder, a name and the object that carries the look.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct StyleDesign {
  std::string folder; // "Styles" or "Video Positions"
  std::string name;   // the file name without ".qvo"
  // Makes the object of the look for the data input; its index.
  std::function<uint32_t(uint32_t data)> make;
  bool ride = false; // shown with the bicycle ride instead of the car
};
const std::vector<StyleDesign>& StarterStyleDesigns();
