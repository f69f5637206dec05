// Global parameters of the platform: today the case sensitivity of file names
// for application types that the library's own table does not cover.
//
// The parameters live in a text file named by the environment variable
// SUBCLIENTCONF_GLOBAL_PARAMS, read afresh on every query:
//
//     # comment lines and blank lines are skipped
//     caseSensitive.0=1
//     caseSensitive.65 = 0
//
// One `caseSensitive.<application type>=<0|1>` entry per line; the type is a
// decimal int (it may be negative), blanks around key and value are ignored.
// Any other line (no '=', unknown key, bad type, bad value, a type given
// twice) makes the whole file invalid: the query logs an error naming file
// and line and fails, so that no half-read file is ever used.
#ifndef SUBCLIENTCONF_PLATFORM_KXGLOBALPARAM_H
#define SUBCLIENTCONF_PLATFORM_KXGLOBALPARAM_H

#include <functional>
#include <string>

class KXGlobalParam {
public:
    KXGlobalParam();
    ~KXGlobalParam();
    // 0 with the value text ("0" or "1"), or -1 when there is no file, no entry
    // for the type, or the file is invalid. A test source may throw anything;
    // the exception is let through to the caller.
    int getCaseSensitivity(const int& appType, std::string& value, void*);
};

// Test seam: when set, getCaseSensitivity asks this source instead of the
// file. An empty source restores the file.
using KXGlobalParamSource = std::function<int(const int& appType, std::string& value)>;
void kxSetGlobalParamSource(KXGlobalParamSource source);

#endif
