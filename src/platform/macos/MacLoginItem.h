#pragma once
// The application's login item: SMAppService's main-application service.
// A registration awaiting the user's approval counts as failed, and System
// Settings' login items are opened so that the user can approve it. Main
// thread.

#include "platform/System.h"

namespace kestrune {

class MacLoginItem final : public LoginItem {
public:
    LoginItemStatus status() const override;
    bool registerItem(QString* error) override;
    bool unregisterItem(QString* error) override;
};

} // namespace kestrune
