// The event log.
#include "event_log.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

namespace meshwerk {

void LogEvent(const char* format, ...) {
  const char* path = getenv("MESHWERK_EVENT_LOG");
  if (path == nullptr || *path == '\0') return;
  FILE* f = fopen(path, "a");
  if (f == nullptr) return;
  va_list args;
  va_start(args, format);
  vfprintf(f, format, args);
  va_end(args);
  fputc('\n', f);
  fclose(f);
}

}  // namespace meshwerk
