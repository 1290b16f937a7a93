// Private-profile (ini) files: reading values with defaults and writing one key at a time.
//
// Values go in and come out as UTF-8. A file that is valid UTF-8 (plain ASCII included) is
// taken as UTF-8; any other file is taken as Windows-1251, as the Windows program writes it,
// and values written into such a file are stored in Windows-1251 too. Both line ends, CR LF
// and LF, are read; sections and keys are matched without regard to (ASCII) case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvanet {

// The value of `key` in `section`, cut to size - 1 characters (nothing when size is 0).
// A missing file, section or key gives `default_value`, cut the same way. Blanks around the
// value are dropped, and so is one pair of matching quotes around it.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::size_t size,
                                    const std::string& path);

// The leading decimal number of the value (an optional sign, then digits; 0 when the value
// does not start with one; clamped to the int range). A missing key gives `default_value`.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::string& path);

// Writes `key`=`value` into `section`, creating the file and the section when needed. Every
// other byte of the file stays as it was; a new line takes the file's own line end (CR LF
// for a new file). The file is replaced as a whole, so that a failure never leaves it half
// written. False when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

// The leading decimal number of a text, as the integer reads above take it.
int LeadingInt(std::string_view text);

// The same reads and write on a file's bytes held in memory; the file functions above go
// through these. Empty bytes read like a missing file. The write gives the new bytes.
std::string ProfileStringIn(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view default_value, std::size_t size);
int ProfileIntIn(std::string_view bytes, std::string_view section, std::string_view key,
                 int default_value);
std::string WithProfileString(std::string_view bytes, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace tolvanet
