// The library's one diagnostic channel. Silent unless the environment
// variable ORVOCHART_LOG names "stderr" or a file path; then every diagnostic
// is one line there. Hosts and the command-line tool use it to tell a user
// why a chart failed.
#ifndef ORVOCHART_OUTSIDE_DEBUGLOG_H
#define ORVOCHART_OUTSIDE_DEBUGLOG_H

namespace GenChartLib {

// Writes `format` with its one "%s" replaced by `message`. The two integers
// are part of the logging interface and always 0. Returns 0.
int debugLog(const char* format, int reserved1, int reserved2, const char* message);

// debugLog(format, 0, 0, errorText(code)).
void logError(const char* format, int code);

// Re-reads ORVOCHART_LOG; for tests that change the variable in-process.
void reopenDebugLog();

}  // namespace GenChartLib

#endif  // ORVOCHART_OUTSIDE_DEBUGLOG_H
