#pragma once
// Painted stand-ins for camera pictures, so that thumbnails and sample
// frames show the displays over something like an onboard view: a circuit
// seen over a car's bonnet or a motorbike's screen, a country road over a
// bicycle's bars, and a view of the cockpit for a second camera.
#include <string>

enum class Scene { kCircuit, kCountryRoad, kCockpit, kSportsBike };

// Paints the scene into a PNG file of the size; false when it cannot.
bool PaintScene(Scene scene, int width, int height, const std::string& path);
