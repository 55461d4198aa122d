#pragma once

// The id of every text the window and zrkctl show, by name. The texts of
// every set, one row per id, are in texts.cpp; ids below 3000 are the
// unit's own, the rest the tool's.
namespace zrk::texts::id {

// The unit's own texts: captions, list items and the help file's name.
inline constexpr int kOpen = 1002;
inline constexpr int kSave = 1004;
inline constexpr int kExit = 1012;
inline constexpr int kHelp = 1021;
inline constexpr int kNightOn = 1055;
inline constexpr int kTwentyFourHoursOn = 1056;
inline constexpr int kNightAttenuation = 1057;
inline constexpr int kFunctionMode = 1058;
inline constexpr int kRecoveryTimeAfterHibernation = 1059;
inline constexpr int kDisable = 1061;
inline constexpr int kDaylightSensor = 1100;
inline constexpr int kFlashes = 1102;
inline constexpr int kCommunications = 1103;
inline constexpr int kSetup = 1104;
inline constexpr int kVisualization = 1105;
inline constexpr int kLightLevelBeaconOn = 1110;
inline constexpr int kLightLevelBeaconOff = 1111;
inline constexpr int kDaylightSensorDelay = 1112;
inline constexpr int kLanguage = 1160;
inline constexpr int kCom = 1161;
inline constexpr int kRemoteControl = 1165;
inline constexpr int kLedInstantCurrent = 1171;
inline constexpr int kInstantSpeed = 1180;
inline constexpr int kModel = 1201;
inline constexpr int kFirmwareVersion = 1203;
inline constexpr int kHardware = 1204;
inline constexpr int kIdNumber = 1205;
inline constexpr int kIdentifier = 1206;
inline constexpr int kManufacturerNumber = 1207;
inline constexpr int kYearMade = 1208;
inline constexpr int kWeekMade = 1209;
inline constexpr int kRpm = 1219;
inline constexpr int kLux = 1220;
inline constexpr int kSeconds = 1221;
inline constexpr int kLampAlarmLevel = 1401;
inline constexpr int kLamchangerType = 1402;
inline constexpr int kLamp1Type = 1403;
inline constexpr int kLamp2Type = 1404;
inline constexpr int kMainLamp = 1405;
inline constexpr int kDelayLampPhotocell = 1406;
inline constexpr int kDelayLamp2 = 1407;
inline constexpr int kDelayMainsFailure = 1408;
inline constexpr int kDelayLamp1 = 1409;
inline constexpr int kDelayLampFailure = 1410;
inline constexpr int kDelayMainsRestart = 1411;
inline constexpr int kEmergencyLantern = 1412;
inline constexpr int kUserSpeed1 = 1420;
inline constexpr int kUserSpeed2 = 1421;
inline constexpr int kUserSpeed3 = 1422;
inline constexpr int kUserSpeed4 = 1423;
inline constexpr int kReducerRatio = 1424;
inline constexpr int kPulsesPerRevolution = 1425;
inline constexpr int kAccelerationTime = 1426;
inline constexpr int kMotorType = 1427;
inline constexpr int kStepperMotor = 1428;
inline constexpr int kDualMotorRvq = 1429;
inline constexpr int kRotation = 1430;
inline constexpr int kReadZrk = 1431;
inline constexpr int kWriteZrk = 1432;
inline constexpr int kFailedTurns = 1434;
inline constexpr int kSpeedTolerance = 1435;
inline constexpr int kOn = 1450;
inline constexpr int kOff = 1451;
inline constexpr int kMotorOn = 1452;
inline constexpr int kMotorAlarm = 1453;
inline constexpr int kLamp1On = 1454;
inline constexpr int kLamp2On = 1455;
inline constexpr int kChangeurOn = 1456;
inline constexpr int kMainsFailure = 1457;
inline constexpr int kLastLampAlarm = 1458;
inline constexpr int kLampAlarm = 1459;
inline constexpr int kTotalLampAlarm = 1460;
inline constexpr int kLampChange = 1461;
inline constexpr int kDayNightControl = 1462;
inline constexpr int kNormal = 1463;
inline constexpr int kNight = 1464;
inline constexpr int kDay = 1465;
inline constexpr int kAutomaticMode = 1466;
inline constexpr int kRefresh = 1467;
inline constexpr int kLampOn = 1468;
inline constexpr int kSecondPortFunction = 1470;
inline constexpr int kRs485 = 1471;
inline constexpr int kModbus = 1472;
inline constexpr int kPwmLed = 1473;
inline constexpr int kSensorType = 1480;
inline constexpr int kHelpFile = 2000;
inline constexpr int kFirmwareNeedsOtherProgram = 2001;
inline constexpr int kChangesPendingRecord = 2002;
inline constexpr int kLedLevels = 2003;
inline constexpr int kWithoutMotor = 2004;
inline constexpr int kRotationErrorOff = 2005;
inline constexpr int kOnlyRotation = 2006;
inline constexpr int kDoubleLed = 2007;
inline constexpr int kAstronomicalClock = 2009;
inline constexpr int kFlashing = 2010;
inline constexpr int kPhotocell = 2011;
inline constexpr int kPhotodiode = 2012;
inline constexpr int kCurrentMeasurement = 2013;
inline constexpr int kTypeSensorLamp = 2014;
inline constexpr int kLamp1CurrentAlarm = 2015;
inline constexpr int kLamp2CurrentAlarm = 2016;

// What a write checks, marks and records.
inline constexpr int kOutOfRange = 3000;
inline constexpr int kNothingWrittenOtherUnit = 3001;
inline constexpr int kFormHoldsOtherUnit = 3002;
inline constexpr int kNothingWrittenNoAnswer = 3003;
inline constexpr int kVerifying = 3004;
inline constexpr int kEndedUnitDoesNotHold = 3005;
inline constexpr int kAddressHoldsOther = 3006;
inline constexpr int kAddressNoAnswerReadBack = 3007;
inline constexpr int kEndedNoAnswerWriting = 3008;
inline constexpr int kNothingWrittenReadFirst = 3009;
inline constexpr int kChanges = 3011;
inline constexpr int kOneChange = 3012;
inline constexpr int kUnitValue = 3013;
inline constexpr int kLoadedValue = 3014;
inline constexpr int kChecked = 3015;
inline constexpr int kUnchecked = 3016;
inline constexpr int kGreyed = 3017;
inline constexpr int kWriteTheseChanges = 3018;
inline constexpr int kNoFieldDiffers = 3019;
inline constexpr int kCopySavedFirst = 3020;
inline constexpr int kNothingWrittenCancelled = 3021;
inline constexpr int kUnitAndAfterWrite = 3022;
inline constexpr int kUnitValueNotByte = 3023;
inline constexpr int kNothingWrittenNoSource = 3024;
inline constexpr int kRecordCannotBeKept = 3025;
inline constexpr int kWriteWithoutRecord = 3026;
inline constexpr int kNothingWrittenNeedsRecord = 3027;
inline constexpr int kWriteStoppedLineDead = 3028;
inline constexpr int kWrittenVerified = 3029;
inline constexpr int kWrittenNotVerified = 3030;
inline constexpr int kUnknownSentNoAnswer = 3031;
inline constexpr int kWriteFailed = 3032;
inline constexpr int kNotSent = 3033;
inline constexpr int kReadAgainOnceLineAnswers = 3034;
inline constexpr int kAllFiles = 3035;
inline constexpr int kExitLoseChanges = 3036;
inline constexpr int kFieldsAndRowsNotWritten = 3037;
inline constexpr int kExitLoseOneChange = 3038;

// The flash-pattern grid: refused entries and the tooltips of its marks.
inline constexpr int kRefusedRange = 3040;
inline constexpr int kRefusedGap = 3041;
inline constexpr int kOverlap = 3042;
inline constexpr int kThroughZero = 3043;
inline constexpr int kAfterGap = 3044;

// A parameter file shown without a unit.
inline constexpr int kFileNoUnit = 3050;
inline constexpr int kFileFieldsReadOnly = 3051;

// A refusal that sent nothing; endings of table transfers; a read refused.
inline constexpr int kNothingSentToUnit = 3060;
inline constexpr int kEndedHalvesFailed = 3061;
inline constexpr int kReadCancelled = 3062;
inline constexpr int kWriteCancelled = 3063;
inline constexpr int kUnitValueFormCannotShow = 3064;

// File errors: a parameter file that does not open, a save, the write record.
inline constexpr int kCannotOpenParameterFile = 3065;
inline constexpr int kFileLine = 3066;
inline constexpr int kDoesNotExist = 3067;
inline constexpr int kFolderNotFile = 3068;
inline constexpr int kNotRegularFile = 3069;
inline constexpr int kCouldNotSave = 3070;
inline constexpr int kCannotWriteLog = 3071;
inline constexpr int kCannotCreateFolder = 3072;

// A number the strict reading refuses.
inline constexpr int kNotNumber = 3073;
inline constexpr int kEmpty = 3074;
inline constexpr int kNoDigits = 3075;
inline constexpr int kUnexpectedCharacters = 3076;
inline constexpr int kTooLarge = 3077;

// zrkctl's own refusals and messages.
inline constexpr int kUnitDoesNotUseField = 3078;
inline constexpr int kRefusedNothingWritten = 3079;
inline constexpr int kCommandNoAnswer = 3080;

// Table transfers: failed halves, read-back, a dead line.
inline constexpr int kWritingErrorInTable = 3100;
inline constexpr int kFirstHalf = 3101;
inline constexpr int kSecondHalf = 3102;
inline constexpr int kHalfOfTable = 3103;
inline constexpr int kTableHalf = 3104;
inline constexpr int kAtOffset = 3105;
inline constexpr int kAtOffsets = 3106;
inline constexpr int kStoppedAtOffset = 3107;
inline constexpr int kNoAnswer = 3108;
inline constexpr int kLineWentDead = 3109;
inline constexpr int kCellWrittenUnitHolds = 3110;
inline constexpr int kCellNoAnswerReadBack = 3111;
inline constexpr int kTableWriteLineDead = 3112;
inline constexpr int kTableWritten = 3113;
inline constexpr int kLastAcknowledged = 3114;
inline constexpr int kTableUnknownNoAnswer = 3115;
inline constexpr int kTableNotSent = 3116;
inline constexpr int kNothing = 3117;
inline constexpr int kReadBackLineDead = 3118;
inline constexpr int kVerifyingCancelled = 3119;

// A table write planned against the unit's table.
inline constexpr int kWriteTableChanges = 3120;
inline constexpr int kRowColourChange = 3121;
inline constexpr int kRowPairChange = 3122;
inline constexpr int kColourCannotBeSent = 3123;
inline constexpr int kEntryCannotBeSent = 3124;
inline constexpr int kTableCopySavedFirst = 3125;
inline constexpr int kTableReadFirst = 3126;
inline constexpr int kTableNoChange = 3127;
inline constexpr int kTableRow = 3128;

// What the line monitor shows for each frame: its meaning and its fate.
inline constexpr int kReadAddress = 3200;
inline constexpr int kWriteAddress = 3201;
inline constexpr int kStatusByteA = 3202;
inline constexpr int kStatusByteB = 3203;
inline constexpr int kCurrentHighByte = 3204;
inline constexpr int kCurrentLowByte = 3205;
inline constexpr int kSpeedHighByte = 3206;
inline constexpr int kSpeedLowByte = 3207;
inline constexpr int kLedCurrentHighByte = 3208;
inline constexpr int kLedCurrentLowByte = 3209;
inline constexpr int kInputs1To8 = 3210;
inline constexpr int kOutputs1To8 = 3211;
inline constexpr int kOutputs9To11 = 3212;
inline constexpr int kStatusOther = 3213;
inline constexpr int kRemoteFirst = 3214;
inline constexpr int kRemoteLampChangerOn = 3215;
inline constexpr int kRemoteNormalMode = 3216;
inline constexpr int kRemoteDayMode = 3217;
inline constexpr int kRemoteNightMode = 3218;
inline constexpr int kRemoteMainsFailureOff = 3219;
inline constexpr int kRemoteMainsFailureOn = 3220;
inline constexpr int kRemoteMotor1 = 3221;
inline constexpr int kRemoteMotor2 = 3222;
inline constexpr int kRemoteOther = 3223;
inline constexpr int kIdentificationByte = 3224;
inline constexpr int kWriteSegment = 3225;
inline constexpr int kReadSegment = 3226;
inline constexpr int kOtherCommand = 3227;
inline constexpr int kAcknowledged = 3228;
inline constexpr int kNoReply = 3229;
inline constexpr int kStale = 3230;
inline constexpr int kLate = 3231;
inline constexpr int kMalformedRefused = 3232;
inline constexpr int kMalformedTaken = 3233;

// The line monitor window.
inline constexpr int kMonitorTitle = 3234;
inline constexpr int kMonitorFirstColumn = 3235;
inline constexpr int kDirection = 3236;
inline constexpr int kBytes = 3237;
inline constexpr int kMeaning = 3238;
inline constexpr int kAttempt = 3239;
inline constexpr int kMonitorFirstCounter = 3240;
inline constexpr int kRetries = 3241;
inline constexpr int kAttemptsWithoutReply = 3242;
inline constexpr int kStaleBytesDiscarded = 3243;
inline constexpr int kLateBytesDropped = 3244;
inline constexpr int kMalformedReplies = 3245;
inline constexpr int kMonitorPause = 3246;
inline constexpr int kMonitorResume = 3247;
inline constexpr int kMonitorClear = 3248;
inline constexpr int kMonitorSaveAs = 3249;
inline constexpr int kMonitorFileType = 3250;
inline constexpr int kMonitorSaveFailed = 3251;

// What the line monitor shows for each frame: its meaning and its fate.
inline constexpr int kOtherQuestion = 3252;
inline constexpr int kCannotTellRepeats = 3253;
inline constexpr int kSecondReply = 3254;

// Messages and statuses of the tool's own operations, files, help and the Cancel button.
inline constexpr int kSettingsCannotBeWritten = 3300;
inline constexpr int kUnitDoesNotAnswer = 3301;
inline constexpr int kNoUnitOnPort = 3302;
inline constexpr int kIdentificationCancelled = 3303;
inline constexpr int kReadCancelledNothingChanged = 3304;
inline constexpr int kWriteCancelledNothingWritten = 3305;
inline constexpr int kWriteCancelledPartly = 3306;
inline constexpr int kNothingWritten = 3307;
inline constexpr int kFileNotOpened = 3308;
inline constexpr int kFileNotSaved = 3309;
inline constexpr int kParameterFileNotSaved = 3310;
inline constexpr int kCancel = 3311;
inline constexpr int kCancelTooltip = 3312;
inline constexpr int kHelpCouldNotOpen = 3313;
inline constexpr int kAutomaticPeriodRefused = 3314;

// Undo of the last write and the list of recent writes.
inline constexpr int kUndoLastWrite = 3400;
inline constexpr int kNothingToUndo = 3401;
inline constexpr int kNothingToUndoOfUnit = 3402;
inline constexpr int kLastWriteWithoutBytes = 3403;
inline constexpr int kPutBackQuestion = 3404;
inline constexpr int kAddressChange = 3405;
inline constexpr int kAddressChangedSince = 3406;
inline constexpr int kNothingPutBackChanged = 3407;
inline constexpr int kPuttingBack = 3408;
inline constexpr int kUndone = 3409;
inline constexpr int kNothingToPutBack = 3410;
inline constexpr int kRecentWritesUnit = 3411;
inline constexpr int kRecentWrites = 3412;
inline constexpr int kOutcomeVerified = 3413;
inline constexpr int kOutcomeWrittenNotVerified = 3414;
inline constexpr int kOutcomeFailed = 3415;
inline constexpr int kUndoWithoutRecord = 3416;
inline constexpr int kNothingPutBackCancelled = 3417;
inline constexpr int kUndoCancelledPartly = 3418;
inline constexpr int kNothingPutBackNoAnswer = 3419;
inline constexpr int kNothingPutBackOtherUnit = 3420;
inline constexpr int kNothingPutBack = 3421;
inline constexpr int kUndoOf = 3422;
inline constexpr int kUndoTooltip = 3423;
inline constexpr int kOutcomeUnknown = 3424;

}  // namespace zrk::texts::id
