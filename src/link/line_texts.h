#pragma once

namespace zrk::link {

// Text ids of what the line monitor and the frame meanings show.
inline constexpr int kTextReadAddress = 3200;         // "read address %1"
inline constexpr int kTextWriteAddress = 3201;        // "write address %1 ← %2"
inline constexpr int kTextStatusByteA = 3202;         // status selectors 0 to 10: 3202 to 3212
inline constexpr int kTextStatusOther = 3213;         // "status selector %1"
inline constexpr int kTextRemoteFirst = 3214;         // the nine remote commands: 3214 to 3222
inline constexpr int kTextRemoteOther = 3223;         // "remote: function %1, state %2"
inline constexpr int kTextIdentificationByte = 3224;  // "identification byte %1"
inline constexpr int kTextWriteSegment = 3225;        // "write segment table %1, offset %2 ← %3"
inline constexpr int kTextReadSegment = 3226;         // "read segment table %1, offset %2"
inline constexpr int kTextOtherCommand = 3227;        // "command %1, parameters %2 and %3"
inline constexpr int kTextAcknowledged = 3228;        // "OK"
inline constexpr int kTextNoReply = 3229;             // "no reply, attempt %1 of %2"
inline constexpr int kTextStale = 3230;               // "discarded %1 stale bytes"
inline constexpr int kTextLate = 3231;                // "dropped %1 late bytes"
inline constexpr int kTextMalformedRefused = 3232;    // "malformed reply refused, attempt %1 of %2"
inline constexpr int kTextMalformedTaken = 3233;      // "malformed reply, taken as it is"
inline constexpr int kTextOtherQuestion = 3252;       // "reply to another question refused, attempt %1 of %2"
inline constexpr int kTextCannotTellRepeats = 3253;   // "... a repeated reply cannot be told apart"
inline constexpr int kTextSecondReply = 3254;         // "a second reply to one question, attempt %1 of %2 failed"

}  // namespace zrk::link
