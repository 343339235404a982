/*
 * converter.c - prints the variables of an Orrelin binary data file (.mvbin).
 *
 * Every number column of an Orrelin document is kept in the document's
 * "Binary" folder as one of these files, with the variables "Numbers" (the
 * values, double precision) and "Mask" (one byte per row: 1 for a row that
 * holds a value, 0 for an empty one). This program needs nothing but a C
 * compiler:
 *
 *     cc -o converter converter.c
 *     ./converter "Column 1.mvbin"           one line per variable
 *     ./converter -v "Column 1.mvbin"        and its values, one per line
 *
 * The file format:
 *
 *   offset 0, 24 bytes: "Mirovane Binary File LE" and a zero byte (numbers
 *   little-endian), "Mirovane Binary File BE" (big-endian) or
 *   "Mirovane Binary File v1" (big-endian, the first version).
 *
 *   then entries, one after the other until the end of the file:
 *     8 bytes  entry length, signed (28 + name length + data bytes)
 *     4 bytes  type code, signed: 1 double, 2 float, 8 int32, 10 int16,
 *              9 uint16, 12 int8, 11 uint8, 20 UTF-8 text
 *     4+4+4    dimensions m, n, o, signed (an empty array has 0, 0, 0)
 *     4 bytes  name length including its zero byte, 1 to 255
 *     the name, UTF-8, with its zero byte
 *     the m*n*o elements in column-major order (for text: the bytes)
 *
 * A later entry with the same name replaces an earlier one. An entry that
 * runs past the end of the file (an interrupted write) ends the file.
 *
 * Exit status: 0 when the file was read, 1 for a usage error, 2 when the
 * file could not be opened or is not a binary data file.
 */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int fileIsBigEndian;

/* Reads an unsigned number of `size` bytes in the file's byte order. */
static unsigned long long numberFrom(const unsigned char *bytes, int size) {
  unsigned long long value = 0;
  int i;
  for (i = 0; i < size; i++) {
    int at = fileIsBigEndian ? i : size - 1 - i;
    value = (value << 8) | bytes[at];
  }
  return value;
}

static long long signedFrom(const unsigned char *bytes, int size) {
  unsigned long long value = numberFrom(bytes, size);
  if (size < 8 && (value >> (size * 8 - 1)) & 1) value |= ~0ULL << (size * 8);
  return (long long)value;
}

static int elementSize(int typeCode) {
  switch (typeCode) {
    case 1: return 8;
    case 2: case 8: return 4;
    case 9: case 10: return 2;
    case 11: case 12: case 20: return 1;
    default: return 0;
  }
}

static const char *typeName(int typeCode) {
  switch (typeCode) {
    case 1: return "double";
    case 2: return "float";
    case 8: return "int32";
    case 10: return "int16";
    case 9: return "uint16";
    case 12: return "int8";
    case 11: return "uint8";
    case 20: return "text";
    default: return "unknown";
  }
}

/* Prints one element; the bytes are in the file's order. */
static void printElement(const unsigned char *bytes, int typeCode) {
  unsigned long long bits;
  switch (typeCode) {
    case 1: {
      double value;
      bits = numberFrom(bytes, 8);
      memcpy(&value, &bits, 8);
      printf("%.17g\n", value);
      break;
    }
    case 2: {
      float value;
      unsigned int bits32 = (unsigned int)numberFrom(bytes, 4);
      memcpy(&value, &bits32, 4);
      printf("%.9g\n", (double)value);
      break;
    }
    case 8: printf("%lld\n", signedFrom(bytes, 4)); break;
    case 10: printf("%lld\n", signedFrom(bytes, 2)); break;
    case 9: printf("%llu\n", numberFrom(bytes, 2)); break;
    case 12: printf("%lld\n", signedFrom(bytes, 1)); break;
    case 11: printf("%llu\n", numberFrom(bytes, 1)); break;
    default: break;
  }
}

