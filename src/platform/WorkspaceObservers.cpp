#include "platform/WorkspaceObservers.h"

#include <algorithm>

namespace kestrune {

int WorkspaceObservers::add(bool activation, Workspace::ActivationHandler handler)
{
    observers_.push_back({nextToken_, activation, std::move(handler)});
    return nextToken_++;
}

void WorkspaceObservers::remove(int token)
{
    std::erase_if(observers_, [&](const Observer& o) { return o.token == token; });
}

void WorkspaceObservers::notify(bool activation, const std::optional<QString>& bundleId)
{
    std::vector<int> tokens;
    for (const Observer& o : observers_)
        if (o.activation == activation)
            tokens.push_back(o.token);
    for (int token : tokens) {
        auto it = std::find_if(observers_.begin(), observers_.end(), [&](const Observer& o) { return o.token == token; });
        if (it == observers_.end())
            continue;
        Workspace::ActivationHandler handler = it->handler; // survives its own removal
        handler(bundleId);
    }
}

} // namespace kestrune
