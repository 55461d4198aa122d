#include "texts/texts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace zrk::texts {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

// Every set holds all of these ids, in this order.
constexpr std::size_t kTextCount = 199;

// English (United States). Wording, blanks and spelling are the unit's own and are kept.
constexpr std::array<Entry, kTextCount> kEnglish{{
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
    // The tool's own texts: what a write checks before and after it sends.
    Entry{3000, "\"%1\" is out of range: it takes %2 to %3"},
    Entry{3001, "Nothing written: the unit on the line has identifier number %1, not %2"},
    Entry{3002,
          "The form holds the parameters of the unit with identifier number %2, but the unit on the line has "
          "identifier number %1.\nNothing was written. Read this unit first, or connect the unit that was read."},
    Entry{3003, "Nothing written: the unit did not answer"},
    Entry{3004, "Verifying"},
    Entry{3005, "Ended with errors: the unit does not hold what was written"},
    Entry{3006, "Address %1: written %2, the unit holds %3"},
    Entry{3007, "Address %1: written %2, no answer when read back"},
    Entry{3008, "Ended with errors: no answer when writing address %1"},
    Entry{3009, "Nothing written: read the unit first"},
    Entry{3010, "The form does not hold the parameters of the unit on the line: read the unit first (%1), then write."},
    Entry{3011, "%1 changes"},
    Entry{3012, "1 change"},
    Entry{3013, "Unit: %1"},
    Entry{3014, "Loaded: %1"},
    Entry{3015, "checked"},
    Entry{3016, "unchecked"},
    Entry{3017, "greyed"},
    Entry{3018, "Write these changes to the unit?"},
    Entry{3019, "No field differs from the unit. Write all the same?"},
    Entry{3020, "The unit's parameters as they are now are saved first in %1; open and write that file to undo."},
    Entry{3021, "Nothing written: cancelled"},
    Entry{3022, "Unit: %1; after the write: %2"},
    Entry{3023, "%1 (address %2) holds %3, which does not fit in a byte (0 to 255)"},
    Entry{3024, "Nothing was written: read the unit (%1) or open a parameter file (%2) first."},
    Entry{3025, "The write record cannot be kept: %1"},
    Entry{3026,
          "Write without a record? The unit's values from before this write are then kept nowhere, and the write "
          "cannot be undone."},
    Entry{3027,
          "Nothing was written: a write needs its record. Make room in that folder or allow writing to it, or write "
          "without a record (zrkctl: --no-record)."},
    // A failed half of a table write: %1 the table, %2 the half (3101 or 3102), %3 the offset.
    Entry{3100, "Writing Error in table %1, %2 half, data %3"},
    Entry{3101, "first"},
    Entry{3102, "second"},
    // The line monitor and the meanings of frames.
    Entry{3200, "read address %1"},
    Entry{3201, "write address %1 ← %2"},
    Entry{3202, "status byte A"},
    Entry{3203, "status byte B"},
    Entry{3204, "current, high byte"},
    Entry{3205, "current, low byte"},
    Entry{3206, "speed, high byte"},
    Entry{3207, "speed, low byte"},
    Entry{3208, "LED current, high byte"},
    Entry{3209, "LED current, low byte"},
    Entry{3210, "inputs 1 to 8"},
    Entry{3211, "outputs 1 to 8"},
    Entry{3212, "outputs 9 to 11"},
    Entry{3213, "status selector %1"},
    Entry{3214, "remote: lamp changer off"},
    Entry{3215, "remote: lamp changer on"},
    Entry{3216, "remote: normal mode"},
    Entry{3217, "remote: day mode"},
    Entry{3218, "remote: night mode"},
    Entry{3219, "remote: mains failure off"},
    Entry{3220, "remote: mains failure on"},
    Entry{3221, "remote: motor 1"},
    Entry{3222, "remote: motor 2"},
    Entry{3223, "remote: function %1, state %2"},
    Entry{3224, "identification byte %1"},
    Entry{3225, "write segment table %1, offset %2 ← %3"},
    Entry{3226, "read segment table %1, offset %2"},
    Entry{3227, "command %1, parameters %2 and %3"},
    Entry{3228, "OK"},
    Entry{3229, "no reply, attempt %1 of %2"},
    Entry{3230, "discarded %1 stale bytes"},
    Entry{3231, "dropped %1 late bytes"},
    Entry{3232, "malformed reply refused, attempt %1 of %2"},
    Entry{3233, "malformed reply, taken as it is"},
    Entry{3234, "Line monitor"},
    Entry{3235, "Time"},
    Entry{3236, "Direction"},
    Entry{3237, "Bytes"},
    Entry{3238, "Meaning"},
    Entry{3239, "Attempt"},
    Entry{3240, "Transactions"},
    Entry{3241, "Retries"},
    Entry{3242, "Attempts without a reply"},
    Entry{3243, "Stale bytes discarded"},
    Entry{3244, "Late bytes dropped"},
    Entry{3245, "Malformed replies"},
    Entry{3246, "Pause"},
    Entry{3247, "Resume"},
    Entry{3248, "Clear"},
    Entry{3249, "Save as…"},
    Entry{3250, "Line trace"},
    Entry{3251, "The trace could not be saved:"},
    // Texts of the tool's own messages and statuses: the port pick, the device
    // operations, files, help and the Cancel button.
    Entry{
        3300,
        "The settings file %1 cannot be written (%2). Port %3 is used until the tool is closed, but it is not stored."},
    Entry{3301, "No answer from the unit"},
    Entry{3302,
          "No unit answered on Serial Port %1 (%2).\nCheck the cable, that the right port is chosen on the %3 page, "
          "and that the unit is powered."},
    Entry{3303, "Identification cancelled"},
    Entry{3304, "Reading cancelled: nothing was changed"},
    Entry{3305, "Writing cancelled: nothing was written"},
    Entry{3306, "Writing cancelled: the unit may hold part of the new values"},
    Entry{3307, "Nothing written"},
    Entry{3308, "File not opened"},
    Entry{3309, "File not saved"},
    Entry{3310, "The parameter file was not saved: %1."},
    Entry{3311, "Cancel"},
    Entry{3312, "Stop the running operation (Esc)"},
    Entry{3313, "The help could not be opened."},
    Entry{3314,
          "The automatic mode cannot run every \"%1\" seconds.\nGive a period from 0 to 65.535 seconds, with a point "
          "before the decimals."},
}};

