/* Dumps what the Windows conversion functions give for the kit's three ANSI
 * code pages, one line per input, for make_tables.py to compare with iconv.
 * Built with mingw-w64 and run on Windows or under Wine:
 *   windows_dump.exe OUTPUT.txt
 * Lines (all numbers hexadecimal):
 *   E cp unit bytes       WideCharToMultiByte(cp, 0) of one UTF-16 code unit
 *   D cp bytes units      MultiByteToWideChar(cp, 0) of one byte, or of a
 *                         lead byte with every possible second byte
 *   L cp byte             the byte is a lead byte of the code page
 *   V version             the Wine version, when run under Wine
 */
#include <stdio.h>
#include <windows.h>

static const UINT kCodePages[] = {936, 950, 1252};

static void PrintUnits(FILE* out, const WCHAR* units, int count) {
  if (count <= 0) {
    fputs(" -", out);
    return;
  }
  fputc(' ', out);
  for (int i = 0; i < count; ++i) fprintf(out, "%s%04X", i ? "," : "", units[i]);
}

static void PrintBytes(FILE* out, const unsigned char* bytes, int count) {
  fputc(' ', out);
  if (count <= 0) {
    fputc('-', out);
    return;
  }
  for (int i = 0; i < count; ++i) fprintf(out, "%02X", bytes[i]);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: windows_dump OUTPUT.txt\n", stderr);
    return 2;
  }
  FILE* out = fopen(argv[1], "w");
  if (!out) return 1;
  typedef const char*(__cdecl * WineVersion)(void);
  WineVersion wine_version =
      (WineVersion)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
  if (wine_version) fprintf(out, "V %s\n", wine_version());

  for (size_t c = 0; c < sizeof kCodePages / sizeof kCodePages[0]; ++c) {
    const UINT cp = kCodePages[c];
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
      const WCHAR unit = (WCHAR)u;
      unsigned char bytes[8];
      const int n = WideCharToMultiByte(cp, 0, &unit, 1, (char*)bytes, sizeof bytes, NULL, NULL);
      fprintf(out, "E %X %04X", cp, u);
      PrintBytes(out, bytes, n);
      fputc('\n', out);
    }
    for (unsigned b = 0; b <= 0xFF; ++b) {
      const unsigned char single = (unsigned char)b;
      WCHAR units[8];
      int n = MultiByteToWideChar(cp, 0, (const char*)&single, 1, units, 8);
      fprintf(out, "D %X %02X", cp, b);
      PrintUnits(out, units, n);
      fputc('\n', out);
      if (!IsDBCSLeadByteEx(cp, single)) continue;
      fprintf(out, "L %X %02X\n", cp, b);
      for (unsigned t = 0; t <= 0xFF; ++t) {
        const unsigned char pair[2] = {single, (unsigned char)t};
        n = MultiByteToWideChar(cp, 0, (const char*)pair, 2, units, 8);
        fprintf(out, "D %X %02X%02X", cp, b, t);
        PrintUnits(out, units, n);
        fputc('\n', out);
      }
    }
  }
  return fclose(out) == 0 ? 0 : 1;
}
