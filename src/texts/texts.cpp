#include "texts/texts.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

#include "texts/text_ids.h"

namespace zrk::texts {
namespace {

// One row per text: the English (United States), Spanish (Spain, modern sort)
// and French texts, and where the neutral set or the traditional Spanish sort
// has a text of its own, that text. Texts of the unit's own (ids below 3000)
// keep its wording, blanks, accents and spellings. Rows are sorted by id.
struct Row {
    int id;
    std::string_view english;
    std::string_view spanish;
    std::string_view french;
    std::string_view neutral = {};      // empty: the English text
    std::string_view traditional = {};  // empty: the modern Spanish text
};

constexpr Row kRows[] = {
    // The unit's own texts: captions, list items and the help file's name.
    {id::kOpen, "Open", "Abrir...", "Ouvrir"},
    {id::kSave, "Save", "Guardar", "Enregistrer"},
    {id::kExit, "Exit", "Salir", "Quitter"},
    {id::kHelp, "Help", "Ayuda", "Aide"},
    {id::kNightOn, "Night ON", "ON noche", "Allumé la nuit", {}, "ON Noche"},
    {id::kTwentyFourHoursOn, "24 hours ON", "24 horas ON", "Allumé 24 heures"},
    {id::kNightAttenuation, "Night attenuation", "Atenuación nocturna", "Atténuation nocturne"},
    {id::kFunctionMode, "Function mode", "Modo funcionamiento", "Mode de fonctionnement", {}, "Modo de funcionamiento"},
    {id::kRecoveryTimeAfterHibernation, "Recovery time after hibernation", "Tiempo de reactivación tras hibernación",
     "Temps de reprise après hibernation"},
    {id::kDisable, "Disable", "Desactivado", "Désactivé"},
    {id::kDaylightSensor, "Daylight sensor", "Fotocélula", "Capteur crépusculaire"},
    {id::kFlashes, "Flashes", "Destellos", "Éclats"},
    {id::kCommunications, "Communications", "Comunicaciones", "Communications"},
    {id::kSetup, "Setup", "Configuración", "Configuration"},
    {id::kVisualization, "Visualization", "Visualización", "Visualisation"},
    {id::kLightLevelBeaconOn, "Light level Beacon ON", "Nivel luz baliza ON", "Niveau lumineux allumage feu"},
    {id::kLightLevelBeaconOff, "Light level Beacon OFF", "Nivel luz baliza OFF", "Niveau lumineux extinction feu"},
    {id::kDaylightSensorDelay, "Daylight sensor delay", "Retardo fotocélula", "Retard capteur crépusculaire"},
    {id::kLanguage, "Language", "Lenguaje:", "Langue"},
    {id::kCom, "Com:", "Com:", "Com:"},
    {id::kRemoteControl, "Remote control", "Telemado", "Télécommande", {}, "Telemando"},
    {id::kLedInstantCurrent, "LED instant current ", "Corriente actual leds", "Courant instantané LED"},
    {id::kInstantSpeed, "Instant speed", "Velocidad actual", "Vitesse instantanée"},
    {id::kModel, "Model", "Modelo", "Modèle"},
    {id::kFirmwareVersion, "Firmware Version", "Versión firmware", "Version micrologiciel"},
    {id::kHardware, "Hardware", "Hardware", "Matériel"},
    {id::kIdNumber, "ID Number", "Numero ID", "Numéro ID", {}, "Número ID"},
    {id::kIdentifier, "Identifier", "Identificación", "Identifiant"},
    {id::kManufacturerNumber,
     "Manufacturer number",
     "Numero Fabricación",
     "Numéro de fabrication",
     {},
     "Número Fabricación"},
    {id::kYearMade, "Year made", "Año Fabricación", "Année de fabrication"},
    {id::kWeekMade, "Week made", "Semana fabricación", "Semaine de fabrication"},
    {id::kRpm, "RPM", "RPM", "tr/min"},
    {id::kLux, "Lux", "Lux", "Lux"},
    {id::kSeconds, "s.", "s.", "s"},
    {id::kLampAlarmLevel, "Lamp alarm level", "Nivel alarma lámpara", "Seuil d'alarme lampe"},
    {id::kLamchangerType, "Lamchanger type", "Tipo de cambiador", "Type de changeur"},
    {id::kLamp1Type, "Lamp 1 type", "Tipo lámpara 1", "Type lampe 1"},
    {id::kLamp2Type, "Lamp  2 type", "Tipo lámpara 2", "Type lampe 2"},
    {id::kMainLamp, "Main Lamp", "Lámpara principal", "Lampe principale"},
    {id::kDelayLampPhotocell, "Delay lamp photocell", "Tiempo fotocélula interior", "Délai cellule lampe"},
    {id::kDelayLamp2, "Delay Lamp 2", "Tiempo lámpara 2", "Délai lampe 2"},
    {id::kDelayMainsFailure, "Delay AC Mains failure", "Tiempo fallo de red", "Délai coupure secteur"},
    {id::kDelayLamp1, "Delay Lamp 1", "Tiempo lámpara 1", "Délai lampe 1"},
    {id::kDelayLampFailure, "Delay lamp failure", "Retardo alarma lámpara", "Délai défaut lampe"},
    {id::kDelayMainsRestart, "Delay AC Mains restart", "Tiempo retorno de red", "Délai retour secteur"},
    {id::kEmergencyLantern, "Emergency lantern", "Baliza de Emergencia", "Feu de secours"},
    {id::kUserSpeed1, "User Speed 1", "Velocidad usuario 1", "Vitesse utilisateur 1"},
    {id::kUserSpeed2, "User Speed 2", "Velocidad usuario 2", "Vitesse utilisateur 2"},
    {id::kUserSpeed3, "User Speed 3", "Velocidad usuario 3", "Vitesse utilisateur 3"},
    {id::kUserSpeed4, "User Speed 4", "Velocidad usuario 4", "Vitesse utilisateur 4"},
    {id::kReducerRatio, "Reducer Ratio", "Relación reductor", "Rapport de réduction"},
    {id::kPulsesPerRevolution,
     "Pulses per revolution",
     "Pulsos por revolución",
     "Impulsions par tour",
     {},
     "Pulses per revolution"},
    {id::kAccelerationTime, "Acceleration Time", "Tiempo de Aceleración", "Temps d'accélération"},
    {id::kMotorType, "Motor Type", "Tipo de Motor", "Type de moteur"},
    {id::kStepperMotor, "Stepper Motor", "Paso a paso", "Moteur pas à pas"},
    {id::kDualMotorRvq, "Dual Motor RVQ", "Motor doble RVQ", "Moteur double RVQ", {}, "Motor Doble RVQ"},
    {id::kRotation, "Rotation", "Rotación", "Rotation"},
    {id::kReadZrk, "Read ZRK", "Leer ZRK", "Lire ZRK"},
    {id::kWriteZrk, "Write ZRK", "Escribir ZRK", "Écrire ZRK"},
    {id::kFailedTurns, "Failed turns", "Giros fallidos", "Tours manqués"},
    {id::kSpeedTolerance,
     "Speed tolerance",
     "Margen Error Motor RVQ",
     "Tolérance de vitesse",
     {},
     "Tolerancia de velocidad"},
    {id::kOn, "ON", "ON", "Marche"},
    {id::kOff, "OFF", "OFF", "Arrêt"},
    {id::kMotorOn, "Motor ON", "Motor ON", "Moteur en marche"},
    {id::kMotorAlarm, "Motor alarm", "Alarma motor", "Alarme moteur"},
    {id::kLamp1On, "Lamp 1 ON", "Lampara 1 ON", "Lampe 1 allumée"},
    {id::kLamp2On, "Lamp 2 ON", "Lampara 2 ON", "Lampe 2 allumée"},
    {id::kChangeurOn, "Changeur ON", "Cambiador ON", "Changeur en marche"},
    {id::kMainsFailure, "AC Mains failure", "Fallo de red", "Coupure secteur"},
    {id::kLastLampAlarm, "Last lamp Alarm", "Prealarma Lámpara", "Alarme dernière lampe"},
    {id::kLampAlarm, "Lamp Alarm", "Alarma Lampara 1", "Alarme lampe"},
    {id::kTotalLampAlarm, "Total Lamp Alarm", "Fallo de foco", "Alarme totale lampes"},
    {id::kLampChange, "Lamp Change", "Cambio de lampara", "Changement de lampe"},
    {id::kDayNightControl, "Day Night control", "Control dia/ noche", "Commande jour/nuit"},
    {id::kNormal, "Normal", "Normal", "Normal"},
    {id::kNight, "Night", "Noche", "Nuit"},
    {id::kDay, "Day", "Día", "Jour"},
    {id::kAutomaticMode, "Automatic Mode", "Modo Automatico", "Mode automatique"},
    {id::kRefresh, "Refresh", "Interrogar", "Actualiser"},
    {id::kLampOn, "Lamp ON", "Lampara ON", "Lampe allumée"},
    {id::kSecondPortFunction, "2º Port function", "Función 2º Puerto", "Fonction 2e port"},
    {id::kRs485, "RS485", "RS485", "RS485"},
    {id::kModbus, "MODBUS", "MODBUS", "MODBUS"},
    {id::kPwmLed, "PWM Led", "PWM Led", "PWM LED"},
    {id::kSensorType, "sensor type", "Tipo sensor", "Type de capteur"},
    {id::kHelpFile, "helpZRK.chm", "ayudaZRK.chm", "AideZRK.chm", {}, "ayudajx.chm"},
    {id::kFirmwareNeedsOtherProgram, "This version of firmware is only ZRK software program v1.2.9",
     "Esta versión de firmware solo se programa con el software ZRK V1.2.9",
     "Cette version du micrologiciel ne se programme qu'avec le logiciel ZRK v1.2.9"},
    {id::kChangesPendingRecord, "Changes pending record", "Cambios pendientes de grabar",
     "Modifications à enregistrer"},
    {id::kLedLevels, "LEDs levels", "Grupo de leds", "Niveaux LED"},
    {id::kWithoutMotor, "Without motor", "Sin motor", "Sans moteur"},
    {id::kRotationErrorOff, "Rotation error OFF", "Fallo de rotación OFF", "Défaut de rotation OFF",
     "Fallo rotación OFF", "Fallo rotación OFF"},
    {id::kOnlyRotation, "Only rotation", "Solo rotación", "Rotation seule"},
    {id::kDoubleLed, "Double LED", "Doble LED", "Double LED", "Double led", {}},
    {id::kAstronomicalClock, "Astronomical clock", "Reloj astronómico", "Horloge astronomique"},
    {id::kFlashing, "Flashing", "Destelladora", "Éclateur"},
    {id::kPhotocell, "Photocell", "Fotocélula", "Cellule photoélectrique"},
    {id::kPhotodiode, "Photodiode", "Fotodiodo", "Photodiode"},
    {id::kCurrentMeasurement, "Current measurement", "Medición corriente", "Mesure du courant"},
    {id::kTypeSensorLamp, "Type sensor lamp", "Tipo sensor lámpara", "Type capteur lampe", " Type sensor lamp", {}},
    {id::kLamp1CurrentAlarm, "Lamp 1 current alarm", "Alarm. corriente lámpara 1", "Alarme courant lampe 1"},
    {id::kLamp2CurrentAlarm, "Lamp 2 current alarm", "Alarm. corriente lámpara 2", "Alarme courant lampe 2"},
    // What a write checks, marks and records.
    {id::kOutOfRange, "\"%1\" is out of range: it takes %2 to %3", "\"%1\" está fuera de rango: admite de %2 a %3",
     "« %1 » est hors limites : valeurs de %2 à %3"},
    {id::kNothingWrittenOtherUnit, "Nothing written: the unit on the line has identifier number %1, not %2",
     "No se escribió nada: el equipo conectado tiene el número ID %1, no %2",
     "Rien n'a été écrit : l'appareil en ligne a le numéro ID %1, pas %2"},
    {id::kFormHoldsOtherUnit,
     "The form holds the parameters of the unit with identifier number %2, but the unit on the line has "
     "identifier number %1.\nNothing was written. Read this unit first, or connect the unit that was read.",
     "El formulario tiene los parámetros del equipo con número ID %2, pero el equipo conectado tiene el número "
     "ID %1.\nNo se ha escrito nada. Lea primero este equipo, o conecte el equipo que se leyó.",
     "Le formulaire contient les paramètres de l'appareil de numéro ID %2, mais l'appareil en ligne a le numéro ID "
     "%1.\nRien n'a été écrit. Lisez d'abord cet appareil, ou branchez l'appareil qui a été lu."},
    {id::kNothingWrittenNoAnswer, "Nothing written: the unit did not answer",
     "No se escribió nada: el equipo no responde", "Rien n'a été écrit : l'appareil ne répond pas"},
    {id::kVerifying, "Verifying", "Verificando", "Vérification"},
    {id::kEndedUnitDoesNotHold, "Ended with errors: the unit does not hold what was written",
     "Terminado con errores: el equipo no guarda lo escrito",
     "Terminé avec erreurs : l'appareil ne garde pas ce qui a été écrit"},
    {id::kAddressHoldsOther, "Address %1: written %2, the unit holds %3",
     "Dirección %1: escrito %2, el equipo guarda %3", "Adresse %1 : écrit %2, l'appareil garde %3"},
    {id::kAddressNoAnswerReadBack, "Address %1: written %2, no answer when read back",
     "Dirección %1: escrito %2, sin respuesta al releer", "Adresse %1 : écrit %2, pas de réponse à la relecture"},
    {id::kEndedNoAnswerWriting, "Ended with errors: no answer when writing address %1",
     "Terminado con errores: sin respuesta al escribir la dirección %1",
     "Terminé avec erreurs : pas de réponse à l'écriture de l'adresse %1"},
    {id::kNothingWrittenReadFirst, "Nothing written: read the unit first", "No se escribió nada: lea primero el equipo",
     "Rien n'a été écrit : lisez d'abord l'appareil"},
    {id::kChanges, "%1 changes", "%1 cambios", "%1 modifications"},
    {id::kOneChange, "1 change", "1 cambio", "1 modification"},
    {id::kUnitValue, "Unit: %1", "Equipo: %1", "Appareil : %1"},
    {id::kLoadedValue, "Loaded: %1", "Cargado: %1", "Chargé : %1"},
    {id::kChecked, "checked", "marcado", "coché"},
    {id::kUnchecked, "unchecked", "sin marcar", "non coché"},
    {id::kGreyed, "greyed", "gris", "grisé"},
    {id::kWriteTheseChanges, "Write these changes to the unit?", "¿Escribir estos cambios en el equipo?",
     "Écrire ces modifications dans l'appareil ?"},
    {id::kNoFieldDiffers, "No field differs from the unit. Write all the same?",
     "Ningún campo difiere del equipo. ¿Escribir de todos modos?",
     "Aucun champ ne diffère de l'appareil. Écrire quand même ?"},
    {id::kCopySavedFirst,
     "The unit's parameters as they are now are saved first in %1; Undo last write puts back exactly the bytes "
     "this write changes.",
     "Los parámetros actuales del equipo se guardan antes en %1; Deshacer última escritura repone exactamente los "
     "bytes que cambie esta escritura.",
     "Les paramètres actuels de l'appareil sont d'abord enregistrés dans %1 ; Annuler l'écriture remet exactement "
     "les octets que cette écriture change."},
    {id::kNothingWrittenCancelled, "Nothing written: cancelled", "No se escribió nada: cancelado",
     "Rien n'a été écrit : annulé"},
    {id::kUnitAndAfterWrite, "Unit: %1; after the write: %2", "Equipo: %1; tras escribir: %2",
     "Appareil : %1 ; après l'écriture : %2"},
    {id::kUnitValueNotByte, "%1 (address %2) holds %3, which does not fit in a byte (0 to 255)",
     "%1 (dirección %2) contiene %3, que no cabe en un byte (0 a 255)",
     "%1 (adresse %2) contient %3, qui ne tient pas dans un octet (0 à 255)"},
    {id::kNothingWrittenNoSource, "Nothing was written: read the unit (%1) or open a parameter file (%2) first.",
     "No se ha escrito nada: lea primero el equipo (%1) o abra un archivo de parámetros (%2).",
     "Rien n'a été écrit : lisez d'abord l'appareil (%1) ou ouvrez un fichier de paramètres (%2)."},
    {id::kRecordCannotBeKept, "The write record cannot be kept: %1",
     "No se puede guardar el registro de escrituras: %1", "Le journal des écritures ne peut pas être tenu : %1"},
    {id::kWriteWithoutRecord,
     "Write without a record? The unit's values from before this write are then kept nowhere, and the write "
     "cannot be undone.",
     "¿Escribir sin registro? Los valores del equipo anteriores a esta escritura no quedarán guardados en ningún "
     "sitio y la escritura no se podrá deshacer.",
     "Écrire sans journal ? Les valeurs de l'appareil d'avant cette écriture ne seront alors gardées nulle part, "
     "et l'écriture ne pourra pas être annulée."},
    {id::kNothingWrittenNeedsRecord,
     "Nothing was written: a write needs its record. Make room in that folder or allow writing to it, or write "
     "without a record (zrkctl: --no-record).",
     "No se ha escrito nada: una escritura necesita su registro. Libere espacio en esa carpeta o permita escribir "
     "en ella, o escriba sin registro (zrkctl: --no-record).",
     "Rien n'a été écrit : une écriture a besoin de son journal. Libérez de la place dans ce dossier ou autorisez "
     "l'écriture dans celui-ci, ou écrivez sans journal (zrkctl : --no-record)."},
    {id::kWriteStoppedLineDead, "Write stopped at address %1: the line went dead, nothing more was sent",
     "Escritura detenida en la dirección %1: la línea dejó de responder y no se envió nada más",
     "Écriture arrêtée à l'adresse %1 : la ligne ne répond plus, rien d'autre n'a été envoyé"},
    {id::kWrittenVerified, "Written and verified: %1", "Escrito y verificado: %1", "Écrit et vérifié : %1"},
    {id::kWrittenNotVerified, "Written, not verified: %1", "Escrito, sin verificar: %1", "Écrit, non vérifié : %1"},
    {id::kUnknownSentNoAnswer, "Unknown, sent without an answer (the unit may hold it): %1",
     "Desconocido, enviado sin respuesta (el equipo puede tenerlo): %1",
     "Inconnu, envoyé sans réponse (l'appareil peut l'avoir pris) : %1"},
    {id::kWriteFailed, "Failed: %1", "Fallido: %1", "Échoué : %1"},
    {id::kNotSent, "Not sent: %1", "No enviado: %1", "Non envoyé : %1"},
    {id::kReadAgainOnceLineAnswers,
     "Read the unit again once the line answers: the write record holds what became of each change.",
     "Vuelva a leer el equipo cuando la línea responda: el registro de escrituras guarda en qué quedó cada cambio.",
     "Relisez l'appareil quand la ligne répond de nouveau : le journal des écritures indique ce qu'est devenu "
     "chaque changement."},
    {id::kAllFiles, "All files", "Todos los archivos", "Tous les fichiers"},
    {id::kExitLoseChanges, "Exit and lose %1 changes?", "¿Salir y perder %1 cambios?",
     "Quitter et perdre %1 modifications ?"},
    {id::kFieldsAndRowsNotWritten,
     "Fields not written to the unit: %1. Rows of the flash-pattern table not written: %2.",
     "Campos no escritos en el equipo: %1. Filas de la tabla de destellos no escritas: %2.",
     "Champs non écrits dans l'appareil : %1. Lignes de la table des éclats non écrites : %2."},
    {id::kExitLoseOneChange, "Exit and lose 1 change?", "¿Salir y perder 1 cambio?",
     "Quitter et perdre 1 modification ?"},
    // The flash-pattern grid: refused entries and the tooltips of its marks.
    {id::kRefusedRange, "Angle %1 refused in row %2, column %3: angles run from 0 to 359",
     "Ángulo %1 rechazado en la fila %2, columna %3: los ángulos van de 0 a 359",
     "Angle %1 refusé en ligne %2, colonne %3 : les angles vont de 0 à 359"},
    {id::kRefusedGap,
     "Angle %1 refused in row %2, column %3: a row fills from the left, and the cell before it is empty",
     "Ángulo %1 rechazado en la fila %2, columna %3: una fila se rellena desde la izquierda y la celda anterior "
     "está vacía",
     "Angle %1 refusé en ligne %2, colonne %3 : une ligne se remplit par la gauche, et la cellule précédente "
     "est vide"},
    {id::kOverlap, "Overlaps row %1, sector %2 (%3), which has another colour, over %4",
     "Se solapa con la fila %1, sector %2 (%3), que tiene otro color, en %4",
     "Chevauche la ligne %1, secteur %2 (%3), d'une autre couleur, sur %4"},
    {id::kThroughZero, "Start after end: the sector runs through 0", "Inicio después del final: el sector pasa por 0",
     "Début après la fin : le secteur passe par 0"},
    {id::kAfterGap, "A cell before this one in the row is empty; this angle is still sent and saved",
     "Una celda anterior de esta fila está vacía; este ángulo se envía y se guarda igualmente",
     "Une cellule précédente de cette ligne est vide ; cet angle est tout de même envoyé et enregistré"},
    // A parameter file shown without a unit.
    {id::kFileNoUnit, "%1 - %2 (file, no unit)", "%1 - %2 (archivo, sin equipo)", "%1 - %2 (fichier, sans appareil)"},
    {id::kFileFieldsReadOnly, "The file's fields are read-only until a unit is read (%1)",
     "Los campos del archivo son de solo lectura hasta que se lea un equipo (%1)",
     "Les champs du fichier sont en lecture seule jusqu'à la lecture d'un appareil (%1)"},
    // A refusal that sent nothing; endings of table transfers; a read refused.
    {id::kNothingSentToUnit, "Nothing was sent to the unit", "No se envió nada al equipo",
     "Rien n'a été envoyé à l'appareil"},
    {id::kEndedHalvesFailed, "Ended, halves failed  %1", "Terminado, mitades fallidas: %1",
     "Terminé, moitiés en échec : %1"},
    {id::kReadCancelled, "Reading cancelled, the table is unchanged", "Lectura cancelada: la tabla no ha cambiado",
     "Lecture annulée : la table n'a pas changé"},
    {id::kWriteCancelled, "Writing cancelled, the unit holds part of the table",
     "Escritura cancelada: el equipo guarda parte de la tabla",
     "Écriture annulée : l'appareil contient une partie de la table"},
    {id::kUnitValueFormCannotShow, "The unit reports %1 for %2 (address %3), which the form cannot show.",
     "El equipo indica %1 en %2 (dirección %3), que el formulario no puede mostrar.",
     "L'appareil indique %1 pour %2 (adresse %3), que le formulaire ne peut pas afficher."},
    // File errors: a parameter file that does not open, a save, the write record.
    {id::kCannotOpenParameterFile, "Cannot open the parameter file %1.\n%2.\nNothing was changed.",
     "No se puede abrir el archivo de parámetros %1.\n%2.\nNo se cambió nada.",
     "Impossible d'ouvrir le fichier de paramètres %1.\n%2.\nRien n'a été modifié."},
    {id::kFileLine, "Line %1: %2", "Línea %1: %2", "Ligne %1 : %2"},
    {id::kDoesNotExist, "it does not exist", "no existe", "il n'existe pas"},
    {id::kFolderNotFile, "it is a folder, not a file", "es una carpeta, no un archivo",
     "c'est un dossier, pas un fichier"},
    {id::kNotRegularFile, "it is not a regular file (a pipe, a device or a socket)",
     "no es un archivo normal (una tubería, un dispositivo o un socket)",
     "ce n'est pas un fichier ordinaire (un tube, un périphérique ou un socket)"},
    {id::kCouldNotSave, "Could not save %1: %2. The file was left as it was.",
     "No se pudo guardar %1: %2. El archivo quedó como estaba.",
     "Impossible d'enregistrer %1 : %2. Le fichier est resté tel quel."},
    {id::kCannotWriteLog, "Cannot write the write log %1: %2", "No se puede escribir el registro de escrituras %1: %2",
     "Impossible d'écrire le journal des écritures %1 : %2"},
    {id::kCannotCreateFolder, "Cannot create the folder %1: %2", "No se puede crear la carpeta %1: %2",
     "Impossible de créer le dossier %1 : %2"},
    // A number the strict reading refuses.
    {id::kNotNumber, "\"%1\" is not a number (%2)", "\"%1\" no es un número (%2)", "« %1 » n'est pas un nombre (%2)"},
    {id::kEmpty, "empty", "vacío", "vide"},
    {id::kNoDigits, "no digits", "sin cifras", "aucun chiffre"},
    {id::kUnexpectedCharacters, "unexpected characters", "caracteres inesperados", "caractères inattendus"},
    {id::kTooLarge, "\"%1\" is too large", "\"%1\" es demasiado grande", "« %1 » est trop grand"},
    // zrkctl's own refusals and messages.
    {id::kUnitDoesNotUseField, "%1: this unit does not use %2 (%3); nothing was written",
     "%1: este equipo no usa %2 (%3); no se escribió nada",
     "%1 : cet appareil n'utilise pas %2 (%3) ; rien n'a été écrit"},
    {id::kRefusedNothingWritten, "%1: %2; nothing was written", "%1: %2; no se escribió nada",
     "%1 : %2 ; rien n'a été écrit"},
    {id::kCommandNoAnswer, "command %1: no answer from the unit (%2)", "command %1: el equipo no responde (%2)",
     "command %1 : l'appareil ne répond pas (%2)"},
    {id::kSavedBeforeWriting, "Saved before writing: %1", "Copia guardada antes de escribir: %1",
     "Copie enregistrée avant l'écriture : %1"},
    {id::kChangerTypeUnreadable,
     "the unit's changer type (address %1) could not be read (%2); give --changer N to read the lamps for entry N",
     "no se pudo leer el tipo de cambiador del equipo (dirección %1) (%2); indique --changer N para leer las "
     "lámparas de la entrada N",
     "le type de changeur de l'appareil (adresse %1) n'a pas pu être lu (%2) ; indiquez --changer N pour lire les "
     "lampes de l'entrée N"},
    {id::kInterrogationPartlyUnanswered,
     "no answer from the unit for part of the interrogation (%1); what was not answered is not shown",
     "el equipo no ha respondido a parte de la consulta (%1); lo que no respondió no se muestra",
     "l'appareil n'a pas répondu à une partie de l'interrogation (%1) ; ce qui est resté sans réponse n'est pas "
     "affiché"},
    {id::kNoUnitOnPortOption,
     "No unit answered on Serial Port %1 (%2).\nCheck the cable, that --port or --com names the right port, and "
     "that the unit is powered.",
     "Ningún equipo ha respondido en el puerto serie %1 (%2).\nCompruebe el cable, que --port o --com indica el "
     "puerto correcto y que el equipo tiene alimentación.",
     "Aucun appareil n'a répondu sur le port série %1 (%2).\nVérifiez le câble, que --port ou --com désigne le "
     "bon port et que l'appareil est alimenté."},
    {id::kSimulatedUnitCaption, "- simulated unit", "- equipo simulado", "- appareil simulé"},
    {id::kSimulatedUnitPort, "simulated ZRK (port %1)", "ZRK simulado (puerto %1)", "ZRK simulé (port %1)"},
    {id::kTakesWholeNumber, "%1 (%2) takes a whole number from %3 to %4, not \"%5\"",
     "%1 (%2) admite un número entero de %3 a %4, no \"%5\"", "%1 (%2) prend un nombre entier de %3 à %4, pas « %5 »"},
    {id::kRowColourOf, "the colour of row %1", "el color de la fila %1", "la couleur de la ligne %1"},
    {id::kPatternRowOf, "row %1 of \"pattern\"", "la fila %1 de \"pattern\"", "la ligne %1 de \"pattern\""},
    {id::kEntryOf, "entry %1 of %2", "el valor %1 de %2", "la valeur %1 de %2"},
    {id::kEightRowColours, "8 row colours", "8 colores de fila", "8 couleurs de ligne"},
    {id::kEightRows, "8 rows", "8 filas", "8 lignes"},
    {id::kThirtyTwoEntries, "32 entries", "32 valores", "32 valeurs"},
    {id::kCannotWriteTrace, "cannot write the trace file %1", "no se puede escribir el archivo de traza %1",
     "impossible d'écrire le fichier de trace %1"},
    {id::kFailedWithoutStatus, "failed without a status (exit %1)", "falló sin estado (salida %1)",
     "échec sans état (sortie %1)"},
    // Table transfers: failed halves, read-back, a dead line.
    {id::kWritingErrorInTable, "Writing Error in table %1, %2 half, data %3",
     "Error de escritura en la tabla %1, %2 mitad, dato %3",
     "Erreur d'écriture dans la table %1, %2 moitié, donnée %3"},
    {id::kFirstHalf, "first", "primera", "première"},
    {id::kSecondHalf, "second", "segunda", "seconde"},
    {id::kHalfOfTable, "%1 \u2014 table %2, %3 half", "%1 \u2014 tabla %2, %3 mitad", "%1 \u2014 table %2, %3 moitié"},
    {id::kTableHalf, "table %1, %2 half", "tabla %1, %2 mitad", "table %1, %2 moitié"},
    {id::kAtOffset, "%1, offset %2", "%1, dato %2", "%1, donnée %2"},
    {id::kAtOffsets, "%1, offsets %2 to %3", "%1, datos %2 a %3", "%1, données %2 à %3"},
    {id::kStoppedAtOffset, "%1: stopped at offset %2, %3", "%1: detenida en el dato %2, %3",
     "%1 : arrêtée à la donnée %2, %3"},
    {id::kNoAnswer, "no answer", "sin respuesta", "pas de réponse"},
    {id::kLineWentDead, "the line went dead", "la línea se quedó muda", "la ligne est restée muette"},
    {id::kCellWrittenUnitHolds, "%1: written %2, the unit holds %3", "%1: escrito %2, el equipo guarda %3",
     "%1 : écrit %2, l'appareil garde %3"},
    {id::kCellNoAnswerReadBack, "%1: written %2, no answer when read back", "%1: escrito %2, sin respuesta al releer",
     "%1 : écrit %2, pas de réponse à la relecture"},
    {id::kTableWriteLineDead, "Writing stopped, the line went dead at %1",
     "Escritura detenida, la línea se quedó muda en %1", "Écriture arrêtée, la ligne est restée muette à partir de %1"},
    {id::kTableWritten, "Written: %1", "Escrito: %1", "Écrit : %1"},
    {id::kLastAcknowledged, "Last acknowledged: %1", "Último confirmado: %1", "Dernier confirmé : %1"},
    {id::kTableUnknownNoAnswer, "Unknown, no answer (the byte may have arrived): %1",
     "Desconocido, sin respuesta (el byte puede haber llegado): %1",
     "Inconnu, pas de réponse (l'octet a pu arriver) : %1"},
    {id::kTableNotSent, "Not sent: %1", "No enviado: %1", "Non envoyé : %1"},
    {id::kNothing, "nothing", "nada", "rien"},
    {id::kReadBackLineDead, "Read-back stopped, the line went dead: %1 cells not read back",
     "Relectura detenida, la línea se quedó muda: %1 datos sin releer",
     "Relecture arrêtée, la ligne est restée muette : %1 données non relues"},
    {id::kVerifyingCancelled, "Verifying cancelled: the table was written, not all of it was read back",
     "Verificación cancelada: la tabla se escribió, no se releyó entera",
     "Vérification annulée : la table a été écrite, mais pas relue en entier"},
    // A table write planned against the unit's table.
    {id::kWriteTableChanges, "Write these changes to the flash-pattern table of unit %1?",
     "¿Escribir estos cambios en la tabla de destellos del equipo %1?",
     "Écrire ces modifications dans la table des éclats de l'appareil %1 ?"},
    {id::kRowColourChange, "Row %1, colour: %2 \u2192 %3", "Fila %1, color: %2 \u2192 %3",
     "Ligne %1, couleur : %2 \u2192 %3"},
    {id::kRowPairChange, "Row %1, pair %2: %3 \u2192 %4", "Fila %1, par %2: %3 \u2192 %4",
     "Ligne %1, paire %2 : %3 \u2192 %4"},
    {id::kColourCannotBeSent, "Row %1: colour %2 cannot be sent, a colour runs from 0 to 16777215",
     "Fila %1: el color %2 no se puede enviar, un color va de 0 a 16777215",
     "Ligne %1 : la couleur %2 ne peut pas être envoyée, une couleur va de 0 à 16777215"},
    {id::kEntryCannotBeSent, "Row %1, column %2: entry %3 cannot be sent, an entry runs from 0 to 65535",
     "Fila %1, columna %2: el valor %3 no se puede enviar, un valor va de 0 a 65535",
     "Ligne %1, colonne %2 : la valeur %3 ne peut pas être envoyée, une valeur va de 0 à 65535"},
    {id::kTableCopySavedFirst,
     "The unit's table as it is now is saved first in %1; Undo last write puts back exactly the cells this "
     "write changes.",
     "La tabla del equipo tal como está ahora se guarda antes en %1; Deshacer última escritura devuelve "
     "exactamente las celdas que cambia esta escritura.",
     "La table de l'appareil telle qu'elle est maintenant est d'abord enregistrée dans %1 ; Annuler l'écriture "
     "remet exactement les cellules que cette écriture modifie."},
    {id::kTableReadFirst,
     "The form holds no table read of unit %1. Its table is read first (536 transactions), so that the write "
     "sends only what changes, keeps a copy of the table and can be undone. The grid keeps your edits. Read "
     "it now?",
     "El formulario no tiene ninguna lectura de la tabla del equipo %1. Primero se lee su tabla (536 "
     "transacciones), para que la escritura envíe solo lo que cambia, guarde una copia de la tabla y se pueda "
     "deshacer. La cuadrícula conserva sus cambios. ¿Leerla ahora?",
     "Le formulaire ne contient aucune lecture de la table de l'appareil %1. Sa table est d'abord lue (536 "
     "transactions), pour que l'écriture n'envoie que ce qui change, garde une copie de la table et puisse "
     "être annulée. La grille garde vos modifications. La lire maintenant ?"},
    {id::kTableNoChange, "Nothing written: the grid and the colours hold no change for unit %1",
     "No se escribió nada: la cuadrícula y los colores no tienen cambios para el equipo %1",
     "Rien n'a été écrit : la grille et les couleurs ne contiennent aucune modification pour l'appareil %1"},
    {id::kTableRow, "Flash-pattern table, row %1", "Tabla de destellos, fila %1", "Table des éclats, ligne %1"},
    // Messages of files, tables and live values.
    {id::kPortDoesNotExist, "Serial port %1 does not exist: choose a port from 1 to 9.",
     "El puerto serie %1 no existe: elija un puerto del 1 al 9.",
     "Le port série %1 n'existe pas : choisissez un port de 1 à 9."},
    {id::kPortNoSuchDevice,
     "Cannot open serial port %1: no such device. Check that the cable or USB adapter is plugged in and that the "
     "port is right.",
     "No se puede abrir el puerto serie %1: el dispositivo no existe. Compruebe que el cable o el adaptador USB "
     "está conectado y que el puerto es el correcto.",
     "Impossible d'ouvrir le port série %1 : ce périphérique n'existe pas. Vérifiez que le câble ou l'adaptateur "
     "USB est branché et que le port est le bon."},
    {id::kPortAccessDenied,
     "Cannot open serial port %1: access denied. Another program may be using the port; close it and try again.",
     "No se puede abrir el puerto serie %1: acceso denegado. Puede que otro programa esté usando el puerto; "
     "ciérrelo e inténtelo de nuevo.",
     "Impossible d'ouvrir le port série %1 : accès refusé. Un autre programme utilise peut-être le port ; "
     "fermez-le et réessayez."},
    {id::kPortPermissionDenied, "Cannot open serial port %1: permission denied, or another program holds the port.",
     "No se puede abrir el puerto serie %1: permiso denegado, o bien otro programa tiene el puerto.",
     "Impossible d'ouvrir le port série %1 : permission refusée, ou un autre programme tient le port."},
    {id::kPortJoinGroup,
     " To use it without root, add your user to the group '%1' (sudo usermod -aG %1 $USER) and log in again.",
     " Para usarlo sin root, añada su usuario al grupo '%1' (sudo usermod -aG %1 $USER) y vuelva a iniciar la "
     "sesión.",
     " Pour l'utiliser sans root, ajoutez votre utilisateur au groupe '%1' (sudo usermod -aG %1 $USER) et rouvrez "
     "la session."},
    {id::kPortLockedByProcess,
     "Cannot open serial port %1: the lock file %2 says another program uses the port (held by process %3, which "
     "still runs). Close that program, then try again.",
     "No se puede abrir el puerto serie %1: el archivo de bloqueo %2 indica que otro programa usa el puerto (lo "
     "tiene el proceso %3, que sigue en marcha). Cierre ese programa e inténtelo de nuevo.",
     "Impossible d'ouvrir le port série %1 : le fichier de verrou %2 indique qu'un autre programme utilise le "
     "port (tenu par le processus %3, qui tourne encore). Fermez ce programme, puis réessayez."},
    {id::kPortLockFileStale,
     "Cannot open serial port %1: the lock file %2 keeps the port locked%3 and cannot be removed by this user. If "
     "no program uses the port, remove it (sudo rm %2) and try again.",
     "No se puede abrir el puerto serie %1: el archivo de bloqueo %2 mantiene el puerto bloqueado%3 y este "
     "usuario no puede borrarlo. Si ningún programa usa el puerto, bórrelo (sudo rm %2) e inténtelo de nuevo.",
     "Impossible d'ouvrir le port série %1 : le fichier de verrou %2 garde le port verrouillé%3 et cet utilisateur "
     "ne peut pas le supprimer. Si aucun programme n'utilise le port, supprimez-le (sudo rm %2) et réessayez."},
    {id::kLockLeftByProcess, " (left by process %1, which no longer runs)",
     " (lo dejó el proceso %1, que ya no está en marcha)", " (laissé par le processus %1, qui ne tourne plus)"},
    {id::kPortAlreadyOpen, "Cannot open serial port %1: it is already open.",
     "No se puede abrir el puerto serie %1: ya está abierto.",
     "Impossible d'ouvrir le port série %1 : il est déjà ouvert."},
    {id::kPortCannotOpen, "Cannot open serial port %1: %2.", "No se puede abrir el puerto serie %1: %2.",
     "Impossible d'ouvrir le port série %1 : %2."},
    {id::kPortLost, "Serial port %1 was lost (%2). Check the cable and the adapter.",
     "Se perdió el puerto serie %1 (%2). Compruebe el cable y el adaptador.",
     "Le port série %1 a été perdu (%2). Vérifiez le câble et l'adaptateur."},
    {id::kLineLost, "The line to the %1 was lost. Check the cable and the unit's power supply.",
     "Se perdió la línea con el %1. Compruebe el cable y la alimentación del equipo.",
     "La ligne vers le %1 a été perdue. Vérifiez le câble et l'alimentation de l'appareil."},
    {id::kPortNotOpen, "Serial port %1 is not open.", "El puerto serie %1 no está abierto.",
     "Le port série %1 n'est pas ouvert."},
    {id::kFileEndsEarly, "the file ends after line %1, but a parameter file has %2 lines",
     "el archivo termina tras la línea %1, pero un archivo de parámetros tiene %2 líneas",
     "le fichier se termine après la ligne %1, mais un fichier de paramètres a %2 lignes"},
    {id::kLineTooLong, "the line is longer than %1 characters; this is no parameter file",
     "la línea tiene más de %1 caracteres; esto no es un archivo de parámetros",
     "la ligne dépasse %1 caractères ; ce n'est pas un fichier de paramètres"},
    {id::kFileUnreadableFromHere, "the file could not be read from here on",
     "el archivo no se pudo leer a partir de aquí", "le fichier n'a pas pu être lu à partir d'ici"},
    {id::kLineEmptyNumber, "the line is empty where a whole number belongs",
     "la línea está vacía donde debe haber un número entero", "la ligne est vide là où il faut un nombre entier"},
    {id::kNotWholeNumber, "%1 is not a whole number", "%1 no es un número entero", "%1 n'est pas un nombre entier"},
    {id::kNumberTooLarge, "%1 is too large (a parameter file holds numbers from -2147483648 to 2147483647)",
     "%1 es demasiado grande (un archivo de parámetros contiene números de -2147483648 a 2147483647)",
     "%1 est trop grand (un fichier de paramètres contient des nombres de -2147483648 à 2147483647)"},
    {id::kTheTextThere, "the text there", "el texto de esa línea", "le texte de cette ligne"},
    {id::kColourTooLarge, "the colour %1 is too large (a parameter file holds numbers from -2147483648 to 2147483647)",
     "el color %1 es demasiado grande (un archivo de parámetros contiene números de -2147483648 a 2147483647)",
     "la couleur %1 est trop grande (un fichier de paramètres contient des nombres de -2147483648 à 2147483647)"},
    {id::kValueBeyond32Bits, "the value of %3 (lines %1 to %2) does not fit in 32 bits",
     "el valor de %3 (líneas %1 a %2) no cabe en 32 bits", "la valeur de %3 (lignes %1 à %2) ne tient pas sur 32 bits"},
    {id::kNoChoiceOf, "%1 is no choice of %3 (it takes -1 for none, or 0 to %2)",
     "%1 no es una opción de %3 (admite -1 para ninguna, o de 0 a %2)",
     "%1 n'est pas un choix de %3 (il prend -1 pour aucun, ou de 0 à %2)"},
    {id::kNoCheckState, "%1 is no state of the check box %2 (0 clear, 1 set, 2 greyed)",
     "%1 no es un estado de la casilla %2 (0 sin marcar, 1 marcada, 2 gris)",
     "%1 n'est pas un état de la case %2 (0 non cochée, 1 cochée, 2 grisée)"},
    {id::kNoCharacterOf, "%1 is no character that %2 can hold", "%1 no es un carácter que %2 pueda contener",
     "%1 n'est pas un caractère que %2 peut contenir"},
    {id::kFileTooLarge, "it is larger than %1, far more than such a file holds",
     "ocupa más de %1, mucho más de lo que contiene un archivo así",
     "il dépasse %1, bien plus que ce que contient un tel fichier"},
    {id::kReadPermissionDenied, "you may not read it (permission denied)", "no tiene permiso para leerlo",
     "vous n'avez pas le droit de le lire (permission refusée)"},
    {id::kCannotBeRead, "it cannot be read (%1)", "no se puede leer (%1)", "il ne peut pas être lu (%1)"},
    {id::kCannotCreateFileIn, "cannot create a file in %1 (does the folder exist, may you write there?)",
     "no se puede crear un archivo en %1 (¿existe la carpeta?, ¿puede escribir en ella?)",
     "impossible de créer un fichier dans %1 (le dossier existe-t-il, pouvez-vous y écrire ?)"},
    {id::kCannotKeepPermissions, "cannot give it the permissions of the file it replaces",
     "no se le pueden dar los permisos del archivo al que sustituye",
     "impossible de lui donner les permissions du fichier qu'il remplace"},
    {id::kDiskRefused, "the disk refused the data (is it full?)", "el disco rechazó los datos (¿está lleno?)",
     "le disque a refusé les données (est-il plein ?)"},
    {id::kDiskRefusedOrLimit,
     "the disk refused the data (is it full, or is the file larger than this process may write?)",
     "el disco rechazó los datos (¿está lleno, o el archivo es mayor de lo que este proceso puede escribir?)",
     "le disque a refusé les données (est-il plein, ou le fichier dépasse-t-il ce que ce processus peut écrire ?)"},
    {id::kDiskRefusedWhy, "the disk refused the data (is it full? %1)", "el disco rechazó los datos (¿está lleno? %1)",
     "le disque a refusé les données (est-il plein ? %1)"},
    {id::kCannotReplace, "cannot replace it (%1)", "no se puede sustituir (%1)", "impossible de le remplacer (%1)"},
    {id::kTooManyLinks, "it is a chain of too many links", "es una cadena de demasiados enlaces",
     "c'est une chaîne de trop nombreux liens"},
    {id::kDiskRefusedLines, "the disk refused the lines", "el disco rechazó las líneas",
     "le disque a refusé les lignes"},
    {id::kCannotBeOpened, "it cannot be opened", "no se puede abrir", "il ne peut pas être ouvert"},
    {id::kJsonAt, "line %1, column %2: %3", "línea %1, columna %2: %3", "ligne %1, colonne %2 : %3"},
    {id::kJsonWhere, "%1: %2", "%1: %2", "%1 : %2"},
    {id::kJsonCannotOpen, "cannot open the file for reading", "no se puede abrir el archivo para leerlo",
     "impossible d'ouvrir le fichier en lecture"},
    {id::kJsonEmpty, "the file is empty; it must hold {\"colors\": [...], \"pattern\": [...]}",
     "el archivo está vacío; debe contener {\"colors\": [...], \"pattern\": [...]}",
     "le fichier est vide ; il doit contenir {\"colors\": [...], \"pattern\": [...]}"},
    {id::kJsonTextAfterEnd, "unexpected text after the end of the table", "texto inesperado tras el final de la tabla",
     "texte inattendu après la fin de la table"},
    {id::kJsonTooDeep, "the values nest too deeply", "los valores se anidan a demasiada profundidad",
     "les valeurs sont imbriquées trop profondément"},
    {id::kJsonExpectedEnd, "expected %1, but the file ends here", "se esperaba %1, pero el archivo termina aquí",
     "on attendait %1, mais le fichier se termine ici"},
    {id::kJsonExpectedByte, "expected %1, found the byte %2", "se esperaba %1, se encontró el byte %2",
     "on attendait %1, trouvé l'octet %2"},
    {id::kJsonExpectedFound, "expected %1, found '%2'", "se esperaba %1, se encontró '%2'",
     "on attendait %1, trouvé '%2'"},
    {id::kJsonAValue, "a value", "un valor", "une valeur"},
    {id::kJsonAKey, "a key in double quotes", "una clave entre comillas dobles", "une clé entre guillemets doubles"},
    {id::kJsonColonAfterKey, "':' after the key", "':' tras la clave", "':' après la clé"},
    {id::kJsonCommaInObject, "',' or '}' in the object", "',' o '}' en el objeto", "',' ou '}' dans l'objet"},
    {id::kJsonCommaInArray, "',' or ']' in the array", "',' o ']' en la lista", "',' ou ']' dans le tableau"},
    {id::kJsonADigit, "a digit", "una cifra", "un chiffre"},
    {id::kJsonDigitAfterPoint, "a digit after the decimal point", "una cifra tras el punto decimal",
     "un chiffre après le point décimal"},
    {id::kJsonDigitInExponent, "a digit in the exponent", "una cifra en el exponente", "un chiffre dans l'exposant"},
    {id::kJsonFourHexDigits, "four hexadecimal digits after \\u", "cuatro cifras hexadecimales tras \\u",
     "quatre chiffres hexadécimaux après \\u"},
    {id::kJsonLeadingZero, "a number may not start with 0", "un número no puede empezar por 0",
     "un nombre ne peut pas commencer par 0"},
    {id::kJsonStringNotClosed, "the string is not closed", "la cadena no está cerrada", "la chaîne n'est pas fermée"},
    {id::kJsonControlCharacter, "a control character must be escaped inside a string",
     "un carácter de control debe escaparse dentro de una cadena",
     "un caractère de contrôle doit être échappé dans une chaîne"},
    {id::kJsonUnknownEscape, "unknown escape '\\%1'", "secuencia de escape desconocida '\\%1'",
     "séquence d'échappement inconnue '\\%1'"},
    {id::kTableMustBeObject, "the table must be an object {\"colors\": [...], \"pattern\": [...]}, not %1",
     "la tabla debe ser un objeto {\"colors\": [...], \"pattern\": [...]}, no %1",
     "la table doit être un objet {\"colors\": [...], \"pattern\": [...]}, pas %1"},
    {id::kTableUnknownKey, "unknown key \"%1\"; the table has only \"colors\" and \"pattern\"",
     "clave desconocida \"%1\"; la tabla solo tiene \"colors\" y \"pattern\"",
     "clé inconnue \"%1\" ; la table n'a que \"colors\" et \"pattern\""},
    {id::kTableKeyTwice, "\"%1\" is given twice", "\"%1\" aparece dos veces", "\"%1\" est donné deux fois"},
    {id::kTableKeyMissing, "the table has no \"%1\"", "la tabla no tiene \"%1\"", "la table n'a pas de \"%1\""},
    {id::kTableMustBeArray, "%1 must be an array of %2, not %3", "%1 debe ser una lista de %2, no %3",
     "%1 doit être un tableau de %2, pas %3"},
    {id::kTableEntryCount, "%1 has %2 entries; it needs %3 (%4)", "%1 tiene %2 elementos; necesita %3 (%4)",
     "%1 a %2 éléments ; il en faut %3 (%4)"},
    {id::kTableOneEntry, "%1 has 1 entry; it needs %2 (%3)", "%1 tiene 1 elemento; necesita %2 (%3)",
     "%1 a 1 élément ; il en faut %2 (%3)"},
    {id::kTableWholeNumber, "%1 must be a whole number from 0 to %2, not %3",
     "%1 debe ser un número entero de 0 a %2, no %3", "%1 doit être un nombre entier de 0 à %2, pas %3"},
    {id::kJsonAnArray, "an array", "una lista", "un tableau"},
    {id::kJsonAnObject, "an object", "un objeto", "un objet"},
    {id::kJsonTheText, "the text \"%1\"", "el texto \"%1\"", "le texte \"%1\""},
    // What the line monitor shows for each frame: its meaning and its fate.
    {id::kReadAddress, "read address %1", "leer dirección %1", "lecture adresse %1"},
    {id::kWriteAddress, "write address %1 ← %2", "escribir dirección %1 ← %2", "écriture adresse %1 ← %2"},
    {id::kStatusByteA, "status byte A", "byte de estado A", "octet d'état A"},
    {id::kStatusByteB, "status byte B", "byte de estado B", "octet d'état B"},
    {id::kCurrentHighByte, "current, high byte", "corriente, byte alto", "courant, octet haut"},
    {id::kCurrentLowByte, "current, low byte", "corriente, byte bajo", "courant, octet bas"},
    {id::kSpeedHighByte, "speed, high byte", "velocidad, byte alto", "vitesse, octet haut"},
    {id::kSpeedLowByte, "speed, low byte", "velocidad, byte bajo", "vitesse, octet bas"},
    {id::kLedCurrentHighByte, "LED current, high byte", "corriente LED, byte alto", "courant LED, octet haut"},
    {id::kLedCurrentLowByte, "LED current, low byte", "corriente LED, byte bajo", "courant LED, octet bas"},
    {id::kInputs1To8, "inputs 1 to 8", "entradas 1 a 8", "entrées 1 à 8"},
    {id::kOutputs1To8, "outputs 1 to 8", "salidas 1 a 8", "sorties 1 à 8"},
    {id::kOutputs9To11, "outputs 9 to 11", "salidas 9 a 11", "sorties 9 à 11"},
    {id::kStatusOther, "status selector %1", "selector de estado %1", "sélecteur d'état %1"},
    {id::kRemoteFirst, "remote: lamp changer off", "telemando: cambiador OFF", "télécommande : changeur arrêté"},
    {id::kRemoteLampChangerOn, "remote: lamp changer on", "telemando: cambiador ON",
     "télécommande : changeur en marche"},
    {id::kRemoteNormalMode, "remote: normal mode", "telemando: modo normal", "télécommande : mode normal"},
    {id::kRemoteDayMode, "remote: day mode", "telemando: modo día", "télécommande : mode jour"},
    {id::kRemoteNightMode, "remote: night mode", "telemando: modo noche", "télécommande : mode nuit"},
    {id::kRemoteMainsFailureOff, "remote: mains failure off", "telemando: fallo de red OFF",
     "télécommande : panne secteur OFF"},
    {id::kRemoteMainsFailureOn, "remote: mains failure on", "telemando: fallo de red ON",
     "télécommande : panne secteur ON"},
    {id::kRemoteMotor1, "remote: motor 1", "telemando: motor 1", "télécommande : moteur 1"},
    {id::kRemoteMotor2, "remote: motor 2", "telemando: motor 2", "télécommande : moteur 2"},
    {id::kRemoteOther, "remote: function %1, state %2", "telemando: función %1, estado %2",
     "télécommande : fonction %1, état %2"},
    {id::kIdentificationByte, "identification byte %1", "byte de identificación %1", "octet d'identification %1"},
    {id::kWriteSegment, "write segment table %1, offset %2 ← %3", "escribir tabla de segmentos %1, posición %2 ← %3",
     "écriture table de segments %1, position %2 ← %3"},
    {id::kReadSegment, "read segment table %1, offset %2", "leer tabla de segmentos %1, posición %2",
     "lecture table de segments %1, position %2"},
    {id::kOtherCommand, "command %1, parameters %2 and %3", "comando %1, parámetros %2 y %3",
     "commande %1, paramètres %2 et %3"},
    {id::kAcknowledged, "OK", "OK", "OK"},
    {id::kNoReply, "no reply, attempt %1 of %2", "sin respuesta, intento %1 de %2",
     "pas de réponse, tentative %1 sur %2"},
    {id::kStale, "discarded %1 stale bytes", "descartados %1 bytes antiguos", "%1 octets périmés écartés"},
    {id::kLate, "dropped %1 late bytes", "desechados %1 bytes tardíos", "%1 octets tardifs jetés"},
    {id::kMalformedRefused, "malformed reply refused, attempt %1 of %2",
     "respuesta mal formada rechazada, intento %1 de %2", "réponse mal formée refusée, tentative %1 sur %2"},
    {id::kMalformedTaken, "malformed reply, taken as it is", "respuesta mal formada, aceptada tal cual",
     "réponse mal formée, prise telle quelle"},
    // The line monitor window.
    {id::kMonitorTitle, "Line monitor", "Monitor de línea", "Moniteur de ligne"},
    {id::kMonitorFirstColumn, "Time", "Tiempo", "Temps"},
    {id::kDirection, "Direction", "Sentido", "Sens"},
    {id::kBytes, "Bytes", "Bytes", "Octets"},
    {id::kMeaning, "Meaning", "Significado", "Signification"},
    {id::kAttempt, "Attempt", "Intento", "Tentative"},
    {id::kMonitorFirstCounter, "Transactions", "Transacciones", "Transactions"},
    {id::kRetries, "Retries", "Reintentos", "Répétitions"},
    {id::kAttemptsWithoutReply, "Attempts without a reply", "Intentos sin respuesta", "Tentatives sans réponse"},
    {id::kStaleBytesDiscarded, "Stale bytes discarded", "Bytes antiguos descartados", "Octets périmés écartés"},
    {id::kLateBytesDropped, "Late bytes dropped", "Bytes tardíos desechados", "Octets tardifs jetés"},
    {id::kMalformedReplies, "Malformed replies", "Respuestas mal formadas", "Réponses mal formées"},
    {id::kMonitorPause, "Pause", "Pausa", "Pause"},
    {id::kMonitorResume, "Resume", "Continuar", "Reprendre"},
    {id::kMonitorClear, "Clear", "Borrar", "Effacer"},
    {id::kMonitorSaveAs, "Save as…", "Guardar como…", "Enregistrer sous…"},
    {id::kMonitorFileType, "Line trace", "Traza de línea", "Trace de ligne"},
    {id::kMonitorSaveFailed,
     "The trace could not be saved:", "No se pudo guardar la traza:", "La trace n'a pas pu être enregistrée :"},
    // What the line monitor shows for each frame: its meaning and its fate.
    {id::kOtherQuestion, "reply to another question refused, attempt %1 of %2",
     "respuesta a otra pregunta rechazada, intento %1 de %2",
     "réponse à une autre question refusée, tentative %1 sur %2"},
    {id::kCannotTellRepeats, "this unit's replies do not repeat the question: a reply sent twice cannot be told apart",
     "las respuestas de este equipo no repiten la pregunta: una respuesta enviada dos veces no se puede "
     "distinguir",
     "les réponses de cet appareil ne répètent pas la question : une réponse envoyée deux fois ne peut être "
     "distinguée"},
    {id::kSecondReply, "a second reply to one question, attempt %1 of %2 failed",
     "segunda respuesta a una misma pregunta, intento %1 de %2 fallido",
     "deuxième réponse à une même question, tentative %1 sur %2 échouée"},
    // Messages and statuses of the tool's own operations, files, help and the Cancel button.
    {id::kSettingsCannotBeWritten,
     "The settings file %1 cannot be written (%2). Port %3 is used until the tool is closed, but it is not stored.",
     "No se puede escribir el archivo de configuración %1 (%2). El puerto %3 se usa hasta cerrar el programa, "
     "pero no queda guardado.",
     "Le fichier de configuration %1 ne peut pas être écrit (%2). Le port %3 est utilisé jusqu'à la fermeture de "
     "l'outil, mais il n'est pas enregistré."},
    {id::kUnitDoesNotAnswer, "No answer from the unit", "El equipo no responde", "L'appareil ne répond pas"},
    {id::kNoUnitOnPort,
     "No unit answered on Serial Port %1 (%2).\nCheck the cable, that the right port is chosen on the %3 page, "
     "and that the unit is powered.",
     "Ningún equipo ha respondido en el puerto serie %1 (%2).\nCompruebe el cable, que en la página %3 está "
     "elegido el puerto correcto y que el equipo tiene alimentación.",
     "Aucun appareil n'a répondu sur le port série %1 (%2).\nVérifiez le câble, que le bon port est choisi dans la "
     "page %3 et que l'appareil est alimenté."},
    {id::kIdentificationCancelled, "Identification cancelled", "Identificación cancelada", "Identification annulée"},
    {id::kReadCancelledNothingChanged, "Reading cancelled: nothing was changed",
     "Lectura cancelada: no se ha cambiado nada", "Lecture annulée : rien n'a été modifié"},
    {id::kWriteCancelledNothingWritten, "Writing cancelled: nothing was written",
     "Escritura cancelada: no se ha escrito nada", "Écriture annulée : rien n'a été écrit"},
    {id::kWriteCancelledPartly, "Writing cancelled: the unit may hold part of the new values",
     "Escritura cancelada: el equipo puede tener parte de los valores nuevos",
     "Écriture annulée : l'appareil peut contenir une partie des nouvelles valeurs"},
    {id::kNothingWritten, "Nothing written", "No se escribió nada", "Rien n'a été écrit"},
    {id::kFileNotOpened, "File not opened", "Archivo no abierto", "Fichier non ouvert"},
    {id::kFileNotSaved, "File not saved", "Archivo no guardado", "Fichier non enregistré"},
    {id::kParameterFileNotSaved, "The parameter file was not saved: %1.",
     "No se ha guardado el archivo de parámetros: %1.", "Le fichier de paramètres n'a pas été enregistré : %1."},
    {id::kCancel, "Cancel", "Cancelar", "Annuler"},
    {id::kCancelTooltip, "Stop the running operation (Esc)", "Detener la operación en curso (Esc)",
     "Arrêter l'opération en cours (Échap)"},
    {id::kHelpCouldNotOpen, "The help could not be opened.", "No se ha podido abrir la ayuda.",
     "L'aide n'a pas pu être ouverte."},
    {id::kAutomaticPeriodRefused,
     "The automatic mode cannot run every \"%1\" seconds.\nGive a period from 0 to 65.535 seconds, with a point "
     "before the decimals.",
     "El modo automático no puede funcionar cada \"%1\" segundos.\nIndique un periodo de 0 a 65.535 segundos (65 "
     "segundos y 535 milésimas), con un punto antes de los decimales.",
     "Le mode automatique ne peut pas fonctionner toutes les \"%1\" secondes.\nIndiquez une période de 0 à 65.535 "
     "secondes (65 secondes et 535 millièmes), avec un point avant les décimales."},
    // Undo of the last write and the list of recent writes.
    {id::kUndoLastWrite, "Undo last write", "Deshacer última escritura", "Annuler l'écriture"},
    {id::kNothingToUndo, "Nothing to undo: the write log holds no write",
     "Nada que deshacer: el registro de escrituras no tiene ninguna escritura",
     "Rien à annuler : le journal des écritures ne contient aucune écriture"},
    {id::kNothingToUndoOfUnit, "Nothing to undo: the write log holds no write of unit %1",
     "Nada que deshacer: el registro de escrituras no tiene ninguna escritura del equipo %1",
     "Rien à annuler : le journal des écritures ne contient aucune écriture de l'appareil %1"},
    {id::kLastWriteWithoutBytes,
     "The last write (%1, unit %2) was recorded without the bytes it changed and cannot be undone here. The "
     "unit's parameters as they were before it are kept in %3: open and write that copy.",
     "La última escritura (%1, equipo %2) se registró sin los bytes que cambió y no se puede deshacer aquí. Los "
     "parámetros del equipo de antes de ella están en %3: abra y escriba esa copia.",
     "La dernière écriture (%1, appareil %2) a été enregistrée sans les octets qu'elle a modifiés et ne peut pas "
     "être "
     "annulée ici. Les paramètres de l'appareil d'avant cette écriture sont dans %3 : ouvrez et écrivez cette "
     "copie."},
    {id::kPutBackQuestion, "Put back what this write changed on unit %1 (%2)?",
     "¿Devolver lo que cambió esta escritura en el equipo %1 (%2)?",
     "Remettre ce que cette écriture a modifié sur l'appareil %1 (%2) ?"},
    {id::kAddressChange, "address %1: %2 \u2192 %3", "dirección %1: %2 \u2192 %3", "adresse %1 : %2 \u2192 %3"},
    {id::kAddressChangedSince, "Address %1 (%2) holds %3, not the %4 written: changed since that write",
     "La dirección %1 (%2) guarda %3, no el %4 escrito: ha cambiado desde esa escritura",
     "L'adresse %1 (%2) contient %3, pas le %4 écrit : modifiée depuis cette écriture"},
    {id::kNothingPutBackChanged, "Nothing put back: the unit has changed since that write",
     "No se devolvió nada: el equipo ha cambiado desde esa escritura",
     "Rien n'a été remis : l'appareil a changé depuis cette écriture"},
    {id::kPuttingBack, "Putting back", "Devolviendo", "Remise en place"},
    {id::kUndone, "Undone: the unit holds again what it held before that write",
     "Deshecho: el equipo vuelve a guardar lo que tenía antes de esa escritura",
     "Annulé : l'appareil contient de nouveau ce qu'il avait avant cette écriture"},
    {id::kNothingToPutBack, "Nothing to put back: the unit already holds what it held before that write",
     "Nada que devolver: el equipo ya guarda lo que tenía antes de esa escritura",
     "Rien à remettre : l'appareil contient déjà ce qu'il avait avant cette écriture"},
    {id::kRecentWritesUnit,
     "Recent writes of unit %1:", "Escrituras recientes del equipo %1:", "Écritures récentes de l'appareil %1 :"},
    {id::kRecentWrites, "Recent writes:", "Escrituras recientes:", "Écritures récentes :"},
    {id::kOutcomeVerified, "verified", "verificado", "vérifiée"},
    {id::kOutcomeWrittenNotVerified, "written, not verified", "escrito, sin verificar", "écrite, non vérifiée"},
    {id::kOutcomeFailed, "failed", "fallido", "échouée"},
    {id::kUndoWithoutRecord, "The write log cannot take the lines of this undo:\n%1\nUndo without a record?",
     "El registro de escrituras no puede recibir las líneas de esta operación:\n%1\n¿Deshacer sin registro?",
     "Le journal des écritures ne peut pas recevoir les lignes de cette annulation :\n%1\nAnnuler sans trace ?"},
    {id::kNothingPutBackCancelled, "Nothing put back: cancelled", "No se devolvió nada: cancelado",
     "Rien n'a été remis : annulé"},
    {id::kUndoCancelledPartly, "Undo cancelled: the unit may hold part of the earlier values",
     "Deshacer cancelado: el equipo puede tener parte de los valores anteriores",
     "Annulation interrompue : l'appareil peut contenir une partie des anciennes valeurs"},
    {id::kNothingPutBackNoAnswer, "Nothing put back: the unit did not answer",
     "No se devolvió nada: el equipo no responde", "Rien n'a été remis : l'appareil ne répond pas"},
    {id::kNothingPutBackOtherUnit,
     "Nothing put back: the unit on the line has identifier number %1, not %2 as in the write log",
     "No se devolvió nada: el equipo conectado tiene el número ID %1, no %2 como en el registro de escrituras",
     "Rien n'a été remis : l'appareil en ligne a le numéro ID %1, pas %2 comme dans le journal des écritures"},
    {id::kNothingPutBack, "Nothing put back", "No se devolvió nada", "Rien n'a été remis"},
    {id::kUndoOf, "undo of %1", "deshace %1", "annule %1"},
    {id::kUndoTooltip, "Put back what the last write changed (F8)", "Devolver lo que cambió la última escritura (F8)",
     "Remettre ce que la dernière écriture a modifié (F8)"},
    {id::kOutcomeUnknown, "unknown", "desconocido", "inconnue"},
};

constexpr bool sortedAndUnique() {
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].id >= kRows[i].id) return false;
    return true;
}
static_assert(sortedAndUnique(), "rows of the text table must be sorted by id, each id once");

const Row* find(int id) {
    const auto* it = std::lower_bound(std::begin(kRows), std::end(kRows), id,
                                      [](const Row& row, int wanted) { return row.id < wanted; });
    return it != std::end(kRows) && it->id == id ? it : nullptr;
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
    const Row* row = find(id);
    if (row == nullptr) return "<" + std::to_string(id) + ">";
    switch (language_) {
        case Language::Neutral:
            return std::string(row->neutral.empty() ? row->english : row->neutral);
        case Language::English:
            break;
        case Language::SpanishTraditional:
            return std::string(row->traditional.empty() ? row->spanish : row->traditional);
        case Language::SpanishModern:
            return std::string(row->spanish);
        case Language::French:
            return std::string(row->french);
    }
    return std::string(row->english);
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
    for (const Row& row : kRows) out.push_back(row.id);
    return out;
}

}  // namespace zrk::texts