// Spanish (Spain, modern sort), as the unit's own texts have it, accents and all.
constexpr std::array<Entry, kTextCount> kSpanish{{
    Entry{1002, "Abrir..."},
    Entry{1004, "Guardar"},
    Entry{1012, "Salir"},
    Entry{1021, "Ayuda"},
    Entry{1055, "ON noche"},
    Entry{1056, "24 horas ON"},
    Entry{1057, "Atenuación nocturna"},
    Entry{1058, "Modo funcionamiento"},
    Entry{1059, "Tiempo de reactivación tras hibernación"},
    Entry{1061, "Desactivado"},
    Entry{1100, "Fotocélula"},
    Entry{1102, "Destellos"},
    Entry{1103, "Comunicaciones"},
    Entry{1104, "Configuración"},
    Entry{1105, "Visualización"},
    Entry{1110, "Nivel luz baliza ON"},
    Entry{1111, "Nivel luz baliza OFF"},
    Entry{1112, "Retardo fotocélula"},
    Entry{1160, "Lenguaje:"},
    Entry{1161, "Com:"},
    Entry{1165, "Telemado"},
    Entry{1171, "Corriente actual leds"},
    Entry{1180, "Velocidad actual"},
    Entry{1201, "Modelo"},
    Entry{1203, "Versión firmware"},
    Entry{1204, "Hardware"},
    Entry{1205, "Numero ID"},
    Entry{1206, "Identificación"},
    Entry{1207, "Numero Fabricación"},
    Entry{1208, "Año Fabricación"},
    Entry{1209, "Semana fabricación"},
    Entry{1219, "RPM"},
    Entry{1220, "Lux"},
    Entry{1221, "s."},
    Entry{1401, "Nivel alarma lámpara"},
    Entry{1402, "Tipo de cambiador"},
    Entry{1403, "Tipo lámpara 1"},
    Entry{1404, "Tipo lámpara 2"},
    Entry{1405, "Lámpara principal"},
    Entry{1406, "Tiempo fotocélula interior"},
    Entry{1407, "Tiempo lámpara 2"},
    Entry{1408, "Tiempo fallo de red"},
    Entry{1409, "Tiempo lámpara 1"},
    Entry{1410, "Retardo alarma lámpara"},
    Entry{1411, "Tiempo retorno de red"},
    Entry{1412, "Baliza de Emergencia"},
    Entry{1420, "Velocidad usuario 1"},
    Entry{1421, "Velocidad usuario 2"},
    Entry{1422, "Velocidad usuario 3"},
    Entry{1423, "Velocidad usuario 4"},
    Entry{1424, "Relación reductor"},
    Entry{1425, "Pulsos por revolución"},
    Entry{1426, "Tiempo de Aceleración"},
    Entry{1427, "Tipo de Motor"},
    Entry{1428, "Paso a paso"},
    Entry{1429, "Motor doble RVQ"},
    Entry{1430, "Rotación"},
    Entry{1431, "Leer ZRK"},
    Entry{1432, "Escribir ZRK"},
    Entry{1434, "Giros fallidos"},
    Entry{1435, "Margen Error Motor RVQ"},
    Entry{1450, "ON"},
    Entry{1451, "OFF"},
    Entry{1452, "Motor ON"},
    Entry{1453, "Alarma motor"},
    Entry{1454, "Lampara 1 ON"},
    Entry{1455, "Lampara 2 ON"},
    Entry{1456, "Cambiador ON"},
    Entry{1457, "Fallo de red"},
    Entry{1458, "Prealarma Lámpara"},
    Entry{1459, "Alarma Lampara 1"},
    Entry{1460, "Fallo de foco"},
    Entry{1461, "Cambio de lampara"},
    Entry{1462, "Control dia/ noche"},
    Entry{1463, "Normal"},
    Entry{1464, "Noche"},
    Entry{1465, "Día"},
    Entry{1466, "Modo Automatico"},
    Entry{1467, "Interrogar"},
    Entry{1468, "Lampara ON"},
    Entry{1470, "Función 2º Puerto"},
    Entry{1471, "RS485"},
    Entry{1472, "MODBUS"},
    Entry{1473, "PWM Led"},
    Entry{1480, "Tipo sensor"},
    Entry{2000, "ayudaZRK.chm"},
    Entry{2001, "Esta versión de firmware solo se programa con el software ZRK V1.2.9"},
    Entry{2002, "Cambios pendientes de grabar"},
    Entry{2003, "Grupo de leds"},
    Entry{2004, "Sin motor"},
    Entry{2005, "Fallo de rotación OFF"},
    Entry{2006, "Solo rotación"},
    Entry{2007, "Doble LED"},
    Entry{2009, "Reloj astronómico"},
    Entry{2010, "Destelladora"},
    Entry{2011, "Fotocélula"},
    Entry{2012, "Fotodiodo"},
    Entry{2013, "Medición corriente"},
    Entry{2014, "Tipo sensor lámpara"},
    Entry{2015, "Alarm. corriente lámpara 1"},
    Entry{2016, "Alarm. corriente lámpara 2"},
    Entry{3000, "\"%1\" está fuera de rango: admite de %2 a %3"},
    Entry{3001, "Nada escrito: la unidad conectada tiene el número ID %1, no %2"},
    Entry{3002,
          "El formulario tiene los parámetros de la unidad con número ID %2, pero la unidad conectada tiene el número "
          "ID %1.\nNo se ha escrito nada. Lea primero esta unidad, o conecte la unidad que se leyó."},
    Entry{3003, "Nada escrito: la unidad no responde"},
    Entry{3004, "Verificando"},
    Entry{3005, "Terminado con errores: la unidad no guarda lo escrito"},
    Entry{3006, "Dirección %1: escrito %2, la unidad guarda %3"},
    Entry{3007, "Dirección %1: escrito %2, sin respuesta al releer"},
    Entry{3008, "Terminado con errores: sin respuesta al escribir la dirección %1"},
    Entry{3009, "Nada escrito: lea primero la unidad"},
    Entry{
        3010,
        "El formulario no tiene los parámetros de la unidad conectada: lea primero la unidad (%1) y después escriba."},
    Entry{3011, "%1 cambios"},
    Entry{3012, "1 cambio"},
    Entry{3013, "Equipo: %1"},
    Entry{3014, "Cargado: %1"},
    Entry{3015, "marcado"},
    Entry{3016, "sin marcar"},
    Entry{3017, "gris"},
    Entry{3018, "¿Escribir estos cambios en el equipo?"},
    Entry{3019, "Ningún campo difiere del equipo. ¿Escribir de todos modos?"},
    Entry{3020, "Los parámetros actuales del equipo se guardan antes en %1; abra y escriba ese fichero para deshacer."},
    Entry{3021, "Nada escrito: cancelado"},
    Entry{3022, "Equipo: %1; tras escribir: %2"},
    Entry{3023, "%1 (dirección %2) contiene %3, que no cabe en un byte (0 a 255)"},
    Entry{3024, "No se ha escrito nada: lea primero el equipo (%1) o abra un fichero de parámetros (%2)."},
    Entry{3025, "No se puede guardar el registro de escritura: %1"},
    Entry{3026,
          "¿Escribir sin registro? Los valores del equipo anteriores a esta escritura no quedarán guardados en ningún "
          "sitio y la escritura no se podrá deshacer."},
    Entry{3027,
          "No se ha escrito nada: una escritura necesita su registro. Libere espacio en esa carpeta o permita escribir "
          "en ella, o escriba sin registro (zrkctl: --no-record)."},
    Entry{3100, "Error de escritura en la tabla %1, %2 mitad, dato %3"},
    Entry{3101, "primera"},
    Entry{3102, "segunda"},
    // The line monitor and the meanings of frames.
    Entry{3200, "leer dirección %1"},
    Entry{3201, "escribir dirección %1 ← %2"},
    Entry{3202, "byte de estado A"},
    Entry{3203, "byte de estado B"},
    Entry{3204, "corriente, byte alto"},
    Entry{3205, "corriente, byte bajo"},
    Entry{3206, "velocidad, byte alto"},
    Entry{3207, "velocidad, byte bajo"},
    Entry{3208, "corriente LED, byte alto"},
    Entry{3209, "corriente LED, byte bajo"},
    Entry{3210, "entradas 1 a 8"},
    Entry{3211, "salidas 1 a 8"},
    Entry{3212, "salidas 9 a 11"},
    Entry{3213, "selector de estado %1"},
    Entry{3214, "telemando: cambiador OFF"},
    Entry{3215, "telemando: cambiador ON"},
    Entry{3216, "telemando: modo normal"},
    Entry{3217, "telemando: modo día"},
    Entry{3218, "telemando: modo noche"},
    Entry{3219, "telemando: fallo de red OFF"},
    Entry{3220, "telemando: fallo de red ON"},
    Entry{3221, "telemando: motor 1"},
    Entry{3222, "telemando: motor 2"},
    Entry{3223, "telemando: función %1, estado %2"},
    Entry{3224, "byte de identificación %1"},
    Entry{3225, "escribir tabla de segmentos %1, posición %2 ← %3"},
    Entry{3226, "leer tabla de segmentos %1, posición %2"},
    Entry{3227, "comando %1, parámetros %2 y %3"},
    Entry{3228, "OK"},
    Entry{3229, "sin respuesta, intento %1 de %2"},
    Entry{3230, "descartados %1 bytes antiguos"},
    Entry{3231, "desechados %1 bytes tardíos"},
    Entry{3232, "respuesta mal formada rechazada, intento %1 de %2"},
    Entry{3233, "respuesta mal formada, aceptada tal cual"},
    Entry{3234, "Monitor de línea"},
    Entry{3235, "Tiempo"},
    Entry{3236, "Sentido"},
    Entry{3237, "Bytes"},
    Entry{3238, "Significado"},
    Entry{3239, "Intento"},
    Entry{3240, "Transacciones"},
    Entry{3241, "Reintentos"},
    Entry{3242, "Intentos sin respuesta"},
    Entry{3243, "Bytes antiguos descartados"},
    Entry{3244, "Bytes tardíos desechados"},
    Entry{3245, "Respuestas mal formadas"},
    Entry{3246, "Pausa"},
    Entry{3247, "Continuar"},
    Entry{3248, "Borrar"},
    Entry{3249, "Guardar como…"},
    Entry{3250, "Traza de línea"},
    Entry{3251, "No se pudo guardar la traza:"},
    // Texts of the tool's own messages and statuses: the port pick, the device
    // operations, files, help and the Cancel button.
    Entry{3300,
          "No se puede escribir el archivo de configuración %1 (%2). El puerto %3 se usa hasta cerrar el programa, "
          "pero no queda guardado."},
    Entry{3301, "La unidad no responde"},
    Entry{3302,
          "Ninguna unidad ha respondido en el puerto serie %1 (%2).\nCompruebe el cable, que en la página %3 está "
          "elegido el puerto correcto y que la unidad tiene alimentación."},
    Entry{3303, "Identificación cancelada"},
    Entry{3304, "Lectura cancelada: no se ha cambiado nada"},
    Entry{3305, "Escritura cancelada: no se ha escrito nada"},
    Entry{3306, "Escritura cancelada: la unidad puede tener parte de los valores nuevos"},
    Entry{3307, "Nada escrito"},
    Entry{3308, "Archivo no abierto"},
    Entry{3309, "Archivo no guardado"},
    Entry{3310, "No se ha guardado el archivo de parámetros: %1."},
    Entry{3311, "Cancelar"},
    Entry{3312, "Detener la operación en curso (Esc)"},
    Entry{3313, "No se ha podido abrir la ayuda."},
    Entry{3314,
          "El modo automático no puede funcionar cada \"%1\" segundos.\nIndique un periodo de 0 a 65.535 segundos, con "
          "un punto antes de los decimales."},
}};

