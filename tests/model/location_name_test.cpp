// Venue names from coordinates.
#include <cmath>
#include <string>

#include "model/inputs.h"
#include "model_fixture.h"

namespace {

TEST(LocationName, KnownCircuits) {
  EXPECT_EQ(std::wstring(LocationGetName(50.3356, 6.9475)), L"Nürburgring");
  EXPECT_EQ(std::wstring(LocationGetName(50.4300, 5.9700)), L"Circuit de Spa-Francorchamps");
  EXPECT_EQ(std::wstring(LocationGetName(36.5843, -121.7535)), L"Laguna Seca Raceway");
  EXPECT_EQ(std::wstring(LocationGetName(-33.4480, 149.5544)), L"Mount Panorama, Bathurst");
}

TEST(LocationName, CircuitInsideACityWins) {
  EXPECT_EQ(std::wstring(LocationGetName(-37.8497, 144.9681)), L"Albert Park Circuit");
  EXPECT_EQ(std::wstring(LocationGetName(-37.80, 145.05)), L"Melbourne");
}

TEST(LocationName, ElsewhereTheCoordinatesAreShown) {
  EXPECT_EQ(std::wstring(LocationGetName(10.5, -20.25)), L"10.50000° N, 20.25000° W");
  EXPECT_EQ(std::wstring(LocationGetName(-45, 170)), L"45.00000° S, 170.00000° E");
}

TEST(LocationName, ImpossibleCoordinates) {
  EXPECT_EQ(std::wstring(LocationGetName(NAN, 3)), L"Unknown location");
  EXPECT_EQ(std::wstring(LocationGetName(91, 3)), L"Unknown location");
  EXPECT_EQ(std::wstring(LocationGetName(3, -181)), L"Unknown location");
}

} // namespace
