#include "params/lux_tables.h"

namespace zrk::params {

void LuxTables::InicializarTablasLux() {
    TablaLux = {0,   0,   1,   2,   5,   10,  15,  20,  25,  30,  35,  40,  45,  50,  55,  60,  65,  70,
                75,  80,  85,  90,  95,  100, 105, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210,
                220, 240, 260, 280, 300, 320, 340, 360, 380, 400, 420, 440, 460, 480, 500, 520, 550};
    TablaADFotodiodo = {0,   0,   8,   15,  27,  45,  61,  74,  87,  97,  108, 117, 127, 136, 146, 154, 163, 170,
                        178, 186, 193, 199, 207, 214, 220, 227, 239, 252, 264, 276, 284, 297, 306, 318, 330, 339,
                        348, 364, 383, 402, 426, 451, 477, 502, 524, 548, 577, 605, 618, 627, 631, 635, 636};
    TablaADFotocelula = {0,   969, 867, 781, 633, 499, 424, 377, 341, 316, 298, 278, 267, 256, 242, 234, 228, 219,
                         215, 209, 204, 200, 196, 192, 189, 186, 181, 175, 171, 168, 164, 161, 159, 156, 154, 152,
                         150, 146, 144, 140, 138, 136, 134, 133, 131, 130, 129, 127, 126, 125, 124, 123, 122};
}

std::int32_t LuxTables::LuxAAD(std::int32_t& lux, int sensor) const {
    if (sensor == kAstronomicalClock) return 550;
    if (sensor != kPhotodiode && sensor != kPhotocell) return 0;
    if (lux >= 550) lux = 550;
    if (lux <= 0) lux = 0;
    const auto& ad = sensor == kPhotodiode ? TablaADFotodiodo : TablaADFotocelula;
    for (std::size_t i = 1; i <= 52; ++i)
        if (TablaLux[i] > lux) return ad[i - 1];
    return 0;
}

std::int32_t LuxTables::ADALux(std::int32_t& ad, int sensor) const {
    if (sensor == kPhotodiode) {
        if (ad >= 840) ad = 840;
        if (ad <= 0) ad = 0;
        for (std::size_t i = 1; i <= 52; ++i)
            if (TablaADFotodiodo[i] > ad) return TablaLux[i - 1];
        return 0;
    }
    if (sensor == kPhotocell) {
        if (ad >= 969) ad = 969;
        if (ad <= 0) ad = 0;
        for (std::size_t i = 1; i <= 52; ++i)
            if (TablaADFotocelula[i] < ad) return TablaLux[i - 1];
        return 0;
    }
    return 0;
}

}  // namespace zrk::params
