/*
 * Tracemill external function libraries.
 *
 * A report program can call functions of shared libraries ("*.so") found in
 * the interpreter's external folder. A library exports, with C linkage:
 *
 *   unsigned char ExternalFunction(const char* name, TracemillValue arguments,
 *                                  TracemillValue* result, unsigned char* handled);
 *
 * name is the function name as written in the program (UTF-8). arguments is
 * the argument value: Empty for a call without arguments, otherwise a list
 * of at least one element. A library that knows the name sets *handled to 1,
 * fills *result and returns 1 for success or 0 for failure (the program then
 * stops with "Invalid function call: "); for any other name it leaves
 * *handled at 0.
 *
 * Memory: argument strings and lists belong to the interpreter and live for
 * the duration of the call. Strings and lists a library puts into *result
 * must stay valid until the library is called again (a static or per-library
 * buffer is enough); the interpreter copies them before it calls again.
 */
#ifndef TRACEMILL_EXTERNAL_H
#define TRACEMILL_EXTERNAL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Type codes of the report language's values. */
#define TRACEMILL_EMPTY 0
#define TRACEMILL_INTEGER 3  /* payload: integer (32-bit range) */
#define TRACEMILL_DOUBLE 5   /* payload: real */
#define TRACEMILL_DATE 7     /* payload: real, days since 1899-12-30 */
#define TRACEMILL_BOOLEAN 11 /* payload: integer, 0 false, otherwise true */
#define TRACEMILL_STRING 256 /* payload: string, zero-terminated UTF-8; count = its byte length */
#define TRACEMILL_LIST 0x200C /* payload: items, count elements */

typedef struct TracemillValue {
  int32_t type;
  int32_t count;
  union {
    int64_t integer;
    double real;
    const char* string;
    const struct TracemillValue* items;
  } payload;
} TracemillValue;

typedef unsigned char (*TracemillExternalFunction)(const char* name, TracemillValue arguments,
                                                   TracemillValue* result, unsigned char* handled);

#ifdef __cplusplus
}
#endif

#endif
