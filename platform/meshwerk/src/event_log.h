// The engine's optional event log: when MESHWERK_EVENT_LOG names a file,
// every call a host makes and every frame is appended to it, one line each.
#pragma once

namespace meshwerk {

// printf-style; does nothing when no log is configured.
void LogEvent(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace meshwerk
