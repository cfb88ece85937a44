// The date a PDF is stamped with. Builds that must come out the same byte for
// byte (a package built twice, a coach's sheet made again) fix it through
// SOURCE_DATE_EPOCH, the reproducible-builds convention: whole seconds since
// 1970-01-01 00:00:00 UTC.
#pragma once

#include <ctime>
#include <string>

namespace sheets {

inline constexpr const char* SourceDateVariable = "SOURCE_DATE_EPOCH";

// The latest time an ISO 8601 date of four year digits can name:
// 9999-12-31T23:59:59Z.
constexpr std::time_t LatestDocumentTime = 253402300799;

struct DocumentDate {
    // "2023-11-14T22:13:20Z" when the date is fixed; "" for the time of the run.
    std::string Iso8601;
};

// Reads the variable's value (null when it is not set) into `date`. Returns
// "" when it is good, otherwise one line (without the program name) saying
// what is wrong: the value must be a plain decimal number of seconds, with
// no sign or blanks, up to LatestDocumentTime.
std::string ReadDocumentDate(const char* epoch, DocumentDate& date);

// `seconds` since 1970 in UTC as ISO 8601 ("1970-01-01T00:00:00Z").
std::string Iso8601Utc(std::time_t seconds);

}  // namespace sheets
