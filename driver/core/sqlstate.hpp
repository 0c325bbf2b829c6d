#pragma once

// Every SQLSTATE the driver reports, by name. Nothing else in the driver
// spells a SQLSTATE out.
namespace kelvara::driver::sqlstate {

inline constexpr char kGeneralWarning[] = "01000";
inline constexpr char kStringTruncated[] = "01004";
inline constexpr char kInvalidConnectionAttribute[] = "01S00";
inline constexpr char kOptionValueChanged[] = "01S02";
inline constexpr char kRestrictedDataType[] = "07006";
inline constexpr char kInvalidDescriptorIndex[] = "07009";
inline constexpr char kUnableToConnect[] = "08001";
inline constexpr char kConnectionInUse[] = "08002";
inline constexpr char kConnectionNotOpen[] = "08003";
inline constexpr char kNullIndicatorRequired[] = "22002";
inline constexpr char kNumericOutOfRange[] = "22003";
inline constexpr char kDatetimeOverflow[] = "22008";
inline constexpr char kInvalidCastValue[] = "22018";
inline constexpr char kInvalidCursorState[] = "24000";
inline constexpr char kInvalidAuthorization[] = "28000";
inline constexpr char kSyntaxError[] = "42000";
inline constexpr char kTableNotFound[] = "42S02";
inline constexpr char kColumnNotFound[] = "42S22";
inline constexpr char kGeneralError[] = "HY000";
inline constexpr char kMemoryAllocation[] = "HY001";
inline constexpr char kInvalidApplicationBufferType[] = "HY003";
inline constexpr char kInvalidUseOfNullPointer[] = "HY009";
inline constexpr char kFunctionSequenceError[] = "HY010";
inline constexpr char kInvalidAttributeValue[] = "HY024";
inline constexpr char kInvalidStringOrBufferLength[] = "HY090";
inline constexpr char kInvalidDescriptorFieldIdentifier[] = "HY091";
inline constexpr char kInvalidAttributeIdentifier[] = "HY092";
inline constexpr char kInvalidInfoType[] = "HY096";
inline constexpr char kFetchTypeOutOfRange[] = "HY106";
inline constexpr char kOptionalFeatureNotImplemented[] = "HYC00";
inline constexpr char kTimeoutExpired[] = "HYT00";
inline constexpr char kInvalidTransactionOperation[] = "HY012";
inline constexpr char kInvalidDriverCompletion[] = "HY110";
inline constexpr char kAttributeCannotBeSetNow[] = "HY011";
inline constexpr char kInvalidSqlDataType[] = "HY004";
inline constexpr char kFractionalTruncation[] = "01S07";

} // namespace kelvara::driver::sqlstate
