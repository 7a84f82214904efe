#pragma once
// The activation and deactivation observers of a Workspace backend, with
// their tokens. Main thread.

#include "platform/System.h"

#include <vector>

namespace kestrune {

class WorkspaceObservers {
public:
    int add(bool activation, Workspace::ActivationHandler handler);
    void remove(int token);
    // Calls every observer of that kind in order of registration. Handlers
    // may add or remove observers meanwhile; one removed is not called.
    void notify(bool activation, const std::optional<QString>& bundleId);

private:
    struct Observer {
        int token;
        bool activation;
        Workspace::ActivationHandler handler;
    };
    std::vector<Observer> observers_;
    int nextToken_ = 1;
};

} // namespace kestrune
