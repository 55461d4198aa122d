#include "texts/texts.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zrk::texts {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

// English set. Wording, blanks and spelling are the unit's own and are kept.
constexpr std::array kEnglish{
    Entry{1002, "Open"},
    Entry{1004, "Save"},
    Entry{1012, "Exit"},
    Entry{1021, "Help"},
    Entry{1055, "Night ON"},
    Entry{1056, "24 hours ON"},
    Entry{1057, "Night attenuation"},
    Entry{1058, "Function mode"},
    Entry{1059, "Recovery time after hibernation"},
    Entry{1061, "Disable"},
    Entry{1100, "Daylight sensor"},
    Entry{1102, "Flashes"},
    Entry{1103, "Communications"},
    Entry{1104, "Setup"},
    Entry{1105, "Visualization"},
    Entry{1110, "Light level Beacon ON"},
    Entry{1111, "Light level Beacon OFF"},
    Entry{1112, "Daylight sensor delay"},
    Entry{1160, "Language"},
    Entry{1161, "Com:"},
    Entry{1165, "Remote control"},
    Entry{1171, "LED instant current "},
    Entry{1180, "Instant speed"},
    Entry{1201, "Model"},
    Entry{1203, "Firmware Version"},
    Entry{1204, "Hardware"},
    Entry{1205, "ID Number"},
    Entry{1206, "Identifier"},
    Entry{1207, "Manufacturer number"},
    Entry{1208, "Year made"},
    Entry{1209, "Week made"},
    Entry{1219, "RPM"},
    Entry{1220, "Lux"},
    Entry{1221, "s."},
    Entry{1401, "Lamp alarm level"},
    Entry{1402, "Lamchanger type"},
    Entry{1403, "Lamp 1 type"},
    Entry{1404, "Lamp  2 type"},
    Entry{1405, "Main Lamp"},
    Entry{1406, "Delay lamp photocell"},
    Entry{1407, "Delay Lamp 2"},
    Entry{1408, "Delay AC Mains failure"},
    Entry{1409, "Delay Lamp 1"},
    Entry{1410, "Delay lamp failure"},
    Entry{1411, "Delay AC Mains restart"},
    Entry{1412, "Emergency lantern"},
    Entry{1420, "User Speed 1"},
    Entry{1421, "User Speed 2"},
    Entry{1422, "User Speed 3"},
    Entry{1423, "User Speed 4"},
    Entry{1424, "Reducer Ratio"},
    Entry{1425, "Pulses per revolution"},
    Entry{1426, "Acceleration Time"},
    Entry{1427, "Motor Type"},
    Entry{1428, "Stepper Motor"},
    Entry{1429, "Dual Motor RVQ"},
    Entry{1430, "Rotation"},
    Entry{1431, "Read ZRK"},
    Entry{1432, "Write ZRK"},
    Entry{1434, "Failed turns"},
    Entry{1435, "Speed tolerance"},
    Entry{1450, "ON"},
    Entry{1451, "OFF"},
    Entry{1452, "Motor ON"},
    Entry{1453, "Motor alarm"},
    Entry{1454, "Lamp 1 ON"},
    Entry{1455, "Lamp 2 ON"},
    Entry{1456, "Changeur ON"},
    Entry{1457, "AC Mains failure"},
    Entry{1458, "Last lamp Alarm"},
    Entry{1459, "Lamp Alarm"},
    Entry{1460, "Total Lamp Alarm"},
    Entry{1461, "Lamp Change"},
    Entry{1462, "Day Night control"},
    Entry{1463, "Normal"},
    Entry{1464, "Night"},
    Entry{1465, "Day"},
    Entry{1466, "Automatic Mode"},
    Entry{1467, "Refresh"},
    Entry{1468, "Lamp ON"},
    Entry{1470, "2º Port function"},
    Entry{1471, "RS485"},
    Entry{1472, "MODBUS"},
    Entry{1473, "PWM Led"},
    Entry{1480, "sensor type"},
    Entry{2000, "helpZRK.chm"},
    Entry{2001, "This version of firmware is only ZRK software program v1.2.9"},
    Entry{2002, "Changes pending record"},
    Entry{2003, "LEDs levels"},
    Entry{2004, "Without motor"},
    Entry{2005, "Rotation error OFF"},
    Entry{2006, "Only rotation"},
    Entry{2007, "Double LED"},
    Entry{2009, "Astronomical clock"},
    Entry{2010, "Flashing"},
    Entry{2011, "Photocell"},
    Entry{2012, "Photodiode"},
    Entry{2013, "Current measurement"},
    Entry{2014, "Type sensor lamp"},
    Entry{2015, "Lamp 1 current alarm"},
    Entry{2016, "Lamp 2 current alarm"},
};

}  // namespace

std::string TextTable::CargarTexto(int id) const {
    auto it = std::find_if(kEnglish.begin(), kEnglish.end(), [id](const Entry& e) { return e.id == id; });
    if (it == kEnglish.end()) return "<" + std::to_string(id) + ">";
    return std::string(it->text);
}

}  // namespace zrk::texts
