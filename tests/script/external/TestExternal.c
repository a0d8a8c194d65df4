/* A test library for the external-function interface: TWICE doubles a
   number, GREET returns "Hello, " + its string argument, COUNTARGS gives the
   number of arguments, FAILING is known but always fails. */
#include <stdio.h>
#include <string.h>
#include <strings.h>

#include "script/TracemillExternal.h"

static char greeting[256];

static int same(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

unsigned char ExternalFunction(const char* name, TracemillValue arguments, TracemillValue* result,
                               unsigned char* handled) {
  const TracemillValue* first =
      arguments.type == TRACEMILL_LIST && arguments.count > 0 ? &arguments.payload.items[0] : NULL;
  if (same(name, "TWICE")) {
    *handled = 1;
    if (!first) return 0;
    if (first->type == TRACEMILL_INTEGER) {
      result->type = TRACEMILL_INTEGER;
      result->payload.integer = first->payload.integer * 2;
    } else if (first->type == TRACEMILL_DOUBLE) {
      result->type = TRACEMILL_DOUBLE;
      result->payload.real = first->payload.real * 2;
    } else {
      return 0;
    }
    return 1;
  }
  if (same(name, "GREET")) {
    *handled = 1;
    if (!first || first->type != TRACEMILL_STRING) return 0;
    snprintf(greeting, sizeof greeting, "Hello, %s", first->payload.string);
    result->type = TRACEMILL_STRING;
    result->count = (int32_t)strlen(greeting);
    result->payload.string = greeting;
    return 1;
  }
  if (same(name, "COUNTARGS")) {
    *handled = 1;
    result->type = TRACEMILL_INTEGER;
    result->payload.integer = arguments.type == TRACEMILL_LIST ? arguments.count : 0;
    return 1;
  }
  if (same(name, "FAILING")) {
    *handled = 1;
    return 0;
  }
  return 0;
}
