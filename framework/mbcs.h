// Multibyte rules of the ANSI code page, in one place. On Windows they are the
// system's own (the active code page, 936 on the target systems); on the host
// they are the rules of code page 936: lead bytes 0x81 to 0xFE, each followed by
// one trail byte, which may be 0x5C ('\').
#pragma once
#include "framework/wintypes.h"

// TRUE when the byte starts a double-byte character.
BOOL IsLeadByte(BYTE b);

// Offset of the next character after the one at pos, never beyond len.
int MbsNext(const char* s, int len, int pos);

// Offset of the last occurrence of the single-byte character ch in s[0..len),
// counting only bytes that stand at a character start; -1 when absent.
int MbsReverseFindChar(const char* s, int len, char ch);

// Offset of the first occurrence of ch at or after start, on character starts only.
int MbsFindChar(const char* s, int len, char ch, int start);

// Offset of the first occurrence of sub at or after start; a match begins only at
// a character start (never on a trail byte). -1 when absent or start is beyond len.
int MbsFind(const char* s, int len, const char* sub, int subLen, int start);

// Byte-wise comparison of two strings, as the multibyte compare does it (a
// double-byte character sorts by its two bytes in order): <0, 0, >0.
int MbsCompare(const char* a, int aLen, const char* b, int bLen);

// Comparison that ignores the case of single-byte letters A-Z; double-byte
// characters (including a trail byte that looks like a letter) compare exactly.
int MbsCompareNoCase(const char* a, int aLen, const char* b, int bLen);

// Copies at most n bytes of src (length srcLen) into dst without cutting a
// double-byte character in two; returns the number of bytes copied.
int MbsCopyBytes(char* dst, const char* src, int srcLen, int n);
