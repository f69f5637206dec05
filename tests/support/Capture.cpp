#include "support/Capture.h"

bool CaptureLog::find(const std::string& text, int level, bool fragment) const
{
    for (const LogRecord& r : records())
        if ((level == kAnyLevel || r.level == level) &&
            (fragment ? r.text.find(text) != std::string::npos : r.text == text))
            return true;
    return false;
}

std::string CaptureLog::dump() const
{
    std::string out;
    for (const LogRecord& r : records())
        out += std::to_string(r.level) + " [" + r.origin + "] " + r.text + "\n";
    return out;
}