int main(int argc, char **argv) {
  static const char magicLE[24] = "Mirovane Binary File LE";
  static const char magicBE[24] = "Mirovane Binary File BE";
  static const char magicV1[24] = "Mirovane Binary File v1";
  unsigned char magic[24], header[28];
  const char *path;
  int showValues = 0;
  long long position, fileLength;
  FILE *file;

  if (argc == 3 && strcmp(argv[1], "-v") == 0) {
    showValues = 1;
    path = argv[2];
  } else if (argc == 2) {
    path = argv[1];
  } else {
    fprintf(stderr, "usage: %s [-v] file.mvbin\n", argv[0]);
    return 1;
  }

  file = fopen(path, "rb");
  if (!file) {
    fprintf(stderr, "Could not open the file \"%s\".\n", path);
    return 2;
  }
  fseek(file, 0, SEEK_END);
  fileLength = ftell(file);
  fseek(file, 0, SEEK_SET);
  if (fread(magic, 1, 24, file) != 24) {
    fprintf(stderr, "The file \"%s\" has incorrect format\n", path);
    fclose(file);
    return 2;
  }
  if (memcmp(magic, magicLE, 24) == 0)
    fileIsBigEndian = 0;
  else if (memcmp(magic, magicBE, 24) == 0 || memcmp(magic, magicV1, 24) == 0)
    fileIsBigEndian = 1;
  else {
    fprintf(stderr, "The file \"%s\" has incorrect format\n", path);
    fclose(file);
    return 2;
  }

  position = 24;
  while (position + 28 <= fileLength) {
    long long entryLength, count, dataBytes, i;
    int typeCode, m, n, o, nameLength, size;
    char name[256];

    fseek(file, (long)position, SEEK_SET);
    if (fread(header, 1, 28, file) != 28) break;
    entryLength = signedFrom(header, 8);
    typeCode = (int)signedFrom(header + 8, 4);
    m = (int)signedFrom(header + 12, 4);
    n = (int)signedFrom(header + 16, 4);
    o = (int)signedFrom(header + 20, 4);
    nameLength = (int)signedFrom(header + 24, 4);
    if (nameLength < 1 || nameLength > 255) {
      fprintf(stderr, "Entry at offset %lld: the name length %d is not 1 to 255; stopping.\n", position, nameLength);
      break;
    }
    size = elementSize(typeCode);
    if (size == 0) {
      fprintf(stderr, "Entry at offset %lld: unknown type code %d; stopping.\n", position, typeCode);
      break;
    }
    if (m < 0 || n < 0 || o < 0) {
      fprintf(stderr, "Entry at offset %lld: negative dimensions; stopping.\n", position);
      break;
    }
    /* Each factor is checked against the file length, so the product cannot
       overflow. */
    count = m;
    if (count > fileLength || (count *= n) > fileLength || (count *= o) > fileLength) count = fileLength + 1;
    dataBytes = count * size;
    if (count > fileLength || entryLength < 28 + nameLength + dataBytes || position + entryLength > fileLength) {
      fprintf(stderr, "Entry at offset %lld runs past the end of the file; stopping.\n", position);
      break;
    }
    if (fread(name, 1, (size_t)nameLength, file) != (size_t)nameLength) break;
    name[nameLength - 1] = 0;

    if (typeCode == 20) {
      char *textBytes = malloc((size_t)dataBytes + 1);
      if (!textBytes || fread(textBytes, 1, (size_t)dataBytes, file) != (size_t)dataBytes) {
        free(textBytes);
        break;
      }
      textBytes[dataBytes] = 0;
      printf("%s: text of %lld bytes: %s\n", name, dataBytes, textBytes);
      free(textBytes);
    } else {
      printf("%s: %s array %dx%dx%d\n", name, typeName(typeCode), m, n, o);
      if (showValues) {
        unsigned char element[8];
        for (i = 0; i < count; i++) {
          if (fread(element, 1, (size_t)size, file) != (size_t)size) break;
          printElement(element, typeCode);
        }
      }
    }
    position += entryLength;
  }
  fclose(file);
  return 0;
}
