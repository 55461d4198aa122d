#pragma once

#include <array>
#include <cstdint>

namespace zrk::params {

// Calibration of the two light sensors: lux steps and the sensor's AD
// reading at each step. Row 0 is never reached by the conversions.
struct LuxTables {
    std::array<std::int16_t, 53> TablaLux{};
    std::array<std::int16_t, 53> TablaADFotodiodo{};
    std::array<std::int16_t, 53> TablaADFotocelula{};

    void InicializarTablasLux();

    // Sensor kinds: the list position of the light-sensor list.
    static constexpr int kPhotodiode = 0;
    static constexpr int kPhotocell = 1;
    static constexpr int kAstronomicalClock = 2;

    // Lux to AD value for the sensor; limits `lux` in place to 0..550 for the
    // two sensors.
    std::int32_t LuxAAD(std::int32_t& lux, int sensor) const;
    // AD value to lux; limits `ad` in place to the sensor's range.
    std::int32_t ADALux(std::int32_t& ad, int sensor) const;
};

}  // namespace zrk::params
