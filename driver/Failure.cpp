#include "Failure.h"

namespace opdriver {

std::string Failure::OpenText() const
{
    std::string list;
    for (const std::string& open : openWindows)
        list += (list.empty() ? "" : "; ") + open;
    return "open: " + (list.empty() ? std::string("nothing") : list);
}

std::string Failure::Detail() const
{
    if (kind == kNoWindow)
        return reason + "; " + OpenText();
    if (!window.empty())
        return reason + " (" + window + ")";
    return reason;
}

std::string Failure::Text() const
{
    if (step == 0)
        return Detail();
    return "step " + std::to_string(step) + " (" + stepName + "): " + Detail();
}

} // namespace opdriver
