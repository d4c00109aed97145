// Conversions between multi-byte text and UTF-16 with the semantics of the
// Windows functions of the same names, for the code pages this system uses:
// 65001 (UTF-8) and 936 (simplified Chinese, GBK).
//
// - A source length of -1 means the source is zero-terminated and the
//   terminator is converted and counted too.
// - With no destination (null or capacity 0) the call returns the size the
//   result needs, in destination units; otherwise it converts and returns the
//   units written, or 0 when the destination is too small (nothing useful is
//   then in it) or the arguments are bad.
// - Invalid UTF-8 becomes U+FFFD, one per maximal invalid subsequence.
// - A UTF-16 unit code page 936 cannot represent (any surrogate included)
//   becomes the default character: the first byte of `default_char`, which
//   for an empty text is a zero byte; '?' when `default_char` is null. For
//   code page 65001 an unpaired surrogate becomes U+FFFD and `default_char`
//   is ignored.
#pragma once

namespace platform {

inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageGbk = 936;

int MultiByteToWideChar(unsigned code_page, unsigned flags, const char* source, int source_length,
                        char16_t* destination, int destination_capacity);

int WideCharToMultiByte(unsigned code_page, unsigned flags, const char16_t* source, int source_length,
                        char* destination, int destination_capacity, const char* default_char, bool* used_default_char);

}  // namespace platform
