// Reading SOURCE_DATE_EPOCH for the PDF's creation and modification dates.
#include "sheets/document_date.h"

#include <array>
#include <cassert>
#include <cstring>

namespace sheets {

std::string Iso8601Utc(std::time_t seconds) {
    assert(seconds >= 0 && seconds <= LatestDocumentTime);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    std::array<char, sizeof "YYYY-MM-DDThh:mm:ssZ"> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text.data();
}

std::string ReadDocumentDate(const char* epoch, DocumentDate& date) {
    date = {};
    if (epoch == nullptr) return "";
    const std::string complaint = std::string(SourceDateVariable) +
                                  ": нужно целое число секунд от 1970-01-01 00:00:00 UTC, не больше " +
                                  std::to_string(LatestDocumentTime);
    const std::size_t length = std::strlen(epoch);
    if (length == 0) return complaint;
    std::time_t seconds = 0;
    for (std::size_t index = 0; index < length; ++index) {
        const char digit = epoch[index];
        if (digit < '0' || digit > '9') return complaint;
        seconds = seconds * 10 + (digit - '0');
        if (seconds > LatestDocumentTime) return complaint;
    }
    date.Iso8601 = Iso8601Utc(seconds);
    return "";
}

}  // namespace sheets