// French (France).
constexpr std::array<Entry, kTextCount> kFrench{{
    Entry{1002, "Ouvrir"},
    Entry{1004, "Enregistrer"},
    Entry{1012, "Quitter"},
    Entry{1021, "Aide"},
    Entry{1055, "Allumé la nuit"},
    Entry{1056, "Allumé 24 heures"},
    Entry{1057, "Atténuation nocturne"},
    Entry{1058, "Mode de fonctionnement"},
    Entry{1059, "Temps de reprise après hibernation"},
    Entry{1061, "Désactivé"},
    Entry{1100, "Capteur crépusculaire"},
    Entry{1102, "Éclats"},
    Entry{1103, "Communications"},
    Entry{1104, "Configuration"},
    Entry{1105, "Visualisation"},
    Entry{1110, "Niveau lumineux allumage feu"},
    Entry{1111, "Niveau lumineux extinction feu"},
    Entry{1112, "Retard capteur crépusculaire"},
    Entry{1160, "Langue"},
    Entry{1161, "Com:"},
    Entry{1165, "Télécommande"},
    Entry{1171, "Courant instantané LED"},
    Entry{1180, "Vitesse instantanée"},
    Entry{1201, "Modèle"},
    Entry{1203, "Version micrologiciel"},
    Entry{1204, "Matériel"},
    Entry{1205, "Numéro ID"},
    Entry{1206, "Identifiant"},
    Entry{1207, "Numéro de fabrication"},
    Entry{1208, "Année de fabrication"},
    Entry{1209, "Semaine de fabrication"},
    Entry{1219, "tr/min"},
    Entry{1220, "Lux"},
    Entry{1221, "s"},
    Entry{1401, "Seuil d'alarme lampe"},
    Entry{1402, "Type de changeur"},
    Entry{1403, "Type lampe 1"},
    Entry{1404, "Type lampe 2"},
    Entry{1405, "Lampe principale"},
    Entry{1406, "Délai cellule lampe"},
    Entry{1407, "Délai lampe 2"},
    Entry{1408, "Délai coupure secteur"},
    Entry{1409, "Délai lampe 1"},
    Entry{1410, "Délai défaut lampe"},
    Entry{1411, "Délai retour secteur"},
    Entry{1412, "Feu de secours"},
    Entry{1420, "Vitesse utilisateur 1"},
    Entry{1421, "Vitesse utilisateur 2"},
    Entry{1422, "Vitesse utilisateur 3"},
    Entry{1423, "Vitesse utilisateur 4"},
    Entry{1424, "Rapport de réduction"},
    Entry{1425, "Impulsions par tour"},
    Entry{1426, "Temps d'accélération"},
    Entry{1427, "Type de moteur"},
    Entry{1428, "Moteur pas à pas"},
    Entry{1429, "Moteur double RVQ"},
    Entry{1430, "Rotation"},
    Entry{1431, "Lire ZRK"},
    Entry{1432, "Écrire ZRK"},
    Entry{1434, "Tours manqués"},
    Entry{1435, "Tolérance de vitesse"},
    Entry{1450, "Marche"},
    Entry{1451, "Arrêt"},
    Entry{1452, "Moteur en marche"},
    Entry{1453, "Alarme moteur"},
    Entry{1454, "Lampe 1 allumée"},
    Entry{1455, "Lampe 2 allumée"},
    Entry{1456, "Changeur en marche"},
    Entry{1457, "Coupure secteur"},
    Entry{1458, "Alarme dernière lampe"},
    Entry{1459, "Alarme lampe"},
    Entry{1460, "Alarme totale lampes"},
    Entry{1461, "Changement de lampe"},
    Entry{1462, "Commande jour/nuit"},
    Entry{1463, "Normal"},
    Entry{1464, "Nuit"},
    Entry{1465, "Jour"},
    Entry{1466, "Mode automatique"},
    Entry{1467, "Actualiser"},
    Entry{1468, "Lampe allumée"},
    Entry{1470, "Fonction 2e port"},
    Entry{1471, "RS485"},
    Entry{1472, "MODBUS"},
    Entry{1473, "PWM LED"},
    Entry{1480, "Type de capteur"},
    Entry{2000, "AideZRK.chm"},
    Entry{2001, "Cette version du micrologiciel ne se programme qu'avec le logiciel ZRK v1.2.9"},
    Entry{2002, "Modifications à enregistrer"},
    Entry{2003, "Niveaux LED"},
    Entry{2004, "Sans moteur"},
    Entry{2005, "Défaut de rotation OFF"},
    Entry{2006, "Rotation seule"},
    Entry{2007, "Double LED"},
    Entry{2009, "Horloge astronomique"},
    Entry{2010, "Éclateur"},
    Entry{2011, "Cellule photoélectrique"},
    Entry{2012, "Photodiode"},
    Entry{2013, "Mesure du courant"},
    Entry{2014, "Type capteur lampe"},
    Entry{2015, "Alarme courant lampe 1"},
    Entry{2016, "Alarme courant lampe 2"},
    Entry{3000, "« %1 » est hors limites : valeurs de %2 à %3"},
    Entry{3001, "Rien écrit : l'unité en ligne a le numéro ID %1, pas %2"},
    Entry{3002,
          "Le formulaire contient les paramètres de l'unité de numéro ID %2, mais l'unité en ligne a le numéro ID "
          "%1.\nRien n'a été écrit. Lisez d'abord cette unité, ou branchez l'unité qui a été lue."},
    Entry{3003, "Rien écrit : l'unité ne répond pas"},
    Entry{3004, "Vérification"},
    Entry{3005, "Terminé avec erreurs : l'unité ne garde pas ce qui a été écrit"},
    Entry{3006, "Adresse %1 : écrit %2, l'unité garde %3"},
    Entry{3007, "Adresse %1 : écrit %2, pas de réponse à la relecture"},
    Entry{3008, "Terminé avec erreurs : pas de réponse à l'écriture de l'adresse %1"},
    Entry{3009, "Rien écrit : lisez d'abord l'unité"},
    Entry{
        3010,
        "Le formulaire ne contient pas les paramètres de l'unité en ligne : lisez d'abord l'unité (%1), puis écrivez."},
    Entry{3011, "%1 modifications"},
    Entry{3012, "1 modification"},
    Entry{3013, "Appareil : %1"},
    Entry{3014, "Chargé : %1"},
    Entry{3015, "coché"},
    Entry{3016, "non coché"},
    Entry{3017, "grisé"},
    Entry{3018, "Écrire ces modifications dans l'appareil ?"},
    Entry{3019, "Aucun champ ne diffère de l'appareil. Écrire quand même ?"},
    Entry{3020,
          "Les paramètres actuels de l'appareil sont d'abord enregistrés dans %1 ; ouvrez et écrivez ce fichier pour "
          "annuler."},
    Entry{3021, "Rien écrit : annulé"},
    Entry{3022, "Appareil : %1 ; après l'écriture : %2"},
    Entry{3023, "%1 (adresse %2) contient %3, qui ne tient pas dans un octet (0 à 255)"},
    Entry{3024, "Rien n'a été écrit : lisez d'abord l'appareil (%1) ou ouvrez un fichier de paramètres (%2)."},
    Entry{3025, "Le journal d'écriture ne peut pas être tenu : %1"},
    Entry{3026,
          "Écrire sans journal ? Les valeurs de l'appareil d'avant cette écriture ne seront alors gardées nulle part, "
          "et l'écriture ne pourra pas être annulée."},
    Entry{3027,
          "Rien n'a été écrit : une écriture a besoin de son journal. Libérez de la place dans ce dossier ou autorisez "
          "l'écriture dans celui-ci, ou écrivez sans journal (zrkctl : --no-record)."},
    Entry{3100, "Erreur d'écriture dans la table %1, %2 moitié, donnée %3"},
    Entry{3101, "première"},
    Entry{3102, "seconde"},
    // The line monitor and the meanings of frames.
    Entry{3200, "lecture adresse %1"},
    Entry{3201, "écriture adresse %1 ← %2"},
    Entry{3202, "octet d'état A"},
    Entry{3203, "octet d'état B"},
    Entry{3204, "courant, octet haut"},
    Entry{3205, "courant, octet bas"},
    Entry{3206, "vitesse, octet haut"},
    Entry{3207, "vitesse, octet bas"},
    Entry{3208, "courant LED, octet haut"},
    Entry{3209, "courant LED, octet bas"},
    Entry{3210, "entrées 1 à 8"},
    Entry{3211, "sorties 1 à 8"},
    Entry{3212, "sorties 9 à 11"},
    Entry{3213, "sélecteur d'état %1"},
    Entry{3214, "télécommande : changeur arrêté"},
    Entry{3215, "télécommande : changeur en marche"},
    Entry{3216, "télécommande : mode normal"},
    Entry{3217, "télécommande : mode jour"},
    Entry{3218, "télécommande : mode nuit"},
    Entry{3219, "télécommande : panne secteur OFF"},
    Entry{3220, "télécommande : panne secteur ON"},
    Entry{3221, "télécommande : moteur 1"},
    Entry{3222, "télécommande : moteur 2"},
    Entry{3223, "télécommande : fonction %1, état %2"},
    Entry{3224, "octet d'identification %1"},
    Entry{3225, "écriture table de segments %1, position %2 ← %3"},
    Entry{3226, "lecture table de segments %1, position %2"},
    Entry{3227, "commande %1, paramètres %2 et %3"},
    Entry{3228, "OK"},
    Entry{3229, "pas de réponse, tentative %1 sur %2"},
    Entry{3230, "%1 octets périmés écartés"},
    Entry{3231, "%1 octets tardifs jetés"},
    Entry{3232, "réponse mal formée refusée, tentative %1 sur %2"},
    Entry{3233, "réponse mal formée, prise telle quelle"},
    Entry{3234, "Moniteur de ligne"},
    Entry{3235, "Temps"},
    Entry{3236, "Sens"},
    Entry{3237, "Octets"},
    Entry{3238, "Signification"},
    Entry{3239, "Tentative"},
    Entry{3240, "Transactions"},
    Entry{3241, "Répétitions"},
    Entry{3242, "Tentatives sans réponse"},
    Entry{3243, "Octets périmés écartés"},
    Entry{3244, "Octets tardifs jetés"},
    Entry{3245, "Réponses mal formées"},
    Entry{3246, "Pause"},
    Entry{3247, "Reprendre"},
    Entry{3248, "Effacer"},
    Entry{3249, "Enregistrer sous…"},
    Entry{3250, "Trace de ligne"},
    Entry{3251, "La trace n'a pas pu être enregistrée :"},
    // Texts of the tool's own messages and statuses: the port pick, the device
    // operations, files, help and the Cancel button.
    Entry{3300,
          "Le fichier de configuration %1 ne peut pas être écrit (%2). Le port %3 est utilisé jusqu'à la fermeture de "
          "l'outil, mais il n'est pas enregistré."},
    Entry{3301, "L'unité ne répond pas"},
    Entry{3302,
          "Aucune unité n'a répondu sur le port série %1 (%2).\nVérifiez le câble, que le bon port est choisi dans la "
          "page %3 et que l'unité est alimentée."},
    Entry{3303, "Identification annulée"},
    Entry{3304, "Lecture annulée : rien n'a été modifié"},
    Entry{3305, "Écriture annulée : rien n'a été écrit"},
    Entry{3306, "Écriture annulée : l'unité peut contenir une partie des nouvelles valeurs"},
    Entry{3307, "Rien n'a été écrit"},
    Entry{3308, "Fichier non ouvert"},
    Entry{3309, "Fichier non enregistré"},
    Entry{3310, "Le fichier de paramètres n'a pas été enregistré : %1."},
    Entry{3311, "Annuler"},
    Entry{3312, "Arrêter l'opération en cours (Échap)"},
    Entry{3313, "L'aide n'a pas pu être ouverte."},
    Entry{3314,
          "Le mode automatique ne peut pas fonctionner toutes les \"%1\" secondes.\nIndiquez une période de 0 à 65.535 "
          "secondes, avec un point avant les décimales."},
}};
// The two sets that differ from another in a few texts only: the texts they
// have of their own, blanks and spellings as they are.
constexpr std::array kNeutralOwn{
    Entry{2005, "Fallo rotación OFF"},
    Entry{2007, "Double led"},
    Entry{2014, " Type sensor lamp"},
};
constexpr std::array kTraditionalOwn{
    Entry{1055, "ON Noche"},           Entry{1058, "Modo de funcionamiento"},  Entry{1165, "Telemando"},
    Entry{1205, "Número ID"},          Entry{1207, "Número Fabricación"},      Entry{1425, "Pulses per revolution"},
    Entry{1429, "Motor Doble RVQ"},    Entry{1435, "Tolerancia de velocidad"}, Entry{2000, "ayudajx.chm"},
    Entry{2005, "Fallo rotación OFF"},
};

