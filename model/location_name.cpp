// Naming a place from its coordinates: well-known circuits and a few
// cities, else the coordinates themselves.
#include <cmath>
#include <cwchar>

#include "base/error.h"
#include "model/inputs.h"

namespace {

struct Place {
  const wchar_t* name;
  double latitude, longitude;
  double radiusKm;
};

// Public coordinates of the circuit (or city centre) and how far from it a
// point still counts as being there.
constexpr Place kPlaces[] = {
    {L"Nürburgring", 50.3356, 6.9475, 6.0},
    {L"Circuit de Spa-Francorchamps", 50.4372, 5.9714, 3.5},
    {L"Silverstone Circuit", 52.0786, -1.0169, 3.0},
    {L"Autodromo Nazionale Monza", 45.6156, 9.2811, 3.0},
    {L"Laguna Seca Raceway", 36.5843, -121.7535, 2.0},
    {L"Suzuka Circuit", 34.8431, 136.5407, 3.0},
    {L"Mount Panorama, Bathurst", -33.4480, 149.5544, 3.0},
    {L"Brands Hatch", 51.3569, 0.2631, 2.0},
    {L"Donington Park", 52.8306, -1.3797, 2.0},
    {L"Hockenheimring", 49.3278, 8.5656, 2.5},
    {L"Circuit de Barcelona-Catalunya", 41.5700, 2.2611, 2.5},
    {L"Circuit de la Sarthe, Le Mans", 47.9560, 0.2075, 7.0},
    {L"Road America", 43.7980, -87.9897, 3.0},
    {L"Watkins Glen International", 42.3369, -76.9272, 3.0},
    {L"Sebring International Raceway", 27.4547, -81.3483, 3.0},
    {L"Daytona International Speedway", 29.1852, -81.0705, 3.0},
    {L"Indianapolis Motor Speedway", 39.7950, -86.2347, 2.5},
    {L"Circuit of the Americas", 30.1328, -97.6411, 3.0},
    {L"Road Atlanta", 34.1469, -83.8153, 2.5},
    {L"Virginia International Raceway", 36.5686, -79.2067, 3.0},
    {L"Sonoma Raceway", 38.1611, -122.4547, 2.5},
    {L"Willow Springs Raceway", 34.8711, -118.2639, 2.5},
    {L"Thunderhill Raceway Park", 39.5394, -122.3317, 2.5},
    {L"Mid-Ohio Sports Car Course", 40.6894, -82.6364, 2.0},
    {L"Lime Rock Park", 41.9281, -73.3831, 1.5},
    {L"Barber Motorsports Park", 33.5322, -86.6194, 2.0},
    {L"Canadian Tire Motorsport Park", 44.0481, -78.6756, 2.5},
    {L"Circuit Gilles Villeneuve", 45.5000, -73.5228, 2.5},
    {L"Autódromo José Carlos Pace, Interlagos", -23.7036, -46.6997, 2.5},
    {L"Autodromo Enzo e Dino Ferrari, Imola", 44.3439, 11.7167, 2.5},
    {L"Mugello Circuit", 43.9975, 11.3719, 2.5},
    {L"Circuit Zandvoort", 52.3888, 4.5409, 2.5},
    {L"Red Bull Ring", 47.2197, 14.7647, 2.5},
    {L"Hungaroring", 47.5789, 19.2486, 2.5},
    {L"Circuit de Nevers Magny-Cours", 46.8642, 3.1636, 2.5},
    {L"Circuit Paul Ricard", 43.2506, 5.7917, 3.0},
    {L"Circuit Zolder", 50.9906, 5.2569, 2.0},
    {L"TT Circuit Assen", 52.9614, 6.5231, 3.0},
    {L"Sachsenring", 50.7917, 12.6875, 2.0},
    {L"Automotodrom Brno", 49.2031, 16.4444, 3.0},
    {L"Circuito de Jerez", 36.7083, -6.0342, 2.5},
    {L"Autódromo do Estoril", 38.7506, -9.3942, 2.0},
    {L"Autódromo Internacional do Algarve", 37.2270, -8.6267, 2.5},
    {L"Snetterton Circuit", 52.4636, 0.9453, 2.0},
    {L"Oulton Park", 53.1797, -2.6136, 2.0},
    {L"Thruxton Circuit", 51.2106, -1.6092, 2.0},
    {L"Goodwood Motor Circuit", 50.8583, -0.7597, 2.0},
    {L"Cadwell Park", 53.3106, -0.0597, 2.0},
    {L"Knockhill Racing Circuit", 56.1308, -3.5069, 1.5},
    {L"Anglesey Circuit", 53.1878, -4.4964, 2.0},
    {L"Phillip Island Grand Prix Circuit", -38.5008, 145.2333, 3.0},
    {L"Albert Park Circuit", -37.8497, 144.9681, 2.5},
    {L"Sepang International Circuit", 2.7608, 101.7382, 3.0},
    {L"Fuji Speedway", 35.3717, 138.9272, 3.0},
    {L"Shanghai International Circuit", 31.3389, 121.2197, 3.0},
    {L"Bahrain International Circuit", 26.0325, 50.5106, 3.0},
    {L"Yas Marina Circuit", 24.4672, 54.6031, 3.0},
    {L"Kyalami Grand Prix Circuit", -25.9894, 28.0767, 2.5},
    {L"London", 51.5074, -0.1278, 25.0},
    {L"Paris", 48.8566, 2.3522, 20.0},
    {L"Berlin", 52.5200, 13.4050, 25.0},
    {L"Munich", 48.1351, 11.5820, 20.0},
    {L"New York", 40.7128, -74.0060, 30.0},
    {L"Los Angeles", 34.0522, -118.2437, 40.0},
    {L"Tokyo", 35.6762, 139.6503, 40.0},
    {L"Sydney", -33.8688, 151.2093, 30.0},
    {L"Melbourne", -37.8136, 144.9631, 30.0},
};

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kPi = 3.14159265358979323846;

double DistanceKm(double lat1, double lon1, double lat2, double lon2) {
  const double toRad = kPi / 180.0;
  const double dLat = (lat2 - lat1) * toRad;
  const double dLon = (lon2 - lon1) * toRad;
  const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(lat1 * toRad) * std::cos(lat2 * toRad) * std::sin(dLon / 2) *
                       std::sin(dLon / 2);
  return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::fmin(1.0, a)));
}

thread_local wchar_t t_buffer[128];

} // namespace

const wchar_t* LocationGetName(double latitude, double longitude) {
  if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90 ||
      std::fabs(longitude) > 180) {
    std::swprintf(t_buffer, 128, L"Unknown location");
    ErrorSet(-21, "LocationGetName");
    return t_buffer;
  }
  // The smallest place that holds the point: a circuit inside a city wins.
  const Place* best = nullptr;
  for (const Place& place : kPlaces)
    if (DistanceKm(latitude, longitude, place.latitude, place.longitude) <= place.radiusKm &&
        (best == nullptr || place.radiusKm < best->radiusKm))
      best = &place;
  if (best != nullptr)
    std::swprintf(t_buffer, 128, L"%ls", best->name);
  else
    std::swprintf(t_buffer, 128, L"%.5f° %lc, %.5f° %lc", std::fabs(latitude),
                  latitude < 0 ? L'S' : L'N', std::fabs(longitude), longitude < 0 ? L'W' : L'E');
  ErrorSet(0, "LocationGetName");
  return t_buffer;
}
