// The report-source reader on any bytes: it neither crashes nor hangs, and a
// file it refuses is refused with a message.

#include "fuzzer.h"

#include "reportengine/reportsource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    lg::reportengine::ReportSource source;
    QString error;
    if (!lg::reportengine::parseReportSource(lg::fuzz::bytes(data, size), source, error)) {
        lg::fuzz::check(!error.isEmpty(), "refused without a message");
        return 0;
    }
    lg::fuzz::check(error.isEmpty(), "accepted with a message", error);
    return 0;
}
