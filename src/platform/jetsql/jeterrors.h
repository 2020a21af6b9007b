#pragma once

// The errors Jet raises while a statement runs, as the SQL functions of the
// translation report them to the engine underneath. The engine hands back
// only a message; the database layer gives it Jet's number again with
// jetErrorNumber().

#include <QtCore/QString>

namespace lg::jetsql {

namespace jeterr {
constexpr long InvalidCall = 5;
constexpr long Overflow = 6;
constexpr long DivisionByZero = 11;
constexpr long TypeMismatch = 13;
constexpr long FieldTooSmall = 3163;
constexpr long QueryTooComplex = 3360;
constexpr long AtMostOneRecord = 3354;
constexpr long ConversionError = 3421;
constexpr long CriteriaTypeMismatch = 3464;
}  // namespace jeterr

// Jet's texts, exactly as the functions raise them.
inline constexpr char kMsgInvalidCall[] = "Invalid procedure call or argument.";
inline constexpr char kMsgOverflow[] = "Overflow.";
inline constexpr char kMsgDivisionByZero[] = "Division by zero.";
inline constexpr char kMsgTypeMismatch[] = "Data type mismatch in criteria expression.";
inline constexpr char kMsgAtMostOneRecord[] = "At most one record can be returned by this subquery.";
inline constexpr char kMsgQueryTooComplex[] = "Query is too complex.";
// Followed by the field's name and details (see storeError in the functions).
inline constexpr char kMsgFieldTooSmallStart[] = "The field '";
inline constexpr char kMsgFieldTooSmallEnd[] = "' is too small to accept the amount of data you attempted to add";
inline constexpr char kMsgConversionStart[] = "Data type conversion error in field '";

// The Jet number of an engine message: the number of one of the texts above,
// kQueryTooComplex for the engine's own limits on a statement's depth, 0 for
// anything else.
long jetErrorNumber(const QString& message);

}  // namespace lg::jetsql
