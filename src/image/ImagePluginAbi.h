/*
 * The binary interface of Tracemill's image plug-ins.
 *
 * An image plug-in is an ELF shared object whose file name ends in ".spi".
 * Tracemill looks for plug-ins, in this order, in the folder of its
 * executable, in the folder named by the environment variable
 * TRACEMILL_PLUGIN_PATH, in <prefix>/lib/tracemill/plugins and in
 * $XDG_DATA_HOME/Norvale/tracemill/plugins, and loads them once at start.
 *
 * A plug-in exports three functions with C linkage:
 *
 *   GetPluginInfo(number, buffer, length)
 *     Copies text number `number` into buffer (at most `length` bytes, no
 *     terminating zero needed) and returns the number of bytes copied, or 0
 *     when there is no such text.
 *       0: the API version; its third character is 'I' for an import
 *          (image-reading) plug-in, e.g. "00IN".
 *       1: a free-form name of the plug-in.
 *       2, 3: first file-type pattern list ("*.png" or "*.tif;*.tiff") and
 *          its description ("PNG"); 4, 5: the second pair; and so on until a
 *          call returns 0.
 *
 *   IsSupported(file name, file descriptor)
 *     The descriptor is open for reading on that file, positioned at its
 *     start. Returns non-zero when the plug-in can decode the file. The
 *     plug-in may read from the descriptor but must not close it.
 *
 *   GetPicture(file name, offset, flag, &info, &bits, progress, data)
 *     With (flag & 7) == 0 decodes the file starting `offset` bytes into it.
 *     On success returns TM_SPI_SUCCESS and sets *info to a malloc'ed
 *     BITMAPINFO (a TmBitmapInfoHeader followed by the colour table the
 *     header implies) and *bits to malloc'ed pixel rows in the layout the
 *     header describes (bottom-up unless the height is negative, each row
 *     padded to a multiple of 4 bytes). The caller releases both with free().
 *     On failure returns one of the error codes below and leaves both
 *     untouched. Tracemill passes no progress callback (a null pointer).
 *
 * All multi-byte values are little-endian. Texts are UTF-8.
 */
#ifndef TRACEMILL_IMAGE_PLUGIN_ABI_H
#define TRACEMILL_IMAGE_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Marks the three entry points for export when a plug-in is built with
 * -fvisibility=hidden. */
#define TM_SPI_EXPORT __attribute__((visibility("default")))

/* Results of GetPicture. */
enum {
  TM_SPI_NOT_IMPLEMENTED = -1,
  TM_SPI_SUCCESS = 0,
  TM_SPI_ABORTED = 1,
  TM_SPI_UNKNOWN_FORMAT = 2,
  TM_SPI_BROKEN_DATA = 3,
  TM_SPI_NO_MEMORY = 4,
  TM_SPI_MEMORY_ERROR = 5,
  TM_SPI_FILE_READ_ERROR = 6,
  TM_SPI_INTERNAL_ERROR = 8
};

/* Input kinds in the low three bits of GetPicture's flag. */
enum { TM_SPI_INPUT_FILE = 0, TM_SPI_INPUT_MEMORY = 1 };

/* The 40-byte header at the start of the info block. */
#pragma pack(push, 1)
typedef struct TmBitmapInfoHeader {
  uint32_t biSize; /* 40 */
  int32_t biWidth;
  int32_t biHeight; /* negative: rows run top-down */
  uint16_t biPlanes; /* 1 */
  uint16_t biBitCount; /* 1, 4, 8, 16, 24 or 32 */
  uint32_t biCompression; /* 0: uncompressed, 3: bit fields */
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed; /* colour-table entries; 0: all 2^biBitCount (<= 8 bits) */
  uint32_t biClrImportant;
} TmBitmapInfoHeader;
#pragma pack(pop)

typedef int (*TmSpiProgressCallback)(int done, int total, intptr_t data);
typedef int (*TmSpiGetPluginInfo)(int number, char* buffer, int length);
typedef int (*TmSpiIsSupported)(const char* fileName, intptr_t fd);
typedef int (*TmSpiGetPicture)(const char* fileName, intptr_t offset, unsigned int flag,
                               void** info, void** bits, TmSpiProgressCallback progress,
                               intptr_t data);

/* Names of the exports, as looked up with dlsym. */
#define TM_SPI_GET_PLUGIN_INFO "GetPluginInfo"
#define TM_SPI_IS_SUPPORTED "IsSupported"
#define TM_SPI_GET_PICTURE "GetPicture"

#ifdef __cplusplus
}
#endif

#endif