template <std::size_t N>
const Entry* find(const std::array<Entry, N>& set, int id) {
    auto it = std::find_if(set.begin(), set.end(), [id](const Entry& e) { return e.id == id; });
    return it == set.end() ? nullptr : &*it;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

Language languageFromLocaleName(std::string_view localeName) {
    const std::string name = lowerCase(localeName);
    // The language is the name's first part: "es" of "es_ES.UTF-8@traditional".
    const std::string language = name.substr(0, name.find_first_of("-_.@"));
    if (language == "en") return Language::English;
    if (language == "fr") return Language::French;
    if (language == "es") {
        const bool traditional = name.find("_tradnl") != std::string::npos ||
                                 name.find("-tradnl") != std::string::npos ||
                                 name.find("@traditional") != std::string::npos ||
                                 (name.find("-u-") != std::string::npos && name.find("-co-trad") != std::string::npos);
        return traditional ? Language::SpanishTraditional : Language::SpanishModern;
    }
    return Language::Neutral;
}

std::string_view languageTag(Language language) {
    switch (language) {
        case Language::English:
            return "en-US";
        case Language::SpanishTraditional:
            return "es-ES_tradnl";
        case Language::SpanishModern:
            return "es-ES";
        case Language::French:
            return "fr-FR";
        case Language::Neutral:
            break;
    }
    return "neutral";
}

TextTable::TextTable(Language language) : language_(language) {}

std::string TextTable::CargarTexto(int id) const {
    const Entry* entry = nullptr;
    switch (language_) {
        case Language::Neutral:
            entry = find(kNeutralOwn, id);
            if (entry == nullptr) entry = find(kEnglish, id);
            break;
        case Language::English:
            entry = find(kEnglish, id);
            break;
        case Language::SpanishTraditional:
            entry = find(kTraditionalOwn, id);
            if (entry == nullptr) entry = find(kSpanish, id);
            break;
        case Language::SpanishModern:
            entry = find(kSpanish, id);
            break;
        case Language::French:
            entry = find(kFrench, id);
            break;
    }
    if (entry == nullptr) return "<" + std::to_string(id) + ">";
    return std::string(entry->text);
}

std::string fill(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool placeholder = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
        const std::size_t n = placeholder ? static_cast<std::size_t>(text[i + 1] - '1') : 0;
        if (placeholder && n < args.size()) {
            out += *(args.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<int> TextTable::ids() {
    std::vector<int> out;
    for (const Entry& e : kEnglish) out.push_back(e.id);
    return out;
}

}  // namespace zrk::texts
